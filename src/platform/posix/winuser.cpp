#include "winuser.h"

#include <cstdio>
#include <string>

#include "codepage.h"

int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  std::string t, c;
  if (!Cp932ToUtf8(text ? text : "", &t)) t = text ? text : "";
  if (!Cp932ToUtf8(caption ? caption : "", &c)) c = caption ? caption : "";
  std::fprintf(stderr, "[%s] %s\n", c.c_str(), t.c_str());
  return (type & MB_YESNO) ? IDNO : IDOK;
}
