// Integers as decimal text without the general formatter: the writers turn
// dozens of numbers into text on every line.
#pragma once
#include <cstddef>
#include <cstdint>

// Writes the decimal digits of v so that they end just before end; returns
// where they begin. The area before end must hold 20 bytes.
inline char* DecimalDigits(uint64_t v, char* end) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  // Two digits a step.
  while (v >= 100) {
    const uint64_t pair = v % 100;
    v /= 100;
    end -= 2;
    end[0] = kPairs[2 * pair];
    end[1] = kPairs[2 * pair + 1];
  }
  if (v >= 10) {
    end -= 2;
    end[0] = kPairs[2 * v];
    end[1] = kPairs[2 * v + 1];
  } else {
    *--end = static_cast<char>('0' + v);
  }
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
