// Integers as decimal text without the general formatter: the writers turn
// dozens of numbers into text on every line.
#pragma once
#include <cstddef>
#include <cstdint>

// Writes the decimal digits of v so that they end just before end; returns
// where they begin. The area before end must hold 20 bytes.
inline char* DecimalDigits(uint64_t v, char* end) {
  do {
    *--end = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  return end;
}

// Writes v in decimal, with "-" when negative, NUL-terminated, into out
// (at least 21 bytes); returns the length.
inline size_t DecimalText(int64_t v, char* out) {
  char digits[20];
  char* const end = digits + sizeof digits;
  const char* begin = DecimalDigits(v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v), end);
  size_t n = 0;
  if (v < 0) out[n++] = '-';
  while (begin < end) out[n++] = *begin++;
  out[n] = '\0';
  return n;
}
