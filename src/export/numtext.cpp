#include "numtext.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

void StripSeparators(const char* text, char* out, size_t size) {
  size_t n = 0;
  for (; *text != '\0' && n + 1 < size; ++text) {
    if (*text != ',' && *text != ' ') out[n++] = *text;
  }
  out[n] = '\0';
}

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
}  // namespace

double ReadDecimalNumber(const char* text) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  const char* start = p;
  // Where the first significant digit stands relative to the point: the
  // decimal magnitude of the number before its exponent.
  long magnitude = 0;
  bool significant = false, anyDigit = false;
  for (; IsDigit(*p); ++p) {
    anyDigit = true;
    if (*p != '0') significant = true;
    if (significant) ++magnitude;
  }
  if (*p == '.') {
    ++p;
    for (; IsDigit(*p); ++p) {
      anyDigit = true;
      if (!significant && *p != '0') significant = true;
      if (!significant) --magnitude;
    }
  }
  if (!anyDigit) return 0.0;
  long exponent = 0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    bool expNegative = *q == '-';
    if (*q == '-' || *q == '+') ++q;
    if (IsDigit(*q)) {
      for (; IsDigit(*q); ++q) {
        if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
      }
      if (expNegative) exponent = -exponent;
      p = q;
    }
  }
  double value = 0.0;
  std::from_chars_result r = std::from_chars(start, p, value, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    value = significant && magnitude + exponent > 0 ? HUGE_VAL : 0.0;
  }
  return negative ? -value : value;
}

long long LeadingNumber(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long value = 0;
  for (; IsDigit(*p); ++p) {
    if (value < 10000000000LL) value = value * 10 + (*p - '0');
  }
  return negative ? -value : value;
}
