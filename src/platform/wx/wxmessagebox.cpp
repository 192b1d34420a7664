#include "wxmessagebox.h"

#include <wx/msgdlg.h>
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
