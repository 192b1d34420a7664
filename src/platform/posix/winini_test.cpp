#include "winini.h"

#include <gtest/gtest.h>

#include <string>

#include "tempdir.h"

namespace {

class IniTest : public ::testing::Test {
 protected:
  IniTest() : env_("VELOR_DRIVES", "C:=" + dir_.path()) {}
  std::string Get(const char* section, const char* key, const char* def = "d", DWORD size = 64) {
    char buf[64] = "junk";
    DWORD n = GetPrivateProfileStringA(section, key, def, buf, size, "C:\\x.ini");
    EXPECT_EQ(n, std::string(buf).size());
    return buf;
  }
  TempDir dir_;
  ScopedEnv env_;
};

TEST_F(IniTest, SectionsKeysCommentsAndBlanks) {
  WriteFileBytes(dir_.Native("x.ini"),
                 "; comment\r\n[Other]\r\nZR40=9\r\n[ programlevel ]\r\n"
                 ";ZR40=7\r\n  zr40 =  01 \r\nZR40=2\r\nName=\"表示\"\r\n[ProgramLevel]\r\nLate=1\r\n");
  EXPECT_EQ(Get("ProgramLevel", "ZR40"), "01");
  EXPECT_EQ(Get("PROGRAMLEVEL", "name"), "表示");
  EXPECT_EQ(Get("Other", "ZR40"), "9");
  EXPECT_EQ(Get("ProgramLevel", "Late"), "d");  // only the first section counts
  EXPECT_EQ(Get("ProgramLevel", "Missing", "1"), "1");
  EXPECT_EQ(Get("Missing", "ZR40", nullptr), "");
}

TEST_F(IniTest, CrLfAndCrLfEachEndALine) {
  for (const char* end : {"\r", "\n", "\r\n"}) {
    const std::string e = end;
    WriteFileBytes(dir_.Native("x.ini"), "[Other]" + e + "ZR40=9" + e + "[ProgramLevel]" + e + "ZR40=2" + e);
    EXPECT_EQ(Get("ProgramLevel", "ZR40"), "2") << static_cast<int>(end[0]);
    EXPECT_EQ(Get("Other", "ZR40"), "9");
  }
}

// Notepad saves "Unicode" as UTF-16 with its byte-order mark; the INI
// reader converts it as Windows does.
TEST_F(IniTest, Utf16FilesAreReadLikeOthers) {
  const std::u16string text = u"[ProgramLevel]\r\nZR40=2\r\n[表]\r\n名=値\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  WriteFileBytes(dir_.Native("x.ini"), bytes);
  EXPECT_EQ(Get("ProgramLevel", "ZR40"), "2");
  EXPECT_EQ(Get("表", "名"), "値");
  // A lone surrogate is no text: the default stands.
  WriteFileBytes(dir_.Native("x.ini"), std::string("\xFF\xFE\x00\xD8", 4));
  EXPECT_EQ(Get("ProgramLevel", "ZR40"), "d");
}

TEST_F(IniTest, EmptyValueMissingFileAndCuts) {
  WriteFileBytes(dir_.Native("x.ini"), "[S]\nEmpty=\nLong=表表表表\n");
  EXPECT_EQ(Get("S", "Empty"), "");
  // 6 bytes of room: a double-byte character is never split.
  EXPECT_EQ(Get("S", "Long", "d", 6), "表表");
  EXPECT_EQ(Get(nullptr, "Long"), "");
  char buf[8];
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "def", buf, sizeof buf, "C:\\none.ini"), 3u);
  EXPECT_STREQ(buf, "def");
}

// A NUL byte in a value (a damaged file) ends it: the length returned is
// that of the text the buffer holds.
TEST_F(IniTest, ANulEndsTheValue) {
  WriteFileBytes(dir_.Native("x.ini"), std::string("[S]\nK=12\0\0\x00" "34\n", 14));
  EXPECT_EQ(Get("S", "K"), "12");
}

TEST_F(IniTest, SectionNameWithTrailByteOfCloseBracket) {
  // 0x83 0x5D is "ゾ": its trail byte has the value of ']'.
  WriteFileBytes(dir_.Native("x.ini"), "[\x83\x5D]\nK=v\n");
  EXPECT_EQ(Get("\x83\x5D", "K"), "v");
}

}  // namespace
