#include "pathfuncs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codepage.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

// The UTF-8 form of system text, for native names.
std::string U(const std::string& cp932) {
  std::string out;
  EXPECT_TRUE(Cp932ToUtf8(cp932, &out));
  return out;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(CheckPathChars, RefusesTheDefaultPatternAndEveryRefusedCharacter) {
  EXPECT_FALSE(CheckPathChars("C:\\out\\*.csv"));
  EXPECT_TRUE(CheckPathChars("C:\\out\\assets.csv"));
  for (const char* c : {"/", ":", ",", ";", "*", "?", "\"", ">", "<", "|"}) {
    EXPECT_FALSE(CheckPathChars((std::string("C:\\a") + c + "b.csv").c_str())) << c;
  }
}

TEST(CheckPathChars, ConsecutiveBackslashes) {
  EXPECT_FALSE(CheckPathChars("C:\\out\\\\a.csv"));
  EXPECT_TRUE(CheckPathChars("\\\\server\\share\\a.csv"));
  EXPECT_FALSE(CheckPathChars("\\\\server\\\\share\\a.csv"));
  // A trail byte 0x5C before a backslash is no pair.
  EXPECT_TRUE(CheckPathChars("C:\\表\\ソ\\a.csv"));
}

TEST(CheckPathChars, FirstCharacterOfTheRemainderIsNotExamined) {
  EXPECT_TRUE(CheckPathChars("C:*out.csv"));
  EXPECT_FALSE(CheckPathChars("C:\\*out.csv"));
  EXPECT_TRUE(CheckPathChars(":abc"));
  EXPECT_FALSE(CheckPathChars("\\\\srv\\sh:are\\a.csv"));
  EXPECT_TRUE(CheckPathChars(""));
}

TEST(CheckPathChars, ControlCharactersAnywhere) {
  for (int c = 1; c < 0x20; ++c) {
    std::string ch(1, static_cast<char>(c));
    EXPECT_FALSE(CheckPathChars(("C:\\out\\a" + ch + ".csv").c_str())) << c;
    EXPECT_FALSE(CheckPathChars(("C:\\out\\a.csv" + ch).c_str())) << c;
    EXPECT_FALSE(CheckPathChars((ch + "C:\\a.csv").c_str())) << c;
  }
  EXPECT_FALSE(CheckPathChars("C:\\o\x7Fut\\a.csv"));
  EXPECT_FALSE(CheckPathChars("\\\\srv\\sh\tare\\a.csv"));
}

TEST(HasDeviceName, AsFileOrFolderInAnyCaseWithOrWithoutExtension) {
  for (const char* path :
       {"C:\\out\\CON", "C:\\out\\con.csv", "C:\\Nul\\a.csv", "C:\\out\\aux.tar.gz",
        "C:\\out\\PRN .csv", "C:\\COM1\\a.csv", "C:\\out\\lpt9.csv", "C:\\out\\CONIN$",
        "C:\\out\\conout$.csv", "\\\\srv\\share\\nul\\a.csv", "C:com3.csv"}) {
    EXPECT_TRUE(HasDeviceName(path)) << path;
  }
  for (const char* path :
       {"C:\\out\\a.csv", "C:\\out\\CONS.csv", "C:\\out\\COM0.csv", "C:\\out\\COM10.csv",
        "C:\\out\\LPT.csv", "C:\\icon\\a.csv", "C:\\out\\a.con", "\\\\con\\share\\a.csv"}) {
    EXPECT_FALSE(HasDeviceName(path)) << path;
  }
}

TEST(CheckPathChars, TrailByteEqualToARefusedCharacterIsPartOfItsCharacter) {
  // "－" is 0x81 0x7C: its trail byte has the value of '|'.
  EXPECT_TRUE(CheckPathChars("C:\\a－b\\c.csv"));
}

TEST(PathParts, SplitAtTheLastRealBackslash) {
  EXPECT_EQ(GetFolderPart("C:\\dir\\a.csv"), "C:\\dir\\");
  EXPECT_EQ(GetFilePart("C:\\dir\\a.csv"), "a.csv");
  EXPECT_EQ(GetFolderPart("a.csv"), "");
  EXPECT_EQ(GetFilePart("a.csv"), "a.csv");
  EXPECT_EQ(GetFolderPart("C:\\dir\\"), "C:\\dir\\");
  EXPECT_EQ(GetFilePart("C:\\dir\\"), "");
  // 表 ends in 0x5C: never a folder boundary.
  EXPECT_EQ(GetFolderPart("C:\\表"), "C:\\");
  EXPECT_EQ(GetFilePart("C:\\表"), "表");
  EXPECT_EQ(GetFolderPart("表"), "");
  EXPECT_EQ(GetFilePart("ソ能"), "ソ能");
}

TEST(IsDbcsPosition, LeadAndTrailBytesScannedFromTheStart) {
  const char* text = "a表b";
  EXPECT_FALSE(IsDbcsPosition(text, 0));
  EXPECT_TRUE(IsDbcsPosition(text, 1));
  EXPECT_TRUE(IsDbcsPosition(text, 2));
  EXPECT_FALSE(IsDbcsPosition(text, 3));
  EXPECT_FALSE(IsDbcsPosition(text, 4));
  EXPECT_FALSE(IsDbcsPosition(text, 100));
  // A lead byte without a valid trail byte stands alone.
  EXPECT_FALSE(IsDbcsPosition("a\x81", 1));
  EXPECT_FALSE(IsDbcsPosition("\x81\x20", 0));
}

TEST(AddBackslash, AppendsOnlyWithinCapacity) {
  char buf[16] = "";
  EXPECT_FALSE(AddBackslash(buf, sizeof buf));
  std::strcpy(buf, "C:\\dir");
  EXPECT_FALSE(AddBackslash(buf, 7));
  EXPECT_STREQ(buf, "C:\\dir");
  EXPECT_TRUE(AddBackslash(buf, 8));
  EXPECT_STREQ(buf, "C:\\dir\\");
  EXPECT_TRUE(AddBackslash(buf, 8));
  EXPECT_STREQ(buf, "C:\\dir\\");
}

TEST(AddBackslash, TrailByte5CIsNoBackslashAndStillNeedsRoom) {
  char buf[16] = "C:\\表";
  EXPECT_FALSE(AddBackslash(buf, 6));
  EXPECT_STREQ(buf, "C:\\表");
  EXPECT_TRUE(AddBackslash(buf, 7));
  EXPECT_STREQ(buf, "C:\\表\\");
  // A backslash after a lone lead byte would be read as its trail byte.
  std::strcpy(buf, "C:\\a\x95");
  EXPECT_FALSE(AddBackslash(buf, sizeof buf));
  EXPECT_STREQ(buf, "C:\\a\x95");
}

TEST(GetDirPart, KeepsDriveAndDirectoryClosed) {
  auto dir = [](const char* in, BOOL* ok) {
    char buf[kPathBufferSize];
    std::strcpy(buf, in);
    *ok = GetDirPart(buf);
    return std::string(buf);
  };
  BOOL ok;
  EXPECT_EQ(dir("C:\\a\\b.csv", &ok), "C:\\a\\");
  EXPECT_TRUE(ok);
  EXPECT_EQ(dir("C:\\表\\ソ.csv", &ok), "C:\\表\\");
  EXPECT_TRUE(ok);
  EXPECT_EQ(dir("C:\\表", &ok), "C:\\");
  EXPECT_TRUE(ok);
  EXPECT_EQ(dir("C:\\a\\", &ok), "C:\\a\\");
  EXPECT_TRUE(ok);
  EXPECT_EQ(dir("C:file", &ok), "C:\\");
  EXPECT_TRUE(ok);
  dir("file.csv", &ok);
  EXPECT_FALSE(ok);
  dir("", &ok);
  EXPECT_FALSE(ok);
}

TEST(ClosePath, FailsAt260BytesWithoutBackslash) {
  char buf[kPathBufferSize];
  std::string p = "C:\\" + std::string(256, 'a');  // 259 bytes
  std::strcpy(buf, p.c_str());
  EXPECT_TRUE(ClosePath(buf));
  EXPECT_EQ(std::strlen(buf), 260u);
  EXPECT_TRUE(ClosePath(buf));  // already closed
  p = "C:\\" + std::string(257, 'a');
  std::strcpy(buf, p.c_str());
  EXPECT_FALSE(ClosePath(buf));
  // 260 bytes ending in 表: no room for the backslash either.
  p = "C:\\" + std::string(255, 'a') + "表";
  std::strcpy(buf, p.c_str());
  EXPECT_FALSE(ClosePath(buf));
  EXPECT_EQ(std::string(buf), p);
  buf[0] = 0;
  EXPECT_FALSE(ClosePath(buf));
}

// Drives and shares of every kind over real folders.
class DriveTest : public ::testing::Test {
 protected:
  DriveTest() {
    drives_.Add("C:", dir_.Native("c"));
    drives_.Add("R:", dir_.Native("r"), DRIVE_REMOVABLE);
    drives_.Add("N:", dir_.Native("n"), DRIVE_REMOTE);
    drives_.Add("D:", dir_.Native("d"), DRIVE_CDROM);
    drives_.Add("M:", dir_.Native("m"), DRIVE_RAMDISK);
    drives_.Add("G:", dir_.Native("gone"), DRIVE_REMOVABLE);
    drives_.Add("\\\\srv\\share", dir_.Native("share"), DRIVE_REMOTE);
    drives_.Add("\\\\srv\\gone", dir_.Native("nothing"), DRIVE_REMOTE);
    for (const char* d : {"c", "r", "n", "d", "m", "share"}) MakeNativeFolders(dir_.Native(d));
  }
  TempDir dir_;
  TestDrives drives_;
};

TEST_F(DriveTest, EveryDriveType) {
  EXPECT_TRUE(CheckDrive("C:\\out\\a.csv"));
  EXPECT_TRUE(CheckDrive("c:\\out\\a.csv"));
  EXPECT_TRUE(CheckDrive("R:\\a.csv"));
  EXPECT_TRUE(CheckDrive("N:\\a.csv"));
  EXPECT_FALSE(CheckDrive("D:\\a.csv"));
  EXPECT_FALSE(CheckDrive("M:\\a.csv"));
  EXPECT_FALSE(CheckDrive("G:\\a.csv"));  // removable, nothing inserted
  EXPECT_TRUE(CheckDrive("Q:\\a.csv"));   // no root: not tested further
  EXPECT_TRUE(CheckDrive("a.csv"));       // 'a' names drive A:, which has no root
  EXPECT_FALSE(CheckDrive("1:\\a.csv"));
  EXPECT_FALSE(CheckDrive("\\a.csv"));
  EXPECT_FALSE(CheckDrive("表\\a.csv"));
  EXPECT_FALSE(CheckDrive("C:\\out\\\\a.csv"));
  EXPECT_TRUE(CheckDrive("C:\\表\\a.csv"));
}

// A drive whose root the account may not write (drive Z: is "/") is a
// drive all the same, as on Windows: what cannot be written fails later,
// at the folder or file that cannot be made.
TEST_F(DriveTest, ADriveRootTheAccountCannotWriteIsADrive) {
  MakeReadOnly(dir_.Native("c"));
  MakeReadOnly(dir_.Native("share"));
  EXPECT_TRUE(CheckDrive("C:\\a.csv"));
  EXPECT_TRUE(CheckDrive("\\\\srv\\share\\a.csv"));
}

TEST_F(DriveTest, Shares) {
  EXPECT_TRUE(CheckDrive("\\\\srv\\share\\dir\\a.csv"));
  EXPECT_TRUE(CheckDrive("\\\\SRV\\Share\\a.csv"));
  EXPECT_FALSE(CheckDrive("\\\\srv\\share"));
  EXPECT_FALSE(CheckDrive("\\\\srv"));
  EXPECT_FALSE(CheckDrive("\\\\srv\\gone\\a.csv"));   // unreachable
  EXPECT_FALSE(CheckDrive("\\\\other\\share\\a.csv"));  // not in the map
}

TEST_F(DriveTest, CreateFoldersMakesEveryMissingLevel) {
  WriteFileBytes(dir_.Native("c/top/keep.txt"), "x");
  EXPECT_TRUE(CreateFolders("C:\\top\\one\\two\\a.csv"));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/top/one/two")));
  EXPECT_TRUE(CreateFolders("C:\\top\\one\\two\\a.csv"));  // all there: nothing to do
  EXPECT_TRUE(CreateFolders("\\\\srv\\share\\x\\y\\"));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("share/x/y")));
  EXPECT_FALSE(CreateFolders(""));
  EXPECT_FALSE(CreateFolders("a.csv"));
  EXPECT_FALSE(CreateFolders("\\\\srv\\gone\\x\\a.csv"));
}

TEST_F(DriveTest, CreateFoldersWithTrailByte5CNames) {
  EXPECT_TRUE(CreateFolders("C:\\表\\ソ\\能\\a.csv"));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/" + U("表") + "/" + U("ソ") + "/" + U("能"))));
  // No level was cut at the trail byte (a folder named by the lead byte 0x95).
  EXPECT_EQ(FolderEntryNames(dir_.Native("c")), std::vector<std::string>{U("表")});
}

TEST_F(DriveTest, FileHoldingALevelNameFailsAndIsKept) {
  WriteFileBytes(dir_.Native("c/base/blocker"), "data");
  EXPECT_FALSE(CreateFolders("C:\\base\\blocker\\sub\\a.csv"));
  EXPECT_EQ(ReadFileBytes(dir_.Native("c/base/blocker")), "data");
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/base")));
}

TEST_F(DriveTest, FailedLevelRemovesWhatTheCallCreatedOnly) {
  if (!HasDriveMap()) GTEST_SKIP() << "Windows counts a name in UTF-16 units: 100 double-byte characters fit";
  MakeNativeFolders(dir_.Native("c/base"));
  MakeNativeFolders(dir_.Native("c/base/old"));  // existed before, empty
  // 100 double-byte characters: 200 bytes here, 300 in a native name, which
  // is longer than a native folder name may be.
  std::string too_long = Repeat("表", 100);
  std::string path = "C:\\base\\old\\new1\\new2\\" + too_long + "\\a.csv";
  EXPECT_FALSE(CreateFolders(path.c_str()));
  EXPECT_FALSE(NativeExists(dir_.Native("c/base/old/new1")));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/base/old")));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/base")));
}

TEST_F(DriveTest, RemoveCreatedFoldersStopsAtTheExistingFolder) {
  MakeNativeFolders(dir_.Native("c/e"));
  MakeNativeFolders(dir_.Native("c/e/a"));
  MakeNativeFolders(dir_.Native("c/e/a/b"));
  if (!NativeExists(dir_.Native("c/E"))) {
    EXPECT_TRUE(RemoveCreatedFolders("C:\\E\\a\\b\\c\\", "c:\\e\\"));
    // Case differs, so the native folders are other ones: nothing removed.
    EXPECT_TRUE(NativeIsFolder(dir_.Native("c/e/a/b")));
  }
  EXPECT_TRUE(RemoveCreatedFolders("C:\\e\\a\\b\\c\\", "C:\\e\\"));
  EXPECT_FALSE(NativeExists(dir_.Native("c/e/a")));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/e")));
}

TEST_F(DriveTest, RemoveCreatedFoldersRefusesUnrelatedPaths) {
  MakeNativeFolders(dir_.Native("c/e"));
  MakeNativeFolders(dir_.Native("c/e/a"));
  EXPECT_FALSE(RemoveCreatedFolders("C:\\e\\a\\", "R:\\e\\"));
  EXPECT_FALSE(RemoveCreatedFolders("C:\\e\\a\\", "C:\\f\\"));
  EXPECT_FALSE(RemoveCreatedFolders("C:\\e\\a\\", "C:\\ea\\"));
  EXPECT_TRUE(NativeIsFolder(dir_.Native("c/e/a")));
  // A folder that is not empty is never removed.
  WriteFileBytes(dir_.Native("c/e/a/f.txt"), "x");
  EXPECT_FALSE(RemoveCreatedFolders("C:\\e\\a\\", "C:\\"));
  EXPECT_EQ(ReadFileBytes(dir_.Native("c/e/a/f.txt")), "x");
}

}  // namespace
