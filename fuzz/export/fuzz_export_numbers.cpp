// Reads random text as a quantity number and runs the decimal type on random
// values. A text made only of blanks, signs, digits, points and exponent
// letters must read as the C library reads it; any other text must never
// read as infinity or NaN unless the digits overflow. The decimal
// operations may only end in their overflow failure.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "_CDecimal.h"
#include "numtext.h"

namespace {

bool DecimalBytesOnly(const std::string& s) {
  return s.find_first_not_of(" \t\n\v\f\r0123456789.eE+-") == std::string::npos;
}

void CheckReader(const std::string& text) {
  double read = ReadDecimalNumber(text.c_str());
  if (std::isnan(read)) std::abort();
  if (DecimalBytesOnly(text)) {
    double library = std::strtod(text.c_str(), nullptr);
    if (read != library) std::abort();
  }
}

template <typename F>
void MayOverflow(F f) {
  try {
    f();
  } catch (int e) {
    if (e != kDecimalOverflow) std::abort();
  }
}

void CheckDecimal(const uint8_t* data, size_t size) {
  if (size < 20) return;
  int64_t a, b;
  int16_t mode, digits;
  double x;
  std::memcpy(&a, data, 8);
  std::memcpy(&b, data + 8, 8);
  std::memcpy(&mode, data + 16, 2);
  std::memcpy(&digits, data + 18, 2);
  std::memcpy(&x, data, 8);
  if (_CDecimal(a).ToCurrency() != a) std::abort();
  MayOverflow([&] { (void)(_CDecimal(a) + _CDecimal(b)); });
  MayOverflow([&] { (void)(_CDecimal(a) / _CDecimal(b)); });
  MayOverflow([&] {
    _CDecimal d(a);
    if (d.Round(mode, digits) == 0 && d.ToCurrency() != a) std::abort();
  });
  MayOverflow([&] {
    _CDecimal d(x);
    if (d.GetFraction() > 10000) std::abort();
    d.Round(static_cast<int16_t>(mode & 3), static_cast<int16_t>(digits % 17 - 12));
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  CheckReader(text.substr(0, text.find('\0')));
  CheckDecimal(data, size);
  return 0;
}
