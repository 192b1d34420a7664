// Parses random text as a number and, for texts of plain digits with an
// optional sign and point, compares the result with exact arithmetic.
#include <cstddef>
#include <cstdint>
#include <string>

#include "textaccessor.h"

namespace {

class NumberParser : public ClTextAccessor {
 public:
  NumberParser() : ClTextAccessor("G_FUZZ", &kItem, 1, record_) {}
  using ClTextAccessor::CheckNumeric;

 private:
  static constexpr StTAFORMAT kItem = {"n", 8, 0, 0, 8, ClTextAccessor::TAT_NUMBER, 0};
  char record_[8] = {};
};

// The value of a text matching [+-]?[0-9]*(\.[0-9]*)? with at least one digit,
// times 10,000 with the fraction cut; false when the text has another shape.
// *fits is false when the value lies outside 64 bits.
bool Reference(const std::string& s, int64_t* value, bool* fits) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  __int128 whole = 0;
  int64_t fraction = 0;
  int digits = 0, fractionDigits = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (point) {
        if (fractionDigits < 4) fraction = fraction * 10 + (c - '0'), ++fractionDigits;
      } else if (whole < (__int128{1} << 100)) {
        whole = whole * 10 + (c - '0');
      }
    } else {
      return false;
    }
  }
  if (digits == 0) return false;
  for (; fractionDigits < 4; ++fractionDigits) fraction *= 10;
  __int128 v = whole * 10000 + fraction;
  if (negative) v = -v;
  *fits = v >= INT64_MIN && v <= INT64_MAX;
  *value = *fits ? static_cast<int64_t>(v) : 0;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= ClTextAccessor::kLineSize) return 0;
  const std::string text(reinterpret_cast<const char*>(data), size);
  static NumberParser parser;
  tagCY value{12345};
  const long result = parser.CheckNumeric(text.c_str(), &value);
  if (result < 0 || result > 2) __builtin_trap();
  if (result != 0 && value.int64 != 12345) __builtin_trap();  // written only when parsed
  int64_t expected = 0;
  bool fits = false;
  if (text.find('\0') == std::string::npos && Reference(text, &expected, &fits)) {
    if (fits ? (result != 0 || value.int64 != expected) : result != 2) __builtin_trap();
  }
  return 0;
}
