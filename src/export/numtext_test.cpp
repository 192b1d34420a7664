#include "numtext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string Stripped(const char* text, size_t size = 64) {
  char out[64];
  StripSeparators(text, out, size);
  return out;
}

TEST(StripSeparators, RemovesCommasAndBlanksOnly) {
  EXPECT_EQ(Stripped("1,234 567.5"), "1234567.5");
  EXPECT_EQ(Stripped(""), "");
  EXPECT_EQ(Stripped(", ,"), "");
  EXPECT_EQ(Stripped("\t1"), "\t1");
  EXPECT_EQ(Stripped("12345", 4), "123");
  char inPlace[] = "1, 2";
  StripSeparators(inPlace, inPlace, sizeof inPlace);
  EXPECT_STREQ(inPlace, "12");
}

TEST(ReadDecimalNumber, Grammar) {
  EXPECT_EQ(ReadDecimalNumber("1234.5"), 1234.5);
  EXPECT_EQ(ReadDecimalNumber("  \t-2.25xyz"), -2.25);
  EXPECT_EQ(ReadDecimalNumber("+.5"), 0.5);
  EXPECT_EQ(ReadDecimalNumber("7."), 7.0);
  EXPECT_EQ(ReadDecimalNumber("1e3"), 1000.0);
  EXPECT_EQ(ReadDecimalNumber("1E+2kg"), 100.0);
  EXPECT_EQ(ReadDecimalNumber("25e-1"), 2.5);
  // An exponent without digits is not part of the number.
  EXPECT_EQ(ReadDecimalNumber("3e"), 3.0);
  EXPECT_EQ(ReadDecimalNumber("3e+"), 3.0);
  EXPECT_EQ(ReadDecimalNumber("1.5.5"), 1.5);
}

TEST(ReadDecimalNumber, NoNumber) {
  for (const char* text : {"", ".", "-", "+.", " e5", "abc", "- 1"}) EXPECT_EQ(ReadDecimalNumber(text), 0.0) << text;
  // Forms the C library would take.
  EXPECT_EQ(ReadDecimalNumber("0x1"), 0.0);
  EXPECT_EQ(ReadDecimalNumber("0x1p4"), 0.0);
  EXPECT_EQ(ReadDecimalNumber("inf"), 0.0);
  EXPECT_EQ(ReadDecimalNumber("-infinity"), 0.0);
  EXPECT_EQ(ReadDecimalNumber("nan"), 0.0);
  EXPECT_EQ(ReadDecimalNumber("NAN(1)"), 0.0);
}

TEST(ReadDecimalNumber, OutOfRange) {
  EXPECT_EQ(ReadDecimalNumber("1e400"), HUGE_VAL);
  EXPECT_EQ(ReadDecimalNumber("-1e99999999999"), -HUGE_VAL);
  EXPECT_EQ(ReadDecimalNumber("1e-400"), 0.0);
  EXPECT_EQ(ReadDecimalNumber("0.000e999999"), 0.0);
  EXPECT_EQ(ReadDecimalNumber(("0." + std::string(500, '0') + "1e400").c_str()), 1e-101);
}

}  // namespace

namespace {

TEST(LeadingNumber, ReadsAsTheRuntimeButHeldInsteadOfWrapping) {
  EXPECT_EQ(LeadingNumber("01"), 1);
  EXPECT_EQ(LeadingNumber("00"), 0);
  EXPECT_EQ(LeadingNumber("12ab"), 12);
  EXPECT_EQ(LeadingNumber(""), 0);
  EXPECT_EQ(LeadingNumber("x1"), 0);
  EXPECT_EQ(LeadingNumber(" \t-7"), -7);
  EXPECT_EQ(LeadingNumber("+3"), 3);
  EXPECT_EQ(LeadingNumber("- 3"), 0);
  // Far more digits than any integer holds: still a large level, never a
  // wrapped or negative one.
  EXPECT_GT(LeadingNumber("99999999999999999999999999"), 2147483647LL);
  EXPECT_LT(LeadingNumber("-99999999999999999999999999"), -2147483647LL);
}

}  // namespace
