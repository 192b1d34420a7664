#include "messagebox.h"

#include <cstdio>
#include <string>

#include "codepage.h"
#include "consoleout.h"
#include "frontend.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (FrontEnd* fe = CurrentFrontEnd()) {
    return fe->MessageBox(owner, text ? text : "", caption ? caption : "", type);
  }
  // No front end yet: the message still reaches the user, and a question
  // gets the cautious answer.
  std::string t, c;
  if (!Cp932ToUtf8(text ? text : "", &t)) t = text ? text : "";
  if (!Cp932ToUtf8(caption ? caption : "", &c)) c = caption ? caption : "";
  ConsolePrintf(stderr, "[%s] %s\n", c.c_str(), t.c_str());
  return (type & MB_YESNO) ? IDNO : IDOK;
}
