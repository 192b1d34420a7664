#include "winfmt.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

namespace {

// Formats into a buffer of size bytes; the result and the text.
template <typename... Args>
std::pair<int, std::string> Fmt(size_t size, const char* format, Args... args) {
  char buf[2048];
  std::string guard(sizeof buf, '#');
  std::copy(guard.begin(), guard.end(), buf);
  int r = _snprintf(buf, size, format, args...);
  if (size > 0) {
    EXPECT_EQ('#', buf[size < sizeof buf ? size : sizeof buf - 1]) << "wrote past the buffer";
  }
  return {r, size > 0 ? std::string(buf) : std::string()};
}

std::string S(const char* format, ...) {
  char buf[2048];
  va_list args;
  va_start(args, format);
  _vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
}

TEST(WinFmt, ZeroFlagPadsTextWithZeros) {
  EXPECT_EQ("000012AB", S("%08s", "12AB"));
  EXPECT_EQ("000123", S("%06s", "123"));
  EXPECT_EQ("05", S("%02s", "5"));
  EXPECT_EQ("123", S("%02s", "123"));  // longer text is written whole
  EXPECT_EQ("00", S("%02s", ""));
  EXPECT_EQ("0000表", S("%06s", "表"));
  EXPECT_EQ("  ab", S("%4s", "ab"));
  EXPECT_EQ("ab  |", S("%-4s|", "ab"));
  EXPECT_EQ("ab  |", S("%-04s|", "ab"));
  EXPECT_EQ("0a", S("%02.1s", "abc"));
  EXPECT_EQ("(null)", S("%s", static_cast<const char*>(nullptr)));
  EXPECT_EQ("  ab", S("%*s", 4, "ab"));
  EXPECT_EQ("ab  |", S("%*s|", -4, "ab"));
}

TEST(WinFmt, NumbersFollowTheCLibrary) {
  EXPECT_EQ("00042|-42|  7|2a|2A|17", S("%05d|%d|%3u|%x|%X|%o", 42, -42, 7u, 42u, 42u, 15u));
  EXPECT_EQ("-9223372036854775808", S("%lld", LLONG_MIN));
  EXPECT_EQ("4294967295|-1", S("%lu|%ld", 4294967295ul, -1l));
  EXPECT_EQ("12.50|x|%", S("%.2f|%c|%%", 12.5, 'x'));
  EXPECT_EQ("07", S("%02d", 7));
  EXPECT_EQ(std::string(599, ' ') + "1", S("%600d", 1));
  EXPECT_EQ(std::string(700, '0') + "|", S("%0700s|", ""));
  EXPECT_EQ("1.5e+00", S("%.1e", 1.5));
  EXPECT_EQ("-5", S("%hd", -5));
}

TEST(WinFmt, UnsupportedConversionsAreWrittenAsTheyStand) {
  int n = 0;
  EXPECT_EQ("a%nb", S("a%nb", &n));
  EXPECT_EQ(0, n);
  EXPECT_EQ("tail%", S("tail%"));
}

TEST(WinFmt, OutputIsCutToTheBuffer) {
  EXPECT_EQ(std::make_pair(-1, std::string("abcd")), Fmt(5, "%s", "abcdefgh"));
  EXPECT_EQ(std::make_pair(3, std::string("abc")), Fmt(4, "abc"));
  EXPECT_EQ(std::make_pair(-1, std::string("abc")), Fmt(4, "abcd"));
  EXPECT_EQ(std::make_pair(-1, std::string("00")), Fmt(3, "%06s", "1"));
  EXPECT_EQ(std::make_pair(-1, std::string("12")), Fmt(3, "%d", 12345));
  EXPECT_EQ(std::make_pair(-1, std::string("")), Fmt(1, "x"));
  EXPECT_EQ(std::make_pair(0, std::string("")), Fmt(1, ""));
  EXPECT_EQ(-1, Fmt(0, "x").first);
  // A cut may fall inside a double-byte character: the bytes are copied.
  EXPECT_EQ(std::make_pair(-1, std::string("a\x95")), Fmt(3, "%s", "a表"));
}

}  // namespace
