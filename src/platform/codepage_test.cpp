#include "codepage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

TEST(Codepage, RoundTripsJapaneseText) {
  std::string utf8, back;
  ASSERT_TRUE(Cp932ToUtf8("C:\\表\\ソ能｢①", &utf8));
  EXPECT_EQ(U8(u8"C:\\\u8868\\\u30BD\u80FD\uFF62\u2460"), utf8);
  ASSERT_TRUE(Utf8ToCp932(utf8, &back));
  EXPECT_EQ("C:\\表\\ソ能｢①", back);
  ASSERT_TRUE(Cp932ToUtf8("", &utf8));
  EXPECT_EQ("", utf8);
}

TEST(Codepage, LongTextIsConvertedWhole) {
  std::string cp, utf8, back;
  for (int i = 0; i < 3000; ++i) cp += "減価償却";
  ASSERT_TRUE(Cp932ToUtf8(cp, &utf8));
  EXPECT_EQ(3000u * 12u, utf8.size());
  ASSERT_TRUE(Utf8ToCp932(utf8, &back));
  EXPECT_EQ(cp, back);
}

TEST(Codepage, InvalidInputIsRefused) {
  std::string out;
  EXPECT_FALSE(Cp932ToUtf8("ab\x81", &out));   // lead byte at the end
  EXPECT_FALSE(Cp932ToUtf8("\x81\x20", &out)); // lead byte without trail
  EXPECT_FALSE(Cp932ToUtf8("\x80", &out));
  EXPECT_TRUE(Cp932ToUtf8("ok", &out));  // a failure leaves no state behind
  EXPECT_EQ("ok", out);

  char32_t bad = 0;
  EXPECT_FALSE(Utf8ToCp932(U8(u8"a\U0001F600b"), &out, &bad));
  EXPECT_EQ(0x1F600u, static_cast<unsigned>(bad));
  EXPECT_FALSE(Utf8ToCp932("a\xFF", &out, &bad));
  EXPECT_EQ(0xFFFDu, static_cast<unsigned>(bad));
  EXPECT_FALSE(Utf8ToCp932("\xE8\xA1", &out, nullptr));  // cut character
  EXPECT_TRUE(Utf8ToCp932("x", &out));
  EXPECT_EQ("x", out);
}

TEST(Codepage, ShownTextMarksWhatStartsNoCharacter) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(Cp932ToUtf8Shown("\x8A\xF7"), U8(u8"机"));
  EXPECT_EQ(Cp932ToUtf8Shown(""), "");
  // A name cut inside its last character, and a byte that is no character.
  EXPECT_EQ(Cp932ToUtf8Shown("\x8A\xF7\x8A"), U8(u8"机") + fffd);
  EXPECT_EQ(Cp932ToUtf8Shown("a\x80" "b\xA2"), "a" + fffd + "b" + U8(u8"｢"));
}

}  // namespace
