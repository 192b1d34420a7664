#include "_CDecimal.h"

namespace {
const uint64_t kScale = 10000;
const double kDoubleLimit = 1e14;          // magnitude limit of a value from a double
const uint64_t kSumLimit = 1000000000000000000ULL;  // scaled limit of a sum: 10^14 units
const uint64_t kRoundLimit = 1000000000000000000ULL;  // integer-part limit of Round

[[noreturn]] void Overflow() { throw kDecimalOverflow; }

// The scaled magnitude integer * 10,000 + fraction, modulo 2^64.
uint64_t Scaled(uint64_t integer, uint32_t fraction) { return integer * kScale + fraction; }

// The scaled magnitude, or the overflow failure when it does not fit 64 bits.
uint64_t CheckedScaled(uint64_t integer, uint32_t fraction) {
  if (integer > (UINT64_MAX - fraction) / kScale) Overflow();
  return Scaled(integer, fraction);
}
}  // namespace

_CDecimal::_CDecimal(double x) {
  if (x < 0) {
    m_nSign = -1;
    x = -x;
  }
  if (!(x < kDoubleLimit)) Overflow();  // also NaN
  m_ullInteger = static_cast<uint64_t>(x);
  uint64_t n = static_cast<uint64_t>((x - static_cast<double>(m_ullInteger)) * 100000.0);
  m_ulFraction = static_cast<uint32_t>((n + 5) / 10);
}

_CDecimal::_CDecimal(int64_t currency) {
  uint64_t m = static_cast<uint64_t>(currency);
  if (currency < 0) {
    m_nSign = -1;
    m = 0 - m;
  }
  m_ullInteger = m / kScale;
  m_ulFraction = static_cast<uint32_t>(m % kScale);
}

int64_t _CDecimal::ToCurrency() const {
  uint64_t m = Scaled(m_ullInteger, m_ulFraction);
  return static_cast<int64_t>(m_nSign < 0 ? 0 - m : m);
}

_CDecimal _CDecimal::operator+(const _CDecimal& other) const {
  // The exact sum of the two scaled values, as sign and magnitude.
  uint64_t a = CheckedScaled(m_ullInteger, m_ulFraction);
  uint64_t b = CheckedScaled(other.m_ullInteger, other.m_ulFraction);
  uint64_t m;
  bool negative;
  if ((m_nSign < 0) == (other.m_nSign < 0)) {
    if (a > UINT64_MAX - b) Overflow();
    m = a + b;
    negative = m_nSign < 0;
  } else if (a >= b) {
    m = a - b;
    negative = m_nSign < 0;
  } else {
    m = b - a;
    negative = other.m_nSign < 0;
  }
  if (m >= kSumLimit) Overflow();
  _CDecimal sum;
  sum.m_nSign = (negative && m != 0) ? -1 : 1;
  sum.m_ullInteger = m / kScale;
  sum.m_ulFraction = static_cast<uint32_t>(m % kScale);
  return sum;
}

_CDecimal _CDecimal::operator/(const _CDecimal& divisor) const {
  uint64_t ma = Scaled(m_ullInteger, m_ulFraction);
  uint64_t mb = Scaled(divisor.m_ullInteger, divisor.m_ulFraction);
  if (mb == 0) Overflow();
  _CDecimal q;
  q.m_ullInteger = ma / mb;
  uint64_t r = ma % mb, f = 0;
  if (r != 0) {
    for (int i = 0; i < 5; ++i) {
      r *= 10;
      f = f * 10 + r / mb;
      r %= mb;
    }
  }
  uint64_t fraction = (f + 5) / 10;
  if (fraction >= kScale) {
    q.m_ullInteger += 1;
    fraction -= kScale;
  }
  q.m_ulFraction = static_cast<uint32_t>(fraction);
  bool zero = q.m_ullInteger == 0 && q.m_ulFraction == 0;
  q.m_nSign = (!zero && (m_nSign < 0) != (divisor.m_nSign < 0)) ? -1 : 1;
  return q;
}

int _CDecimal::Round(int16_t mode, int16_t digits) {
  if (digits < -12 || digits > 4 || mode < RND_HALF_UP || mode > RND_DOWN) return 0;
  if (digits >= 0) {
    static const uint32_t kUnit[5] = {10000, 10000, 1000, 100, 10};
    uint32_t u = kUnit[digits], f = m_ulFraction;
    if (mode == RND_HALF_UP) {
      f = ((u / 2 + f) / u) * u;
    } else if (mode == RND_UP) {
      f = (f / u + (f % u != 0 ? 1 : 0)) * u;
    } else {
      f = (f / u) * u;
    }
    if (mode != RND_DOWN && f >= kScale) {
      f %= kScale;
      m_ullInteger += 1;
    }
    m_ulFraction = f;
  } else {
    uint64_t p = 1;
    for (int i = 0; i < -digits; ++i) p *= 10;
    uint64_t n = m_ullInteger;
    if (mode == RND_HALF_UP) {
      n = ((p / 2 + n) / p) * p;
    } else if (mode == RND_UP) {
      if (n % p != 0 || m_ulFraction != 0) n = (n / p + 1) * p;
    } else {
      n = (n / p) * p;
    }
    m_ullInteger = n;
    m_ulFraction = 0;
  }
  if (m_ullInteger >= kRoundLimit) Overflow();
  return 1;
}
