#include "codepage.h"
#include "mbcs.h"

std::string Cp932ToUtf8Shown(std::string_view cp932) {
  std::string utf8;
  if (Cp932ToUtf8(cp932, &utf8)) return utf8;
  // Character by character, marking what has no meaning.
  utf8.clear();
  for (size_t i = 0; i < cp932.size();) {
    size_t n = MbcsKindAt(cp932.data(), cp932.size(), i) == MBCS_LEAD ? 2 : 1;
    std::string one;
    if (Cp932ToUtf8(cp932.substr(i, n), &one) && !one.empty()) {
      utf8 += one;
    } else {
      utf8 += "\xEF\xBF\xBD";  // U+FFFD
    }
    i += n;
  }
  return utf8;
}
