// A file that an export replaces keeps the permissions the user gave it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "filecommit.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(0, stat(path.c_str(), &st)) << path;
  return st.st_mode & 07777;
}

TEST(FileCommitMode, AReplacedFileKeepsThePreviousFilesMode) {
  TempDir dir;
  TestDrives drives;
  drives.Add("T:", dir.path());
  WriteFileBytes(dir.Native("a.csv"), "previous");
  ASSERT_EQ(0, chmod(dir.Native("a.csv").c_str(), 0640));
  std::vector<std::string> temps;
  std::string list;
  ASSERT_EQ(FsError::kNone, ReserveTempPaths("T:\\a.csv", 2, &temps, &list));
  for (const std::string& temp : temps) {
    WriteFileBytes(dir.Native(temp.substr(temp.rfind('\\') + 1)), "new");
  }
  // A file that is new gets the usual mode of a new file.
  const mode_t fresh = ModeOf(dir.Native(temps[1].substr(temps[1].rfind('\\') + 1)));
  ASSERT_EQ(FsError::kNone, CommitFiles({{temps[0], "T:\\a.csv"}, {temps[1], "T:\\b.csv"}}));
  ReleaseTempPaths(list);
  EXPECT_EQ(ReadFileBytes(dir.Native("a.csv")), "new");
  EXPECT_EQ(ModeOf(dir.Native("a.csv")), 0640u);
  EXPECT_EQ(ModeOf(dir.Native("b.csv")), fresh);
}

}  // namespace
