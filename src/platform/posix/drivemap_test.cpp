#include "drivemap.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "tempdir.h"

namespace {

std::string Native(const char* windows) {
  std::string out;
  return DriveMapToNative(windows, &out) ? out : "<none>";
}

// UTF-8 text, as native names and the environment hold it.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

std::string Windows(const std::string& native) {
  std::string out;
  return DriveMapToWindows(native, &out) ? out : "<none>";
}

// Keeps the current folder for the test's length.
class ScopedCwd {
 public:
  explicit ScopedCwd(const std::string& to) {
    char buf[4096];
    old_ = getcwd(buf, sizeof buf) ? buf : "/";
    EXPECT_EQ(0, chdir(to.c_str()));
  }
  ~ScopedCwd() { EXPECT_EQ(0, chdir(old_.c_str())); }

 private:
  std::string old_;
};

TEST(DriveMap, UnsetMapsZToTheNativeRoot) {
  ScopedEnv env("VELOR_DRIVES", "");
  unsetenv("VELOR_DRIVES");
  EXPECT_EQ("/tmp/a.csv", Native("Z:\\tmp\\a.csv"));
  EXPECT_EQ("/tmp/a.csv", Native("z:\\tmp\\a.csv"));
  EXPECT_EQ("<none>", Native("C:\\tmp\\a.csv"));
  EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA("Z:\\"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA("C:\\"));
  EXPECT_EQ("Z:\\etc", Windows("/etc"));
}

TEST(DriveMap, DrivesSharesAndTypes) {
  ScopedEnv env("VELOR_DRIVES",
                "c:=/data/c;D:=/media/d@cdrom;E:=/e/@removable;F:=/f@remote;R:=/r@ramdisk;"
                "G:=/g@fixed;\\\\Srv\\Share=/srv/share;;broken;H:relative;I:=rel;"
                "J:=/j@weird;\\\\only=/x");
  EXPECT_EQ("/data/c/x/y.txt", Native("C:\\x\\y.txt"));
  EXPECT_EQ("/data/c", Native("c:\\"));
  EXPECT_EQ("/data/c", Native("C:"));
  EXPECT_EQ("/data/c/x", Native("C:x"));
  EXPECT_EQ("/e/a", Native("E:/a"));
  EXPECT_EQ("/srv/share/dir/f.csv", Native("\\\\SRV\\share\\dir\\f.csv"));
  EXPECT_EQ("/srv/share", Native("\\\\srv\\SHARE"));
  EXPECT_EQ("<none>", Native("\\\\srv\\other\\f"));
  EXPECT_EQ("<none>", Native("\\\\srv"));
  EXPECT_EQ("<none>", Native("\\\\\\share"));
  EXPECT_EQ("<none>", Native("H:\\a"));
  EXPECT_EQ("<none>", Native("I:\\a"));
  EXPECT_EQ("/j@weird/a", Native("J:\\a"));  // not a type: part of the folder

  EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA("C:\\"));
  EXPECT_EQ(DRIVE_CDROM, GetDriveTypeA("d:\\"));
  EXPECT_EQ(DRIVE_REMOVABLE, GetDriveTypeA("E:"));
  EXPECT_EQ(DRIVE_REMOTE, GetDriveTypeA("F:\\"));
  EXPECT_EQ(DRIVE_RAMDISK, GetDriveTypeA("R:\\"));
  EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA("G:\\"));
  EXPECT_EQ(DRIVE_REMOTE, GetDriveTypeA("\\\\srv\\share\\"));
  EXPECT_EQ(DRIVE_REMOTE, GetDriveTypeA("\\\\srv\\share"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA("\\\\srv\\share\\dir\\"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA("C:\\x\\"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA("Q:\\"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA(""));

  std::string share;
  EXPECT_TRUE(DriveMapFindShare("\\\\SRV\\SHARE\\", &share));
  EXPECT_EQ("/srv/share", share);
  EXPECT_FALSE(DriveMapFindShare("\\\\srv\\share\\dir", &share));
  EXPECT_FALSE(DriveMapFindShare("C:\\", &share));
  EXPECT_FALSE(DriveMapFindShare("\\\\srv\\nope", &share));
}

TEST(DriveMap, DotsNeverLeaveTheRoot) {
  ScopedEnv env("VELOR_DRIVES", "C:=/base/c");
  EXPECT_EQ("/base/c/etc/passwd", Native("C:\\..\\..\\etc\\passwd"));
  EXPECT_EQ("/base/c/b", Native("C:\\a\\.\\..\\b\\"));
  EXPECT_EQ("/base/c/a/b", Native("C:\\a\\\\b"));
}

TEST(DriveMap, RelativePathsStayRelative) {
  ScopedEnv env("VELOR_DRIVES", "C:=/base/c");
  EXPECT_EQ("sub/file.txt", Native("sub\\file.txt"));
  EXPECT_EQ("../up", Native("..\\up"));
  EXPECT_EQ("<none>", Native(""));
  EXPECT_EQ("<none>", Native(nullptr));
}

TEST(DriveMap, RootedPathsUseTheCurrentFolderDrive) {
  TempDir dir;
  ScopedEnv env("VELOR_DRIVES", "Y:=" + dir.path() + "@removable");
  WriteFileBytes(dir.Native("in/x"), "");
  ScopedCwd cwd(dir.Native("in"));
  EXPECT_EQ(dir.path() + "/f.txt", Native("\\f.txt"));
  EXPECT_EQ(DRIVE_REMOVABLE, GetDriveTypeA(nullptr));
  ScopedEnv none("VELOR_DRIVES", "Y:=/elsewhere;Z:=/elsewhere/z");
  EXPECT_EQ("<none>", Native("\\f.txt"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA(nullptr));
}

TEST(DriveMap, TrailBytesOfBackslashAreNoSeparators) {
  ScopedEnv env("VELOR_DRIVES", U8(u8"C:=/base/c;\\\\srv\\\u8868=/srv/hyou"));
  // 表 ソ 能 end in 0x5C in code page 932.
  EXPECT_EQ(U8(u8"/base/c/\u8868/\u30BD\u80FD.txt"), Native("C:\\表\\ソ能.txt"));
  EXPECT_EQ(U8(u8"/srv/hyou/\u80FD"), Native("\\\\srv\\表\\能"));
  EXPECT_EQ(DRIVE_REMOTE, GetDriveTypeA("\\\\srv\\表\\"));
  EXPECT_EQ("C:\\表\\ソ", Windows(U8(u8"/base/c/\u8868/\u30BD")));
  EXPECT_EQ("\\\\srv\\表\\a", Windows("/srv/hyou/a"));
  // A lead byte without its trail byte is no code page 932 text.
  EXPECT_EQ("<none>", Native("C:\\a\x81"));
  EXPECT_EQ(DRIVE_NO_ROOT_DIR, GetDriveTypeA("\x81:\\"));
}

TEST(DriveMap, ReverseTakesTheLongestFolder) {
  ScopedEnv env("VELOR_DRIVES", "C:=/data;D:=/data/deep/;E:=/data/deep@cdrom;\\\\s\\x=/data/other");
  EXPECT_EQ("C:\\a\\b", Windows("/data/a/b"));
  EXPECT_EQ("D:\\f", Windows("/data/deep/f"));
  EXPECT_EQ("D:\\", Windows("/data/deep"));
  EXPECT_EQ("C:\\deeper", Windows("/data/deeper"));
  EXPECT_EQ("\\\\s\\x", Windows("/data/other"));
  EXPECT_EQ("\\\\s\\x\\y", Windows("/data/other/./y"));
  EXPECT_EQ("C:\\", Windows("/data/deep/.."));
  EXPECT_EQ("Z:\\elsewhere", Windows("/elsewhere"));  // the default Z: holds it
  EXPECT_EQ("<none>", Windows("relative/path"));
  EXPECT_EQ("<none>", Windows(U8(u8"/data/\U0001F600")));  // no code page 932 form
}

TEST(DriveMap, FollowsTheVariableWhenItChanges) {
  ScopedEnv first("VELOR_DRIVES", "C:=/one");
  EXPECT_EQ("/one/x", Native("C:\\x"));
  {
    ScopedEnv second("VELOR_DRIVES", "C:=/two@cdrom");
    EXPECT_EQ("/two/x", Native("C:\\x"));
    EXPECT_EQ(DRIVE_CDROM, GetDriveTypeA("C:\\"));
  }
  EXPECT_EQ("/one/x", Native("C:\\x"));
  ScopedEnv empty("VELOR_DRIVES", "");
  EXPECT_EQ("<none>", Native("C:\\x"));
  EXPECT_EQ("/x", Native("Z:\\x"));
}

TEST(DriveMap, ZStaysTheNativeRootUnlessTheMapAssignsIt) {
  ScopedEnv other("VELOR_DRIVES", "D:=/srv/out");
  EXPECT_EQ("/srv/out/a.csv", Native("D:\\a.csv"));
  EXPECT_EQ("/usr/bin/velor", Native("Z:\\usr\\bin\\velor"));
  EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA("Z:\\"));
  EXPECT_EQ("D:\\a.csv", Windows("/srv/out/a.csv"));  // the longer folder wins
  EXPECT_EQ("Z:\\usr\\bin", Windows("/usr/bin"));
  ScopedEnv own("VELOR_DRIVES", "D:=/srv/out;z:=/data@removable");
  EXPECT_EQ("/data/a", Native("Z:\\a"));
  EXPECT_EQ(DRIVE_REMOVABLE, GetDriveTypeA("Z:\\"));
  EXPECT_EQ("<none>", Windows("/usr/bin"));
}

TEST(DriveMap, FirstEntryForARootWins) {
  ScopedEnv env("VELOR_DRIVES", "C:=/first;c:=/second@cdrom");
  EXPECT_EQ("/first", Native("C:\\"));
  EXPECT_EQ(DRIVE_FIXED, GetDriveTypeA("C:\\"));
}

}  // namespace

namespace {

TEST(DriveMap, CheckNamesTheFirstMalformedOrRepeatedEntry) {
  std::string entry, problem;
  {
    ScopedEnv env("VELOR_DRIVES", "C:=/c;;\\\\s\\x=/s;");
    EXPECT_TRUE(DriveMapCheck(&entry, &problem)) << entry << ": " << problem;
  }
  {
    ScopedEnv env("VELOR_DRIVES", "C:=/c;garbage;H:relative");
    EXPECT_FALSE(DriveMapCheck(&entry, &problem));
    EXPECT_EQ(entry, "garbage");
    EXPECT_NE(problem.find("not of the form"), std::string::npos);
  }
  {
    ScopedEnv env("VELOR_DRIVES", "C:=/c;D:=/d;c:=/other");
    EXPECT_FALSE(DriveMapCheck(&entry, &problem));
    EXPECT_EQ(entry, "c:=/other");
    EXPECT_NE(problem.find("earlier entry"), std::string::npos);
    EXPECT_EQ("/c/a", Native("C:\\a")) << "the first entry still maps the drive";
  }
  {
    ScopedEnv env("VELOR_DRIVES", "\\\\S\\X=/s;\\\\s\\x=/t");
    EXPECT_FALSE(DriveMapCheck(&entry, &problem));
    EXPECT_EQ(entry, "\\\\s\\x=/t");
  }
  {
    ScopedEnv env("VELOR_DRIVES", "");
    unsetenv("VELOR_DRIVES");
    EXPECT_TRUE(DriveMapCheck(&entry, &problem));
  }
}

}  // namespace
