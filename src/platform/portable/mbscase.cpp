#include "mbscase.h"

#include "mbcs.h"

namespace {
unsigned int Fold(unsigned int c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }
}  // namespace

int _mbsnbicmp(const unsigned char* s1, const unsigned char* s2, size_t count) {
  for (size_t i = 0; i < count;) {
    bool wide = _ismbblead(s1[i]) && s1[i + 1] != 0 && _ismbbtrail(s1[i + 1]);
    unsigned int a = wide ? s1[i] : Fold(s1[i]);
    unsigned int b = wide ? s2[i] : Fold(s2[i]);
    if (a != b) return a < b ? -1 : 1;
    if (a == 0) return 0;
    if (wide && i + 1 < count && s1[i + 1] != s2[i + 1]) return s1[i + 1] < s2[i + 1] ? -1 : 1;
    i += wide ? 2 : 1;
  }
  return 0;
}

int _mbsicmp(const unsigned char* s1, const unsigned char* s2) {
  return _mbsnbicmp(s1, s2, static_cast<size_t>(-1));
}
