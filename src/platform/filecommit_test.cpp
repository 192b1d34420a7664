// The temporary files of a commit: which names are the program's own, and
// that the clean-up of a folder removes only what the program's journals
// and lists name.
#include "filecommit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "faultfs.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

class FileCommitTest : public ::testing::Test {
 protected:
  FileCommitTest() { drives_.Add("T:", dir_.path()); }
  std::vector<std::string> Names() { return FolderEntryNames(dir_.path()); }
  bool Has(const std::string& name) {
    std::vector<std::string> names = Names();
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  static std::string Bare(const std::string& windows) { return windows.substr(windows.rfind('\\') + 1); }

  TempDir dir_;
  TestDrives drives_;
};

TEST(OwnFileName, ThePatternInAnyCase) {
  for (const char* name : {"~vel12345678.tmp", "~velABCDEF01.bak", "~vel0000000F.jnl",
                           "~VEL1234abcd.TMP", "~Vel12345678.Jnl"}) {
    EXPECT_TRUE(IsOwnFileName(name)) << name;
  }
  for (const char* name : {"~vel1234567.tmp", "~vel123456789.tmp", "~vel1234567G.tmp",
                           "~vel12345678.csv", "vel12345678.tmp", "a~vel12345678.tmp", ""}) {
    EXPECT_FALSE(IsOwnFileName(name)) << name;
  }
}

TEST_F(FileCommitTest, TheCleanUpLeavesFilesOfThePatternThatNothingNames) {
  // A user's files that merely look like the program's.
  for (const char* name : {"~vel12345678.tmp", "~velABCDEF01.bak", "~vel0000000F.jnl"}) {
    WriteFileBytes(dir_.Native(name), "the user's");
  }
  RemoveStaleTemps("T:\\a.csv");
  EXPECT_EQ(Names().size(), 3u);
  for (const std::string& name : Names()) EXPECT_EQ(ReadFileBytes(dir_.Native(name)), "the user's");
}

TEST_F(FileCommitTest, ReservedTempsOfAKilledRunAreRemovedWithTheirList) {
  std::vector<std::string> temps;
  std::string list;
  ASSERT_EQ(FsError::kNone, ReserveTempPaths("T:\\a.csv", 3, &temps, &list));
  ASSERT_EQ(temps.size(), 3u);
  // Three different names of the folder, none made yet; only the list is.
  for (const std::string& temp : temps) {
    EXPECT_TRUE(IsOwnFileName(Bare(temp))) << temp;
    EXPECT_EQ(temp.rfind("T:\\~vel", 0), 0u) << temp;
  }
  EXPECT_NE(temps[0], temps[1]);
  EXPECT_NE(temps[1], temps[2]);
  EXPECT_EQ(Names(), std::vector<std::string>{Bare(list)});
  // The run is killed with two of them written.
  WriteFileBytes(dir_.Native(Bare(temps[0])), "rows");
  WriteFileBytes(dir_.Native(Bare(temps[2])), "kinds");
  WriteFileBytes(dir_.Native("~vel12345678.tmp"), "the user's");
  RemoveStaleTemps("T:\\a.csv");
  EXPECT_EQ(Names(), std::vector<std::string>{"~vel12345678.tmp"});
}

TEST_F(FileCommitTest, AListStaysWhileAFileItNamesCannotBeRemoved) {
  std::vector<std::string> temps;
  std::string list;
  ASSERT_EQ(FsError::kNone, ReserveTempPaths("T:\\a.csv", 1, &temps, &list));
  WriteFileBytes(dir_.Native(Bare(temps[0])), "rows");
  {
    FaultFs faults;
    faults.FailNth(FsOp::kRemove, 1, FsError::kAccessDenied, Bare(temps[0]));
    ScopedFs scoped(&faults);
    RemoveStaleTemps("T:\\a.csv");
    EXPECT_EQ(faults.Struck(), 1);
  }
  EXPECT_TRUE(Has(Bare(list)));
  EXPECT_TRUE(Has(Bare(temps[0])));
  // The next clean-up finishes the work.
  RemoveStaleTemps("T:\\a.csv");
  EXPECT_TRUE(Names().empty());
}

TEST_F(FileCommitTest, ReleaseRemovesTheListOnceItsFilesAreGone) {
  std::vector<std::string> temps;
  std::string list;
  ASSERT_EQ(FsError::kNone, ReserveTempPaths("T:\\a.csv", 2, &temps, &list));
  WriteFileBytes(dir_.Native(Bare(temps[1])), "left");
  ReleaseTempPaths(list);
  EXPECT_TRUE(Has(Bare(list)));  // a file it names is still there
  DiscardFiles({{temps[1], "T:\\a.csv"}});
  ReleaseTempPaths(list);
  EXPECT_TRUE(Names().empty());
}

TEST_F(FileCommitTest, AListCutWhileWrittenIsRemovedAndNothingElse) {
  WriteFileBytes(dir_.Native("~vel00000001.jnl"), "");
  WriteFileBytes(dir_.Native("~vel00000002.jnl"), "velor-te");
  WriteFileBytes(dir_.Native("~vel00000003.jnl"), "velor-commit 1\nB ~vel00000004.bak a.csv\n");
  WriteFileBytes(dir_.Native("~vel00000005.jnl"), "notes of the user\n");
  WriteFileBytes(dir_.Native("~vel00000004.bak"), "previous");
  RemoveStaleTemps("T:\\a.csv");
  // The incomplete commit journal moved nothing: its backup is no backup of
  // the program's, and stays as it is.
  EXPECT_EQ(Names(), (std::vector<std::string>{"~vel00000004.bak", "~vel00000005.jnl"}));
}

TEST_F(FileCommitTest, ABackupThatCannotBeRemovedAfterTheCommitIsNamed) {
  WriteFileBytes(dir_.Native("a.csv"), "previous");
  std::vector<std::string> temps;
  std::string list;
  ASSERT_EQ(FsError::kNone, ReserveTempPaths("T:\\a.csv", 1, &temps, &list));
  WriteFileBytes(dir_.Native(Bare(temps[0])), "new");
  std::vector<LeftFile> left;
  {
    FaultFs faults;
    faults.FailNth(FsOp::kRemove, 1, FsError::kAccessDenied, ".bak");
    ScopedFs scoped(&faults);
    EXPECT_EQ(FsError::kNone, CommitFiles({{temps[0], "T:\\a.csv"}}, &left));
  }
  ReleaseTempPaths(list);
  EXPECT_EQ(ReadFileBytes(dir_.Native("a.csv")), "new");
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].path.rfind("T:\\~vel", 0), 0u) << left[0].path;
  EXPECT_EQ(left[0].final, "T:\\a.csv");
  EXPECT_EQ(ReadFileBytes(dir_.Native(Bare(left[0].path))), "previous");
  // The record of the finished commit names it: the next clean-up removes
  // it, and the record with it.
  EXPECT_EQ(Names().size(), 3u);
  RemoveStaleTemps("T:\\a.csv");
  EXPECT_EQ(Names(), std::vector<std::string>{"a.csv"});
  EXPECT_EQ(ReadFileBytes(dir_.Native("a.csv")), "new");
}

// A final file the user marked read-only is not replaced: the commit fails
// with "access denied" and every previous file stays.
TEST_F(FileCommitTest, AReadOnlyFinalFileIsNotReplaced) {
  WriteFileBytes(dir_.Native("a.csv"), "previous rows");
  WriteFileBytes(dir_.Native("syurui.SSC"), "previous kinds");
  MakeReadOnly(dir_.Native("syurui.SSC"));
  std::vector<std::string> temps;
  std::string list;
  ASSERT_EQ(FsError::kNone, ReserveTempPaths("T:\\a.csv", 2, &temps, &list));
  WriteFileBytes(dir_.Native(Bare(temps[0])), "rows");
  WriteFileBytes(dir_.Native(Bare(temps[1])), "kinds");
  EXPECT_EQ(FsError::kAccessDenied,
            CommitFiles({{temps[0], "T:\\a.csv"}, {temps[1], "T:\\syurui.SSC"}}));
  ReleaseTempPaths(list);
  EXPECT_EQ(ReadFileBytes(dir_.Native("a.csv")), "previous rows");
  EXPECT_EQ(ReadFileBytes(dir_.Native("syurui.SSC")), "previous kinds");
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.csv", "syurui.SSC"}));
}

// The writer of whole files: the new bytes or the old file, never a part,
// whatever call fails; only the program's own names beside it, which the
// next write into the folder removes.
TEST_F(FileCommitTest, AWholeFileIsReplacedOrLeftAsItWasAtEveryFault) {
  const std::string path = dir_.Native("report.json");
  const FsOp ops[] = {FsOp::kOpen, FsOp::kWrite, FsOp::kSync, FsOp::kClose, FsOp::kRename,
                      FsOp::kRemove, FsOp::kLock, FsOp::kStat, FsOp::kList};
  int failed = 0;
  for (FsOp op : ops) {
    for (int nth = 1;; ++nth) {
      SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(nth));
      WriteFileBytes(path, "old");
      FaultFs faults;
      faults.FailNth(op, nth, FsError::kDiskFull, "", 1);
      WholeFileStep step = WholeFileStep::kNone;
      FsError error;
      {
        ScopedFs scoped(&faults);
        error = ReplaceWholeFile(path, "new bytes", &step);
      }
      if (faults.Struck() == 0) break;
      const std::string now = ReadFileBytes(path);
      if (error == FsError::kNone) {
        EXPECT_EQ(step, WholeFileStep::kNone);
        EXPECT_EQ(now, "new bytes");
      } else {
        ++failed;
        EXPECT_EQ(error, FsError::kDiskFull);
        EXPECT_NE(step, WholeFileStep::kNone);
        // Only a failed flush of the folder after the rename leaves the new file.
        if (!(op == FsOp::kSync && step == WholeFileStep::kPlace)) {
          EXPECT_EQ(now, "old");
        }
      }
      for (const std::string& name : Names()) {
        EXPECT_TRUE(name == "report.json" || IsOwnFileName(name)) << name;
      }
      ASSERT_EQ(FsError::kNone, ReplaceWholeFile(path, "again"));
      EXPECT_EQ(Names(), std::vector<std::string>{"report.json"});
    }
  }
  EXPECT_GE(failed, 10);
}

// A write killed before its rename leaves its temporary file and the list
// naming it: the next write into the folder removes both, and no file that
// nothing names.
TEST_F(FileCommitTest, AWholeFileWriteClearsWhatAKilledOneLeft) {
  WriteFileBytes(dir_.Native("~vel0000000A.jnl"), "velor-temps 1\n~vel0000000B.tmp\nend\n");
  WriteFileBytes(dir_.Native("~vel0000000B.tmp"), "part");
  WriteFileBytes(dir_.Native("~vel0000000C.tmp"), "the user's");
  ASSERT_EQ(FsError::kNone, ReplaceWholeFile(dir_.Native("s.env"), "a\n"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"s.env", "~vel0000000C.tmp"}));
}

// Killed at any call and the unflushed work lost: the old file or the new
// one, whole; after a reported success, the new one.
TEST_F(FileCommitTest, AWholeFileSurvivesACrashAtEveryCallOldOrNew) {
  const std::string path = dir_.Native("report.json");
  for (FsOp op : {FsOp::kOpen, FsOp::kWrite, FsOp::kSync, FsOp::kClose, FsOp::kRename, FsOp::kRemove}) {
    for (int nth = 1;; ++nth) {
      SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(nth));
      WriteFileBytes(path, "old");
      FaultFs faults;
      faults.CrashAtNth(op, nth);
      FsError error;
      {
        ScopedFs scoped(&faults);
        error = ReplaceWholeFile(path, "new bytes");
      }
      faults.LoseUnsynced();
      const std::string now = ReadFileBytes(path);
      if (!faults.Crashed()) {
        EXPECT_EQ(error, FsError::kNone);
        EXPECT_EQ(now, "new bytes");
        break;
      }
      EXPECT_TRUE(now == "old" || now == "new bytes") << now;
      ASSERT_EQ(FsError::kNone, ReplaceWholeFile(path, "again"));
      EXPECT_EQ(Names(), std::vector<std::string>{"report.json"});
    }
  }
}

}  // namespace
