#include "_CDecimal.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Expects integer part, fraction and sign of d.
void ExpectFields(const _CDecimal& d, uint64_t integer, uint32_t fraction, int sign) {
  EXPECT_EQ(d.GetInteger(), integer);
  EXPECT_EQ(d.GetFraction(), fraction);
  EXPECT_EQ(d.GetSign(), sign);
}

_CDecimal Cy(int64_t currency) { return _CDecimal(currency); }

// Rounds the currency value v and gives the currency result.
int64_t Rounded(int64_t v, int16_t mode, int16_t digits) {
  _CDecimal d(v);
  EXPECT_EQ(d.Round(mode, digits), 1);
  return d.ToCurrency();
}

bool Overflows(void (*f)()) {
  try {
    f();
  } catch (int e) {
    return e == -1;
  }
  return false;
}

TEST(CDecimal, FromDoubleRoundsTheFifthDecimal) {
  ExpectFields(_CDecimal(2.5), 2, 5000, 1);
  ExpectFields(_CDecimal(2.71828), 2, 7183, 1);
  ExpectFields(_CDecimal(1.00004), 1, 0, 1);
  _CDecimal tiny(-0.00004);
  ExpectFields(tiny, 0, 0, -1);
  EXPECT_EQ(tiny.ToCurrency(), 0);
}

TEST(CDecimal, FromDoubleMayLeaveTenThousandInTheFraction) {
  _CDecimal d(0.99996);
  ExpectFields(d, 0, 10000, 1);
  EXPECT_EQ(d.ToCurrency(), 10000);
  EXPECT_EQ(d.Round(_CDecimal::RND_HALF_UP, 3), 1);
  ExpectFields(d, 1, 0, 1);
  // Rounding down keeps the fields as they are.
  _CDecimal down(0.99996);
  down.Round(_CDecimal::RND_DOWN, 2);
  ExpectFields(down, 0, 10000, 1);
}

TEST(CDecimal, FromDoubleLimit) {
  EXPECT_TRUE(Overflows([] { _CDecimal d(1e14); }));
  EXPECT_TRUE(Overflows([] { _CDecimal d(-1e14); }));
  EXPECT_TRUE(Overflows([] { _CDecimal d(std::numeric_limits<double>::quiet_NaN()); }));
  EXPECT_TRUE(Overflows([] { _CDecimal d(std::numeric_limits<double>::infinity()); }));
  ExpectFields(_CDecimal(99999999999999.0), 99999999999999ULL, 0, 1);
}

TEST(CDecimal, FromCurrencyAndBack) {
  _CDecimal d(int64_t{-123456});
  ExpectFields(d, 12, 3456, -1);
  EXPECT_EQ(d.ToCurrency(), -123456);
  for (int64_t v : {INT64_MIN, INT64_MAX, int64_t{0}, int64_t{-1}, int64_t{9999}})
    EXPECT_EQ(_CDecimal(v).ToCurrency(), v);
}

TEST(CDecimal, Addition) {
  ExpectFields(Cy(15000) + Cy(-22500), 0, 7500, -1);
  ExpectFields(Cy(-15000) + Cy(15000), 0, 0, 1);
  EXPECT_EQ((Cy(-15000) + Cy(-5)).ToCurrency(), -15005);
  // The sum must stay below 10^14 units.
  EXPECT_EQ((Cy(999999999999999999LL) + Cy(0)).ToCurrency(), 999999999999999999LL);
  EXPECT_TRUE(Overflows([] { (void)(Cy(999999999999999999LL) + Cy(1)); }));
  EXPECT_TRUE(Overflows([] { (void)(Cy(-999999999999999999LL) + Cy(-1)); }));
  // Operands far beyond the limit never wrap into a small sum.
  EXPECT_TRUE(Overflows([] { (void)(Cy(INT64_MAX) + Cy(INT64_MAX)); }));
  EXPECT_TRUE(Overflows([] { (void)(Cy(INT64_MIN) + Cy(INT64_MIN)); }));
  EXPECT_EQ((Cy(INT64_MAX) + Cy(INT64_MIN)).ToCurrency(), -1);
}

TEST(CDecimal, Division) {
  const int64_t one = 10000;
  EXPECT_EQ((Cy(one) / Cy(3 * one)).ToCurrency(), 3333);
  EXPECT_EQ((Cy(2 * one) / Cy(3 * one)).ToCurrency(), 6667);
  EXPECT_EQ((Cy(5000 * one) / Cy(100 * one)).ToCurrency(), 50 * one);
  ExpectFields(Cy(-one) / Cy(4 * one), 0, 2500, -1);
  ExpectFields(Cy(0) / Cy(-5 * one), 0, 0, 1);
  // Half up on the fifth decimal, with a carry into the integer part.
  ExpectFields(Cy(99994) / Cy(100000), 0, 9999, 1);
  ExpectFields(Cy(99995) / Cy(100000), 1, 0, 1);
  ExpectFields(Cy(999999) / Cy(1000000), 1, 0, 1);
  EXPECT_TRUE(Overflows([] { (void)(Cy(10000) / Cy(0)); }));
}

TEST(CDecimal, RoundFractionDigits) {
  EXPECT_EQ(Rounded(12350, _CDecimal::RND_HALF_UP, 3), 12400);
  EXPECT_EQ(Rounded(12349, _CDecimal::RND_HALF_UP, 3), 12300);
  EXPECT_EQ(Rounded(-12350, _CDecimal::RND_HALF_UP, 3), -12400);
  EXPECT_EQ(Rounded(10001, _CDecimal::RND_UP, 2), 11000);
  EXPECT_EQ(Rounded(10999, _CDecimal::RND_DOWN, 2), 10000);
  EXPECT_EQ(Rounded(-10999, _CDecimal::RND_DOWN, 2), -10000);
  EXPECT_EQ(Rounded(25000, _CDecimal::RND_HALF_UP, 0), 30000);
  EXPECT_EQ(Rounded(25000, _CDecimal::RND_HALF_UP, 1), 30000);
  EXPECT_EQ(Rounded(99999, _CDecimal::RND_UP, 4), 100000);
  EXPECT_EQ(Rounded(12345, _CDecimal::RND_HALF_UP, 4), 12350);
}

TEST(CDecimal, RoundWholeDigits) {
  EXPECT_EQ(Rounded(12499000, _CDecimal::RND_HALF_UP, -2), 12000000);
  EXPECT_EQ(Rounded(12500000, _CDecimal::RND_HALF_UP, -2), 13000000);
  EXPECT_EQ(Rounded(12000001, _CDecimal::RND_UP, -2), 13000000);
  EXPECT_EQ(Rounded(12000000, _CDecimal::RND_UP, -2), 12000000);
  EXPECT_EQ(Rounded(12999999, _CDecimal::RND_DOWN, -2), 12000000);
  EXPECT_EQ(Rounded(-12500000, _CDecimal::RND_HALF_UP, -2), -13000000);
  // Half up looks at the integer part only.
  EXPECT_EQ(Rounded(459999, _CDecimal::RND_HALF_UP, -1), 500000);
  EXPECT_EQ(Rounded(449999, _CDecimal::RND_HALF_UP, -1), 400000);
}

TEST(CDecimal, RoundRefusesAndOverflows) {
  _CDecimal d(int64_t{12345});
  EXPECT_EQ(d.Round(_CDecimal::RND_HALF_UP, 5), 0);
  EXPECT_EQ(d.Round(_CDecimal::RND_HALF_UP, -13), 0);
  EXPECT_EQ(d.Round(3, 2), 0);
  EXPECT_EQ(d.Round(-1, 2), 0);
  EXPECT_EQ(d.ToCurrency(), 12345);
  // 10^14 units rounded up to whole 10^12 stays below 10^18; the integer
  // part of a quotient can pass it.
  _CDecimal big = Cy(INT64_MAX) / Cy(1);
  EXPECT_TRUE(big.GetInteger() >= 1000000000000000000ULL);
  EXPECT_THROW(big.Round(_CDecimal::RND_DOWN, 0), int);
}

}  // namespace
