#include "pathapi.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

#include "codepage.h"
#include "crtio.h"
#include "mbscase.h"
#include "tempdir.h"

namespace {

std::string Skip(const char* path) {
  const char* rest = PathSkipRootA(path);
  return rest == nullptr ? "<null>" : rest;
}

std::string Strip(const char* path, BOOL expected = TRUE) {
  char buf[64];
  std::strcpy(buf, path);
  EXPECT_EQ(PathStripToRootA(buf), expected) << path;
  return buf;
}

TEST(PathRoots, SkipRoot) {
  EXPECT_EQ(Skip("C:\\a\\b"), "a\\b");
  EXPECT_EQ(Skip("c:\\"), "");
  EXPECT_EQ(Skip("\\\\srv\\share\\a\\"), "a\\");
  EXPECT_EQ(Skip("\\\\srv\\share\\"), "");
  EXPECT_EQ(Skip("\\\\srv\\share"), "<null>");
  EXPECT_EQ(Skip("\\\\srv"), "<null>");
  EXPECT_EQ(Skip("C:a"), "<null>");
  EXPECT_EQ(Skip("a\\b"), "<null>");
  EXPECT_EQ(Skip(""), "<null>");
  // A server name ending in 表 (trail byte 0x5C) does not end there.
  EXPECT_EQ(Skip("\\\\表\\share\\a"), "a");
}

TEST(PathRoots, StripToRoot) {
  EXPECT_EQ(Strip("C:\\a\\b\\"), "C:\\");
  EXPECT_EQ(Strip("\\\\srv\\share\\a\\b"), "\\\\srv\\share");
  EXPECT_EQ(Strip("\\\\srv\\share"), "\\\\srv\\share");
  EXPECT_EQ(Strip("\\\\srv\\"), "\\\\srv");
  EXPECT_EQ(Strip("\\\\ソ\\share\\x"), "\\\\ソ\\share");
  EXPECT_EQ(Strip("\\a\\b"), "\\");
  EXPECT_EQ(Strip("C:a", FALSE), "C:a");
  EXPECT_EQ(Strip("a\\b", FALSE), "a\\b");
}

TEST(PathTests, ExistsAndIsDirectoryThroughTheMap) {
  TempDir dir;
  std::string table;
  ASSERT_TRUE(Cp932ToUtf8("表", &table));
  ScopedEnv env("VELOR_DRIVES", "C:=" + dir.path() + ";\\\\srv\\share=" + dir.Native("s"));
  mkdir(dir.Native(table).c_str(), 0777);
  mkdir(dir.Native("s").c_str(), 0777);
  WriteFileBytes(dir.Native(table + "/f.txt"), "x");
  EXPECT_TRUE(PathFileExistsA("C:\\表\\f.txt"));
  EXPECT_FALSE(PathIsDirectoryA("C:\\表\\f.txt"));
  EXPECT_TRUE(PathIsDirectoryA("C:\\表"));
  EXPECT_TRUE(PathIsDirectoryA("c:\\表\\"));
  EXPECT_FALSE(PathFileExistsA("C:\\表\\g.txt"));
  EXPECT_FALSE(PathFileExistsA("Q:\\"));  // no such drive
  EXPECT_TRUE(PathIsDirectoryA("\\\\srv\\share"));
  EXPECT_TRUE(PathIsDirectoryA("\\\\SRV\\SHARE\\"));
  EXPECT_FALSE(PathIsDirectoryA("\\\\srv\\other"));
}

TEST(SplitPath, PartsOfAPath) {
  char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
  _splitpath("C:\\a\\b.c\\name.tar.gz", drive, dir, fname, ext);
  EXPECT_STREQ(drive, "C:");
  EXPECT_STREQ(dir, "\\a\\b.c\\");
  EXPECT_STREQ(fname, "name.tar");
  EXPECT_STREQ(ext, ".gz");
  _splitpath("x/y.csv", drive, dir, fname, ext);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(dir, "x/");
  EXPECT_STREQ(fname, "y");
  EXPECT_STREQ(ext, ".csv");
  _splitpath("\\\\srv\\share\\noext", drive, dir, nullptr, ext);
  EXPECT_STREQ(dir, "\\\\srv\\share\\");
  EXPECT_STREQ(ext, "");
}

TEST(SplitPath, TrailByte5CIsNoSeparator) {
  char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
  _splitpath("C:\\表\\ソ能.csv", drive, dir, fname, ext);
  EXPECT_STREQ(dir, "\\表\\");
  EXPECT_STREQ(fname, "ソ能");
  _splitpath("C:\\能", drive, dir, fname, ext);
  EXPECT_STREQ(dir, "\\");
  EXPECT_STREQ(fname, "能");
}

TEST(SplitPath, APartThatDoesNotFitEmptiesAll) {
  char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
  std::string path = "C:\\" + std::string(_MAX_DIR, 'd') + "\\f.csv";
  _splitpath(path.c_str(), drive, dir, fname, ext);
  EXPECT_STREQ(drive, "");
  EXPECT_STREQ(dir, "");
  EXPECT_STREQ(fname, "");
  // Not asked for, a long part is no failure.
  path = "C:\\d\\" + std::string(_MAX_FNAME + 10, 'f');
  _splitpath(path.c_str(), drive, dir, nullptr, nullptr);
  EXPECT_STREQ(dir, "\\d\\");
}

TEST(MbsCase, FoldsSingleByteLettersOnly) {
  auto cmp = [](const char* a, const char* b) {
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a),
                    reinterpret_cast<const unsigned char*>(b));
  };
  EXPECT_EQ(cmp("C:\\Dir", "c:\\dIR"), 0);
  EXPECT_LT(cmp("abc", "abd"), 0);
  EXPECT_GT(cmp("abc", "ab"), 0);
  // 0x83 0x41 and 0x83 0x61 are different characters ("ア" and "ヂ").
  EXPECT_NE(cmp("\x83\x41", "\x83\x61"), 0);
  EXPECT_EQ(_mbsnbicmp(reinterpret_cast<const unsigned char*>("abX"),
                       reinterpret_cast<const unsigned char*>("ABy"), 2),
            0);
}

}  // namespace
