#include "winframe.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "scripted_frontend.h"
#include "tempdir.h"
#include "winproc.h"
#include "messagebox.h"

namespace {

const DialogTemplate kTemplate = {
    901, "test", 100, 50, "font", 9,
    {
        {10, ControlKind::kStatic, "label", 0, 0, 0, 10, 10},
        {11, ControlKind::kEdit, "", kStyleTabStop, 0, 0, 10, 10},
        {12, ControlKind::kPushButton, "one", kStyleTabStop, 0, 0, 10, 10},
        {13, ControlKind::kPushButton, "two", kStyleTabStop, 0, 0, 10, 10},
    },
};

// A dialog that counts the clicks of its buttons and records the modifier
// state seen by PreTranslateMessage.
class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(901) { RegisterDialogTemplate(&kTemplate); }
  int clicks12 = 0, clicks13 = 0;
  bool saw_ctrl = false;
  CEdit edit;

 protected:
  void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 11, edit); }
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0) saw_ctrl = true;
    return FALSE;
  }
  BOOL OnCommand(int id) override {
    if (id == 12) ++clicks12;
    if (id == 13) ++clicks13;
    if (id == 13) EndDialog(13);
    return id == 12 || id == 13;
  }
};

TEST(WinFrameTest, NeedsATemplateAndAFrontEnd) {
  TestDialog dlg;
  EXPECT_EQ(dlg.DoModal(), -1);  // no front end
  ScriptedFrontEnd fe;
  CDialog unknown(555);
  EXPECT_EQ(unknown.DoModal(), -1);
}

TEST(WinFrameTest, AFrontEndThatGivesUpCancels) {
  ScriptedFrontEnd fe;
  TestDialog dlg;
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_TRUE(fe.ran_out());
}

TEST(WinFrameTest, KeysFocusAndClicks) {
  ScriptedFrontEnd fe;
  TestDialog dlg;
  fe.Inspect([](CDialog& d) { EXPECT_EQ(d.FocusId(), 11); });  // the first tab stop
  fe.Key(0, VK_TAB);
  fe.Inspect([](CDialog& d) { EXPECT_EQ(d.FocusId(), 12); });
  fe.Key(0, VK_TAB, kModShift);
  fe.Key(0, VK_TAB, kModShift);  // wraps round to the last
  fe.Inspect([](CDialog& d) { EXPECT_EQ(d.FocusId(), 13); });
  fe.Key(11, VK_RETURN, kModCtrl);  // Enter on an edit: nothing
  fe.Inspect([](CDialog& d) {
    d.GetDlgItem(12)->EnableWindow(FALSE);
    EXPECT_FALSE(d.GetDlgItem(12)->IsWindowEnabled());
  });
  fe.Click(12);  // disabled: ignored
  fe.Key(0, VK_TAB);
  fe.Inspect([](CDialog& d) { EXPECT_EQ(d.FocusId(), 11); });  // skips the disabled button
  fe.Key(13, VK_RETURN);  // Enter on a push button clicks it
  EXPECT_EQ(dlg.DoModal(), 13);
  EXPECT_EQ(dlg.clicks12, 0);
  EXPECT_EQ(dlg.clicks13, 1);
  EXPECT_TRUE(dlg.saw_ctrl);
  EXPECT_EQ(GetKeyState(VK_CONTROL), 0);  // only while the key is dispatched
  EXPECT_EQ(CWnd::FromHandle(reinterpret_cast<HWND>(&dlg.edit)), nullptr);
  EXPECT_EQ(dlg.edit.GetSafeHwnd(), nullptr);
}

TEST(WinFrameTest, EditLimitAndSelection) {
  ScriptedFrontEnd fe;
  TestDialog dlg;
  fe.Inspect([&](CDialog& d) {
    dlg.edit.SetLimitText(5);
    d.UserTyped(11, "ab表表");  // 6 bytes: cut before the second character's half
    EXPECT_EQ(d.Control(11)->text, "ab表");
    dlg.edit.SetSel(0, -1);
    EXPECT_EQ(d.Control(11)->sel_start, 0);
    EXPECT_EQ(d.Control(11)->sel_end, 4);
    dlg.edit.SetSel(9, 2);
    EXPECT_EQ(d.Control(11)->sel_start, 2);
    EXPECT_EQ(d.Control(11)->sel_end, 4);
    dlg.edit.SetSel(-1, 0);
    EXPECT_EQ(d.Control(11)->sel_start, d.Control(11)->sel_end);
    d.UserTyped(10, "static");  // not an edit
    EXPECT_EQ(d.Control(10)->text, "label");
  });
  fe.Key(0, VK_ESCAPE);
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_FALSE(fe.ran_out());
}

TEST(WinProcTest, TheViewerIsReplacedOnThisPlatform) {
  TempDir tmp;
  ScopedEnv drives("VELOR_DRIVES", "T:=" + tmp.path() + ";Z:=/");
  ScopedEnv viewer("VELOR_VIEWER", "");
  WriteFileBytes(tmp.Native("log.txt"), "x");
  ScriptedFrontEnd fe;
  char command[] = "C:\\Windows\\System32\\Notepad.exe \"T:\\log.txt\"";
  STARTUPINFOA startup = {};
  PROCESS_INFORMATION info = {};
  SetTextViewerEnabled(false);
  EXPECT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                             "T:\\", &startup, &info));
  EXPECT_TRUE(fe.shown_files().empty());
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  SetTextViewerEnabled(true);
  // No viewer command and no desktop: the front end shows the text.
  EXPECT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "T:\\", &startup,
                             &info));
  ASSERT_EQ(fe.shown_files().size(), 1u);
  EXPECT_EQ(fe.shown_files()[0], tmp.Native("log.txt"));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  // A viewer command that cannot be started leaves the text to the front end.
  ScopedEnv missing("VELOR_VIEWER", tmp.Native("no-such-viewer"));
  ScopedEnv temp("TMPDIR", tmp.path());
  EXPECT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "T:\\", &startup,
                             &info));
  ASSERT_EQ(fe.shown_files().size(), 2u);
  EXPECT_EQ(fe.shown_files()[1], tmp.Native("log.txt"));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
}

TEST(WinProcTest, OtherProgramsAreReachedThroughTheDriveMap) {
  TempDir tmp;
  ScopedEnv drives("VELOR_DRIVES", "T:=" + tmp.path() + ";Z:=/");
  char command[] = "Z:\\bin\\sh -c \"pwd > made\"";
  STARTUPINFOA startup = {};
  PROCESS_INFORMATION info = {};
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, "T:\\", &startup,
                             &info));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  std::string made;
  for (int i = 0; i < 100 && made.empty(); ++i) {
    usleep(50 * 1000);
    made = ReadFileBytes(tmp.Native("made"));
  }
  EXPECT_EQ(made, tmp.path() + "\n");
  char missing[] = "T:\\none.exe";
  EXPECT_FALSE(CreateProcessA(nullptr, missing, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info));
}

}  // namespace
