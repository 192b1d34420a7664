#include "wxmessagebox.h"

#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/cursor.h>
#include <wx/utils.h>
#include <wx/generic/msgdlgg.h>

#include "messagebox.h"
#include "wxscreentext.h"
#include "desktoptrace.h"

namespace {

// Button sets and icons of MessageBoxA's type, as the Win32 values.
constexpr UINT kButtonMask = 0x0000000Fu;
constexpr UINT kIconMask = 0x000000F0u;
constexpr UINT kOkCancel = 0x00000001u;
constexpr UINT kYesNoCancel = 0x00000003u;
constexpr UINT kIconStop = 0x00000010u;

long WxStyle(UINT type) {
  long style = wxCENTRE;
  switch (type & kButtonMask) {
    case MB_YESNO: style |= wxYES_NO; break;
    case kYesNoCancel: style |= wxYES_NO | wxCANCEL; break;
    case kOkCancel: style |= wxOK | wxCANCEL; break;
    default: style |= wxOK; break;
  }
  switch (type & kIconMask) {
    case MB_ICONEXCLAMATION: style |= wxICON_WARNING; break;
    case MB_ICONQUESTION: style |= wxICON_QUESTION; break;
    case MB_ICONINFORMATION: style |= wxICON_INFORMATION; break;
    case kIconStop: style |= wxICON_ERROR; break;
    default: style |= wxICON_NONE; break;
  }
  return style;
}

int Answer(int wx_id, UINT type) {
  switch (wx_id) {
    case wxID_YES: return IDYES;
    case wxID_NO: return IDNO;
    case wxID_CANCEL:
      if ((type & kButtonMask) == kOkCancel || (type & kButtonMask) == kYesNoCancel) return IDCANCEL;
      return (type & kButtonMask) == MB_YESNO ? IDNO : IDOK;
    default: return IDOK;
  }
}

// Puts はい before いいえ, as Windows orders them (the toolkit's own order
// on this desktop is the other way round), and traces the order the buttons
// stand in on the screen, left to right.
void PutYesBeforeNo(wxDialog& box) {
  wxWindow* yes = box.FindWindow(wxID_YES);
  wxWindow* no = box.FindWindow(wxID_NO);
  if (yes == nullptr || no == nullptr) return;
  wxSizer* sizer = yes->GetContainingSizer();
  wxSizerItem* item = sizer != nullptr ? sizer->GetItem(no) : nullptr;
  if (item != nullptr && no->GetContainingSizer() == sizer) {
    int flag = item->GetFlag(), border = item->GetBorder(), proportion = item->GetProportion();
    sizer->Detach(no);
    size_t at = 0;
    for (wxSizerItem* child : sizer->GetChildren()) {
      ++at;
      if (child->GetWindow() == yes) break;
    }
    sizer->Insert(at, no, proportion, flag, border);
    box.Layout();
  }
  DesktopTrace(yes->GetPosition().x < no->GetPosition().x ? "messagebox buttons yes no"
                                                          : "messagebox buttons no yes");
}

}  // namespace

int ShowDesktopMessageBox(wxWindow* owner, const std::string& text, const std::string& caption,
                          UINT type) {
  wxGenericMessageDialog box(owner, ScreenText(text), ScreenText(caption), WxStyle(type));
  // The button texts a Japanese desktop shows.
  box.SetYesNoCancelLabels(U8(u8"はい(&Y)"), U8(u8"いいえ(&N)"), U8(u8"キャンセル"));
  box.SetOKCancelLabels(wxString("OK"), U8(u8"キャンセル"));
  TraceMessageBox(type, owner != nullptr, caption, text);
  // Y and N alone answer a question, as its buttons' labels promise.
  if ((type & kButtonMask) == MB_YESNO || (type & kButtonMask) == kYesNoCancel) {
    box.Bind(wxEVT_CHAR_HOOK, [&box](wxKeyEvent& event) {
      int key = event.GetKeyCode();
      if (event.GetModifiers() == wxMOD_NONE || event.GetModifiers() == wxMOD_SHIFT) {
        if (key == 'Y' || key == 'y') return box.EndModal(wxID_YES);
        if (key == 'N' || key == 'n') return box.EndModal(wxID_NO);
      }
      event.Skip();
    });
  }
  box.Bind(wxEVT_INIT_DIALOG, [&box](wxInitDialogEvent& event) {
    event.Skip();
    PutYesBeforeNo(box);
  });
  box.Bind(wxEVT_ACTIVATE, [](wxActivateEvent& event) {
    event.Skip();
    if (event.GetActive()) DesktopTrace("messagebox active");
  });
  // A wait cursor shown by the program does not cover the box.
  wxBusyCursorSuspender arrow;
  int answer = Answer(box.ShowModal(), type);
  TraceAnswer(answer);
  return answer;
}
