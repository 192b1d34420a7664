#include "win32messagebox.h"

#include "activationtrace.h"
#include "desktoptrace.h"
#include "screentext.h"

int ShowWin32MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) {
  TraceMessageBox(type, owner != nullptr, caption, text);
  UINT style = type;
  if (owner == nullptr) style |= MB_SETFOREGROUND;
  // A wait cursor shown by the program does not cover the box.
  HCURSOR before = SetCursor(LoadCursorA(nullptr, IDC_ARROW));
  int answer;
  {
    ScopedActivationTrace active("messagebox active");
    answer = MessageBoxW(owner, ScreenText(text).c_str(), ScreenText(caption).c_str(), style);
  }
  SetCursor(before);
  if (answer == 0) {
    DesktopTrace("messagebox failed");
    answer = (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDOK;
  }
  TraceAnswer(answer);
  return answer;
}
