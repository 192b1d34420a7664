// Tests of the desktop window of a dialog on a real (virtual) display: the
// program's selections in double-byte text, the byte limit of the edit as
// typed into the widget, the program's texts while shown, and the locale.
#include "wxdialogwindow.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/textctrl.h>

#include <clocale>
#include <functional>
#include <string>

#include "wxfrontend.h"
#include "wxscreentext.h"

namespace {

const DialogTemplate kTemplate = {
    902, "test", 120, 40, "", 9,
    {
        {20, ControlKind::kEdit, "", kStyleTabStop | kStyleBorder, 5, 5, 110, 12},
        {21, ControlKind::kPushButton, "&Go", kStyleTabStop, 5, 22, 50, 14},
    },
};

// Runs a check inside the window of each dialog shown, then ends the dialog.
class ProbeFrontEnd : public FrontEnd {
 public:
  explicit ProbeFrontEnd(std::function<void(CDialog&, WxDialogWindow&)> check)
      : check_(std::move(check)) {}
  int MessageBox(HWND, const std::string&, const std::string&, UINT) override { return 1; }
  void RunModal(CDialog& dlg) override {
    WxDialogWindow window(dlg, nullptr);
    window_ = &window;
    window.Show();
    check_(dlg, window);
    window_ = nullptr;
    dlg.EndDialog(7);
  }
  void ControlChanged(CDialog&, int id) override {
    if (window_ != nullptr) window_->ProgramChanged(id);
  }
  bool ChooseFile(const FileChooserRequest&, std::string*) override { return false; }

 private:
  std::function<void(CDialog&, WxDialogWindow&)> check_;
  WxDialogWindow* window_ = nullptr;
};

class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(902) { RegisterDialogTemplate(&kTemplate); }
  CEdit edit;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 20, edit); }
};

// The toolkit for the whole program: started once, on the display the test
// runner provides.
class DesktopEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    locale_before = std::setlocale(LC_CTYPE, nullptr);
    std::string why;
    ASSERT_TRUE(StartDesktop(&why)) << why;
  }
  void TearDown() override { StopDesktop(); }
  static std::string locale_before;
};
std::string DesktopEnvironment::locale_before;
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);

wxTextCtrl* Edit(WxDialogWindow& window) {
  return dynamic_cast<wxTextCtrl*>(window.ControlWindow(20));
}

TEST(DesktopWindow, StartingTheToolkitKeepsTheLocale) {
  EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), DesktopEnvironment::locale_before);
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
}

TEST(DesktopWindow, ProgramSelectionInBytesSelectsWholeCharacters) {
  ProbeFrontEnd fe([](CDialog& dlg, WxDialogWindow& window) {
    // "Cあ\表x": bytes C=0, あ=1-2, \=3, 表=4-5 (its second byte is 0x5C), x=6.
    dlg.GetDlgItem(20)->SetWindowText("C\x82\xA0\\\x95\x5Cx");
    EXPECT_EQ(Edit(window)->GetValue(), U8(u8"Cあ\\表x"));
    dlg.GetDlgItem(20)->SendMessage(EM_SETSEL, 1, 6);
    long from = -1, to = -1;
    Edit(window)->GetSelection(&from, &to);
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 4);  // after 表
    dlg.GetDlgItem(20)->SendMessage(EM_SETSEL, 0, -1);
    Edit(window)->GetSelection(&from, &to);
    EXPECT_EQ(from, 0);
    EXPECT_EQ(to, 5);
  });
  ScopedFrontEnd current(&fe);
  TestDialog dlg;
  EXPECT_EQ(dlg.DoModal(), 7);
}

TEST(DesktopWindow, TypedTextIsHeldToTheByteLimit) {
  ProbeFrontEnd fe([](CDialog& dlg, WxDialogWindow& window) {
    dlg.GetDlgItem(20)->SendMessage(EM_LIMITTEXT, 5);
    // The widget reports the user's change; the dialog and the widget keep
    // what fits: "ab" and one "あ" are 4 bytes, a second "あ" would be 6.
    Edit(window)->SetValue(U8(u8"abああ"));
    EXPECT_EQ(Edit(window)->GetValue(), U8(u8"abあ"));
    CString text;
    dlg.GetDlgItem(20)->GetWindowText(text);
    EXPECT_EQ(text.str(), "ab\x82\xA0");
    // A character without a code page 932 form never reaches the dialog.
    Edit(window)->SetValue(U8(u8"a😀"));
    dlg.GetDlgItem(20)->GetWindowText(text);
    EXPECT_EQ(text.str(), "a");
    EXPECT_EQ(Edit(window)->GetValue(), "a");
  });
  ScopedFrontEnd current(&fe);
  TestDialog dlg;
  dlg.DoModal();
}

TEST(DesktopWindow, ProgramChangesShowWhileTheWindowIsUp) {
  ProbeFrontEnd fe([](CDialog& dlg, WxDialogWindow& window) {
    wxWindow* button = window.ControlWindow(21);
    dlg.GetDlgItem(21)->EnableWindow(FALSE);
    EXPECT_FALSE(button->IsEnabled());
    dlg.GetDlgItem(21)->SetWindowText("&Stop");
    EXPECT_EQ(button->GetLabel(), "&Stop");
  });
  ScopedFrontEnd current(&fe);
  TestDialog dlg;
  dlg.DoModal();
}

}  // namespace
