// _CDecimal is the fixed-point decimal through which amounts, ratios and
// quantities reach the asset file: a magnitude in whole units and
// ten-thousandths with a separate sign. Operations that pass the magnitude
// limit throw the overflow failure: an int holding -1 (kDecimalOverflow).
#pragma once
#include <cstdint>

// The value thrown by the overflow failure.
const int kDecimalOverflow = -1;

class _CDecimal {
 public:
  // Rounding modes, on the magnitude.
  enum { RND_HALF_UP = 0, RND_UP = 1, RND_DOWN = 2 };

  // Zero, sign +1.
  _CDecimal() = default;
  // From x, the fraction rounded half up on the fifth decimal (it may then
  // read 10,000). Throws the overflow failure when |x| >= 10^14 or x is NaN.
  explicit _CDecimal(double x);
  // From a currency value (amount times 10,000).
  explicit _CDecimal(int64_t currency);
  virtual ~_CDecimal() = default;
  // Values copy freely.
  _CDecimal(const _CDecimal&) = default;
  _CDecimal& operator=(const _CDecimal&) = default;

  // The scaled value sign * (integer part * 10,000 + fraction), wrapping
  // modulo 2^64 where it does not fit (never for values from currency).
  int64_t ToCurrency() const;
  // The sum. Throws the overflow failure when its magnitude reaches 10^14.
  _CDecimal operator+(const _CDecimal& other) const;
  // The quotient, its fraction rounded half up on the fifth decimal. A zero
  // divisor is refused with the overflow failure.
  _CDecimal operator/(const _CDecimal& divisor) const;
  // Rounds to digits (-12 to 4; 2 keeps one decimal, -2 hundreds) by mode:
  // 1 rounded, 0 refused (nothing changes). Throws the overflow failure when
  // the integer part reaches 10^18.
  int Round(int16_t mode, int16_t digits);

  // The fields: whole units, ten-thousandths (0 to 10,000), sign +1 or -1.
  uint64_t GetInteger() const { return m_ullInteger; }
  uint32_t GetFraction() const { return m_ulFraction; }
  int16_t GetSign() const { return m_nSign; }

 private:
  uint64_t m_ullInteger = 0;
  uint32_t m_ulFraction = 0;
  int16_t m_nSign = 1;
};
