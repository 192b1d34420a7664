#include "mbcs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

TEST(Mbcs, LiteralsHoldCodePage932Bytes) {
  // 表 ソ 能 end in 0x5C, the backslash; ｢ is one half-width byte.
  EXPECT_EQ(std::string("\x95\x5C"), "表");
  EXPECT_EQ(std::string("\x83\x5C"), "ソ");
  EXPECT_EQ(std::string("\x94\x5C"), "能");
  EXPECT_EQ(std::string("\xA2"), "｢");
}

TEST(Mbcs, LeadAndTrailByteRanges) {
  for (unsigned c = 0; c < 0x100; ++c) {
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    bool trail = (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
    EXPECT_EQ(lead, _ismbblead(c) != 0) << c;
    EXPECT_EQ(trail, _ismbbtrail(c) != 0) << c;
    EXPECT_EQ(lead ? TRUE : FALSE, IsDBCSLeadByte(static_cast<BYTE>(c))) << c;
  }
  EXPECT_FALSE(_ismbblead(0x181));
}

TEST(Mbcs, SearchesSkipTrailBytes) {
  const char* path = "C:\\dir\\表";
  EXPECT_EQ(U(path) + 6, _mbsrchr(U(path), '\\'));
  EXPECT_EQ(U(path) + 2, _mbschr(U(path), '\\'));
  EXPECT_EQ(nullptr, _mbsrchr(U("表ソ能"), '\\'));
  EXPECT_EQ(nullptr, _mbschr(U("表ソ能"), '\\'));
  EXPECT_EQ(U("表\\x") + 2, _mbschr(U("表\\x"), '\\'));
  // A lead byte before a byte that cannot trail stands alone.
  EXPECT_EQ(U("\x81 \\") + 2, _mbsrchr(U("\x81 \\"), '\\'));
  EXPECT_EQ(U("ab\x95") + 2, _mbsrchr(U("ab\x95"), 0x95));
  EXPECT_EQ(nullptr, _mbsrchr(U(""), '\\'));
}

TEST(Mbcs, ByteKinds) {
  const std::string t = "a表b\x81";
  EXPECT_EQ(MBCS_SINGLE, MbcsKindAt(t.data(), t.size(), 0));
  EXPECT_EQ(MBCS_LEAD, MbcsKindAt(t.data(), t.size(), 1));
  EXPECT_EQ(MBCS_TRAIL, MbcsKindAt(t.data(), t.size(), 2));
  EXPECT_EQ(MBCS_SINGLE, MbcsKindAt(t.data(), t.size(), 3));
  EXPECT_EQ(MBCS_SINGLE, MbcsKindAt(t.data(), t.size(), 4));  // lead without trail
  // Scanning from the start tells a trail byte from a lead byte of equal value.
  const std::string u = "\x95\x95\x95\x5C";
  EXPECT_EQ(MBCS_LEAD, MbcsKindAt(u.data(), u.size(), 2));
  EXPECT_EQ(MBCS_TRAIL, MbcsKindAt(u.data(), u.size(), 3));
}

TEST(Mbcs, WholeCharacterCuts) {
  const std::string t = "a表ソ";  // a, 95 5C, 83 5C
  EXPECT_EQ(1u, MbcsCutLength(t.data(), t.size(), 2));
  EXPECT_EQ(3u, MbcsCutLength(t.data(), t.size(), 3));
  EXPECT_EQ(3u, MbcsCutLength(t.data(), t.size(), 4));
  EXPECT_EQ(5u, MbcsCutLength(t.data(), t.size(), 5));
  EXPECT_EQ(5u, MbcsCutLength(t.data(), t.size(), 9));
  EXPECT_EQ(0u, MbcsCutLength(t.data(), t.size(), 0));
  EXPECT_EQ(2u, MbcsCutLength("ab\x81", 3, 2));

  EXPECT_EQ(3u, MbcsTailStart(t.data(), t.size(), 2));
  EXPECT_EQ(3u, MbcsTailStart(t.data(), t.size(), 3));  // would start on 表's trail
  EXPECT_EQ(1u, MbcsTailStart(t.data(), t.size(), 4));
  EXPECT_EQ(0u, MbcsTailStart(t.data(), t.size(), 5));

  const std::string p = "x\\表\\能";
  EXPECT_EQ(4u, MbcsFindLast(p.data(), p.size(), '\\'));
  EXPECT_EQ(2u, MbcsFindLast("表", 2, '\\'));
}

TEST(Mbcs, InvalidBytes) {
  const std::string valid = "a表ソ\xB1\x7F";  // half-width katakana, DEL
  EXPECT_EQ(valid.size(), MbcsInvalidAt(valid.data(), valid.size()));
  EXPECT_EQ(0u, MbcsInvalidAt("", 0));
  // Bytes that are no character, and lead bytes without a trail byte.
  EXPECT_EQ(1u, MbcsInvalidAt("a\x80", 2));
  EXPECT_EQ(1u, MbcsInvalidAt("a\xA0", 2));
  EXPECT_EQ(2u, MbcsInvalidAt("\x81\x40\xFD", 3));
  EXPECT_EQ(1u, MbcsInvalidAt("a\x81,", 3));    // a comma is no trail byte
  EXPECT_EQ(2u, MbcsInvalidAt("ab\x9F", 3));    // cut off at the end
  EXPECT_EQ(2u, MbcsInvalidAt("\x81\xFC\x81\xFF", 4));  // the lead byte before 0xFF
  // 0x80 and 0xA0 as trail bytes belong to their character.
  EXPECT_EQ(4u, MbcsInvalidAt("\x81\x80\xE0\xA0", 4));
}

}  // namespace
