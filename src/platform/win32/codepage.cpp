#include "codepage.h"

#include "win32/wide.h"

bool Cp932ToUtf8(std::string_view cp932, std::string* out) {
  std::wstring wide;
  if (!Cp932ToWide(cp932, &wide)) return false;
  *out = WideToUtf8(wide);
  return true;
}

bool Utf8ToCp932(std::string_view utf8, std::string* out, char32_t* bad) {
  std::wstring wide;
  if (!Utf8ToWide(utf8, &wide)) {
    if (bad != nullptr) *bad = 0xFFFD;
    return false;
  }
  return WideToCp932(wide, out, bad);
}
