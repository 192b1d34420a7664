#include "mbcs.h"

#include <cstring>

int _ismbblead(unsigned int c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

int _ismbbtrail(unsigned int c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

BOOL IsDBCSLeadByte(BYTE b) { return _ismbblead(b) ? TRUE : FALSE; }

unsigned char* _mbsrchr(const unsigned char* s, unsigned int c) {
  const unsigned char* found = nullptr;
  for (const unsigned char* p = s; *p != 0; ++p) {
    if (_ismbblead(*p) && _ismbbtrail(p[1])) {
      ++p;
    } else if (*p == c) {
      found = p;
    }
  }
  return const_cast<unsigned char*>(found);
}

unsigned char* _mbschr(const unsigned char* s, unsigned int c) {
  for (const unsigned char* p = s; *p != 0; ++p) {
    if (_ismbblead(*p) && _ismbbtrail(p[1])) {
      ++p;
    } else if (*p == c) {
      return const_cast<unsigned char*>(p);
    }
  }
  return nullptr;
}
