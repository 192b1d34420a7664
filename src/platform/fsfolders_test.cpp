#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "faultfs.h"
#include "fs.h"
#include "nativeos.h"
#include "tempdir.h"

namespace {

// Folders with names outside ASCII are made as named, on every platform
// (a narrow standard-library path would read them in the ANSI code page).
TEST(CreateNativeFolders, MakesTheMissingLevelsAndNamesThem) {
  TempDir dir;
  const std::string deep = dir.Native("\xE5\x8F\xB0\xE5\xB8\xB3/a/b");  // a Japanese word
  std::vector<std::string> made;
  EXPECT_EQ(FsError::kNone, CreateNativeFolders(Fs::Default(), deep, &made));
  EXPECT_TRUE(NativeIsFolder(deep));
  EXPECT_EQ(made, (std::vector<std::string>{dir.Native("\xE5\x8F\xB0\xE5\xB8\xB3"),
                                            dir.Native("\xE5\x8F\xB0\xE5\xB8\xB3/a"), deep}));
  EXPECT_EQ(FolderEntryNames(dir.path()), std::vector<std::string>{"\xE5\x8F\xB0\xE5\xB8\xB3"});
  made.clear();
  EXPECT_EQ(FsError::kNone, CreateNativeFolders(Fs::Default(), deep, &made));
  EXPECT_TRUE(made.empty());
}

TEST(CreateNativeFolders, AFileInTheWayOrAFailedLevelIsReported) {
  TempDir dir;
  WriteFileBytes(dir.Native("file"), "x");
  EXPECT_EQ(FsError::kExists, CreateNativeFolders(Fs::Default(), dir.Native("file/sub")));
  EXPECT_EQ(ReadFileBytes(dir.Native("file")), "x");
  FaultFs faults;
  faults.FailNth(FsOp::kFolder, 1, FsError::kDiskFull, "/two");
  std::vector<std::string> made;
  EXPECT_EQ(FsError::kDiskFull, CreateNativeFolders(&faults, dir.Native("one/two/three"), &made));
  EXPECT_EQ(made, std::vector<std::string>{dir.Native("one")});
  EXPECT_FALSE(NativeExists(dir.Native("one/two")));
}

}  // namespace
