#include "screentext.h"

#include "codepage.h"
#include "win32/wide.h"

std::wstring ScreenText(const std::string& cp932) {
  std::wstring wide;
  if (Cp932ToWide(cp932, &wide)) return wide;
  return ScreenTextOfUtf8(Cp932ToUtf8Shown(cp932));
}

std::wstring ScreenTextOfUtf8(const std::string& utf8) {
  std::wstring wide;
  if (Utf8ToWide(utf8, &wide)) return wide;
  return std::wstring(1, L'\xFFFD');
}
