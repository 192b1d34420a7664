#include "mbcs.h"

namespace {
// Length of the character starting at i: 2 for a lead byte with a trail.
size_t CharLength(const unsigned char* t, size_t length, size_t i) {
  return (i + 1 < length && _ismbblead(t[i]) && _ismbbtrail(t[i + 1])) ? 2 : 1;
}
}  // namespace

MbcsByteKind MbcsKindAt(const char* text, size_t length, size_t i) {
  const auto* t = reinterpret_cast<const unsigned char*>(text);
  size_t p = 0;
  while (p < length) {
    size_t n = CharLength(t, length, p);
    if (i < p + n) return n == 1 ? MBCS_SINGLE : (i == p ? MBCS_LEAD : MBCS_TRAIL);
    p += n;
  }
  return MBCS_SINGLE;
}

size_t MbcsCutLength(const char* text, size_t length, size_t limit) {
  if (length <= limit) return length;
  const auto* t = reinterpret_cast<const unsigned char*>(text);
  size_t p = 0;
  while (p < limit) {
    size_t n = CharLength(t, length, p);
    if (p + n > limit) break;
    p += n;
  }
  return p;
}

size_t MbcsTailStart(const char* text, size_t length, size_t keep) {
  if (length <= keep) return 0;
  size_t start = length - keep;
  return MbcsKindAt(text, length, start) == MBCS_TRAIL ? start + 1 : start;
}

size_t MbcsFindLast(const char* text, size_t length, char c) {
  const auto* t = reinterpret_cast<const unsigned char*>(text);
  size_t found = length;
  for (size_t p = 0; p < length;) {
    size_t n = CharLength(t, length, p);
    if (n == 1 && text[p] == c) found = p;
    p += n;
  }
  return found;
}

size_t MbcsInvalidAt(const char* text, size_t length) {
  const auto* t = reinterpret_cast<const unsigned char*>(text);
  for (size_t p = 0; p < length;) {
    size_t n = CharLength(t, length, p);
    if (n == 1 && (_ismbblead(t[p]) || t[p] == 0x80 || t[p] == 0xA0 || t[p] >= 0xFD)) return p;
    p += n;
  }
  return length;
}
