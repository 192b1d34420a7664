#include "fs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "faultfs.h"
#include "nativeos.h"
#include "tempdir.h"

namespace {

class FsTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return dir_.Native(name); }
  Fs* fs_ = Fs::System();
  TempDir dir_;
};

TEST_F(FsTest, SymlinksAreReportedAndReplacedNotFollowed) {
  WriteFileBytes(Path("target"), "keep");
  ASSERT_EQ(0, symlink(Path("target").c_str(), Path("link").c_str()));
  FsStat st;
  ASSERT_EQ(FsError::kNone, fs_->Stat(Path("link"), false, &st));
  EXPECT_TRUE(st.symlink);
  EXPECT_FALSE(st.regular);
  ASSERT_EQ(FsError::kNone, fs_->Stat(Path("link"), true, &st));
  EXPECT_TRUE(st.symlink && st.regular);
  EXPECT_EQ(st.size, 4u);
  WriteFileBytes(Path("new"), "new");
  ASSERT_EQ(FsError::kNone, fs_->Rename(Path("new"), Path("link")));
  EXPECT_EQ(ReadFileBytes(Path("target")), "keep");
  ASSERT_EQ(FsError::kNone, fs_->Stat(Path("link"), false, &st));
  EXPECT_TRUE(st.regular && !st.symlink);
}

// A folder shared by a group: what is created in it, files, folders and the
// lock of a file, can be replaced by every member; elsewhere the account's
// umask decides as usual.
TEST_F(FsTest, WhatIsCreatedInAGroupFolderIsGroupWritable) {
  mode_t saved = umask(022);
  ASSERT_EQ(FsError::kNone, fs_->CreateFolder(Path("shared")));
  ASSERT_EQ(0, chmod(Path("shared").c_str(), 02775));
  ASSERT_EQ(FsError::kNone, fs_->CreateFolder(Path("private")));
  std::unique_ptr<FsFile> file;
  ASSERT_EQ(FsError::kNone, fs_->Open(Path("shared/f"), FsOpen::kWriteNew, &file));
  file.reset();
  ASSERT_EQ(FsError::kNone, fs_->CreateFolder(Path("shared/sub")));
  std::unique_ptr<FsLock> lock;
  ASSERT_EQ(FsError::kNone, fs_->LockFile(Path("shared/l"), 0, &lock));
  ASSERT_EQ(FsError::kNone, fs_->Open(Path("private/f"), FsOpen::kWriteNew, &file));
  file.reset();
  umask(saved);
  struct stat st;
  for (const char* name : {"shared/f", "shared/l"}) {
    ASSERT_EQ(0, stat(Path(name).c_str(), &st));
    EXPECT_EQ(st.st_mode & 0777, 0664u) << name;
  }
  ASSERT_EQ(0, stat(Path("shared/sub").c_str(), &st));
  EXPECT_EQ(st.st_mode & 02777, 02775u);
  ASSERT_EQ(0, stat(Path("private/f").c_str(), &st));
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(FsTest, ErrorsAreNamed) {
  std::unique_ptr<FsFile> file;
  EXPECT_EQ(FsError::kNotFound, fs_->Open(Path("none"), FsOpen::kRead, &file));
  EXPECT_EQ(FsError::kNotRegular, fs_->Open(dir_.path(), FsOpen::kRead, &file));
  WriteFileBytes(Path("f"), "x");
  EXPECT_EQ(FsError::kExists, fs_->Open(Path("f"), FsOpen::kWriteNew, &file));
  EXPECT_EQ(FsError::kNotRegular, fs_->Remove(dir_.path()));
  EXPECT_EQ(FsError::kTooLong, fs_->Open(Path(std::string(300, 'a').c_str()), FsOpen::kWriteNew, &file));
  EXPECT_EQ(file, nullptr);
  std::vector<std::string> names;
  ASSERT_EQ(FsError::kNone, fs_->ListFolder(dir_.path(), &names));
  EXPECT_EQ(names, std::vector<std::string>{"f"});
}

// A FIFO where a file is read or locked would hold the open until a writer
// came: it is refused at once as no regular file. So is a link that leads
// nowhere, which a lock would otherwise create the target of.
TEST_F(FsTest, AFifoOrADanglingLinkIsRefusedWithoutBlocking) {
  ASSERT_EQ(0, mkfifo(Path("fifo").c_str(), 0600));
  std::unique_ptr<FsFile> file;
  EXPECT_EQ(FsError::kNotRegular, fs_->Open(Path("fifo"), FsOpen::kRead, &file));
  std::unique_ptr<FsLock> lock;
  EXPECT_EQ(FsError::kNotRegular, fs_->LockFile(Path("fifo"), 0, &lock));
  ASSERT_EQ(0, symlink(Path("missing/target").c_str(), Path("dangling").c_str()));
  EXPECT_EQ(FsError::kNotRegular, fs_->LockFile(Path("dangling"), 0, &lock));
  ASSERT_EQ(0, symlink(Path("nothing").c_str(), Path("dangling2").c_str()));
  EXPECT_EQ(FsError::kNotRegular, fs_->LockFile(Path("dangling2"), 0, &lock));
  EXPECT_FALSE(NativeExists(Path("nothing")));
  // A regular file still opens and reads as it did.
  WriteFileBytes(Path("f"), "bytes");
  ASSERT_EQ(FsError::kNone, fs_->Open(Path("f"), FsOpen::kRead, &file));
  char buffer[8];
  size_t got = 0;
  EXPECT_EQ(FsError::kNone, file->Read(buffer, sizeof buffer, &got));
  EXPECT_EQ(got, 5u);
}

TEST_F(FsTest, FolderLocksExcludeEachOtherAndLeaveNothing) {
  std::unique_ptr<FsLock> first, second;
  ASSERT_EQ(FsError::kNone, fs_->LockFolder(dir_.path(), 0, &first));
  EXPECT_EQ(FsError::kBusy, fs_->LockFolder(dir_.path(), 50, &second));
  std::vector<std::string> names;
  ASSERT_EQ(FsError::kNone, fs_->ListFolder(dir_.path(), &names));
  EXPECT_TRUE(names.empty());
  first.reset();
  EXPECT_EQ(FsError::kNone, fs_->LockFolder(dir_.path(), 0, &second));
}

TEST_F(FsTest, FileLockFollowsTheNameAcrossRenames) {
  std::unique_ptr<FsLock> held, other;
  ASSERT_EQ(FsError::kNone, fs_->LockFile(Path("s.env"), 0, &held));
  EXPECT_TRUE(NativeExists(Path("s.env")));
  EXPECT_EQ(FsError::kBusy, fs_->LockFile(Path("s.env"), 30, &other));
  // A file renamed over the name is a new file: its lock is free.
  WriteFileBytes(Path("t"), "new");
  ASSERT_EQ(FsError::kNone, fs_->Rename(Path("t"), Path("s.env")));
  EXPECT_EQ(FsError::kNone, fs_->LockFile(Path("s.env"), 0, &other));
}

TEST_F(FsTest, ByteRangeLocksConflictBetweenOpenFiles) {
  std::unique_ptr<FsFile> a, b;
  ASSERT_EQ(FsError::kNone, fs_->Open(Path("db"), FsOpen::kReadWrite, &a));
  ASSERT_EQ(FsError::kNone, fs_->Open(Path("db"), FsOpen::kReadWrite, &b));
  ASSERT_EQ(FsError::kNone, a->LockRange(10, 2, FsFile::Lock::kShared));
  EXPECT_EQ(FsError::kNone, b->LockRange(10, 2, FsFile::Lock::kShared));
  EXPECT_EQ(FsError::kBusy, b->LockRange(10, 1, FsFile::Lock::kExclusive));
  ASSERT_EQ(FsError::kNone, a->LockRange(10, 2, FsFile::Lock::kUnlock));
  EXPECT_EQ(FsError::kNone, b->LockRange(10, 1, FsFile::Lock::kExclusive));
}

TEST_F(FsTest, FaultsStrikeTheChosenCallOnly) {
  FaultFs faults;
  faults.FailNth(FsOp::kWrite, 2, FsError::kDiskFull, "b.txt", 2);
  std::unique_ptr<FsFile> a, b;
  ASSERT_EQ(FsError::kNone, faults.Open(Path("a.txt"), FsOpen::kWriteNew, &a));
  ASSERT_EQ(FsError::kNone, faults.Open(Path("b.txt"), FsOpen::kWriteNew, &b));
  EXPECT_EQ(FsError::kNone, a->Write("aaaa", 4));
  EXPECT_EQ(FsError::kNone, b->Write("1234", 4));
  EXPECT_EQ(FsError::kNone, a->Write("aaaa", 4));
  EXPECT_EQ(FsError::kDiskFull, b->Write("5678", 4));  // a short write
  EXPECT_EQ(FsError::kNone, b->Write("9", 1));
  EXPECT_EQ(ReadFileBytes(Path("b.txt")), "1234569");
  EXPECT_EQ(faults.Calls(FsOp::kWrite, "b.txt"), 3);
}

TEST_F(FsTest, ACrashAbandonsEverythingAfterIt) {
  FaultFs faults;
  faults.CrashAfterBytes(5);
  std::unique_ptr<FsFile> a;
  ASSERT_EQ(FsError::kNone, faults.Open(Path("a.txt"), FsOpen::kWriteNew, &a));
  EXPECT_EQ(FsError::kNone, a->Write("abc", 3));
  EXPECT_EQ(FsError::kIoError, a->Write("defg", 4));
  EXPECT_TRUE(faults.Crashed());
  EXPECT_EQ(FsError::kIoError, faults.Remove(Path("a.txt")));
  EXPECT_EQ(FsError::kIoError, faults.Rename(Path("a.txt"), Path("b.txt")));
  EXPECT_EQ(ReadFileBytes(Path("a.txt")), "abcde");
}

// After a crash the medium keeps only what was flushed: a file's bytes up
// to its last Sync, and the names of a folder up to its last SyncFolder.
TEST_F(FsTest, APowerLossTakesWhatWasNotFlushed) {
  WriteFileBytes(Path("old"), "old bytes");
  WriteFileBytes(Path("gone"), "removed");
  FaultFs faults;
  faults.CrashAtNth(FsOp::kStat, 1);
  std::unique_ptr<FsFile> file;
  // Written, flushed, then written again: the flushed bytes stay.
  ASSERT_EQ(FsError::kNone, faults.Open(Path("synced"), FsOpen::kWriteNew, &file));
  ASSERT_EQ(FsError::kNone, file->Write("kept", 4));
  ASSERT_EQ(FsError::kNone, file->Sync());
  ASSERT_EQ(FsError::kNone, file->Write(" lost", 5));
  ASSERT_EQ(FsError::kNone, file->Close());
  // Never flushed: empty after the loss, but its name was made durable.
  ASSERT_EQ(FsError::kNone, faults.Open(Path("unsynced"), FsOpen::kWriteNew, &file));
  ASSERT_EQ(FsError::kNone, file->Write("lost", 4));
  ASSERT_EQ(FsError::kNone, file->Close());
  ASSERT_EQ(FsError::kNone, faults.SyncFolder(dir_.path()));
  // Made after the folder's flush: gone, whatever its bytes.
  ASSERT_EQ(FsError::kNone, faults.Open(Path("new"), FsOpen::kWriteNew, &file));
  ASSERT_EQ(FsError::kNone, file->Write("new", 3));
  ASSERT_EQ(FsError::kNone, file->Sync());
  ASSERT_EQ(FsError::kNone, file->Close());
  // A rename over an old file and a removal, not flushed: undone.
  ASSERT_EQ(FsError::kNone, faults.Rename(Path("synced"), Path("old")));
  ASSERT_EQ(FsError::kNone, faults.Remove(Path("gone")));
  FsStat st;
  EXPECT_EQ(FsError::kIoError, faults.Stat(Path("old"), false, &st));
  ASSERT_TRUE(faults.Crashed());
  faults.LoseUnsynced();
  EXPECT_EQ(ReadFileBytes(Path("synced")), "kept");
  EXPECT_EQ(ReadFileBytes(Path("unsynced")), "");
  EXPECT_EQ(ReadFileBytes(Path("old")), "old bytes");
  EXPECT_EQ(ReadFileBytes(Path("gone")), "removed");
  EXPECT_NE(FsError::kNone, fs_->Stat(Path("new"), false, &st));
}

// A rename made durable by the folder's flush stays, with the file's
// flushed bytes under its new name.
TEST_F(FsTest, AFlushedRenameSurvivesAPowerLoss) {
  WriteFileBytes(Path("final"), "previous");
  FaultFs faults;
  faults.CrashAfterBytes(100);
  std::unique_ptr<FsFile> file;
  ASSERT_EQ(FsError::kNone, faults.Open(Path("temp"), FsOpen::kWriteNew, &file));
  ASSERT_EQ(FsError::kNone, file->Write("next", 4));
  ASSERT_EQ(FsError::kNone, file->Sync());
  ASSERT_EQ(FsError::kNone, file->Close());
  ASSERT_EQ(FsError::kNone, faults.Rename(Path("temp"), Path("final")));
  ASSERT_EQ(FsError::kNone, faults.SyncFolder(dir_.path()));
  faults.LoseUnsynced();
  EXPECT_EQ(ReadFileBytes(Path("final")), "next");
  FsStat st;
  EXPECT_NE(FsError::kNone, fs_->Stat(Path("temp"), false, &st));
}

// A medium that wrote some of the folder changes wrote the first ones: a
// rename is kept only with every change before it.
TEST_F(FsTest, APowerLossMayKeepTheFirstFolderChanges) {
  FsStat st;
  const auto there = [&](const char* name) { return fs_->Stat(Path(name), false, &st) == FsError::kNone; };
  for (size_t kept : {0, 1, 2}) {
    SCOPED_TRACE(kept);
    WriteFileBytes(Path("a"), "a");
    WriteFileBytes(Path("b"), "b");
    FaultFs faults;
    faults.CrashAtNth(FsOp::kStat, 1);
    ASSERT_EQ(FsError::kNone, faults.Rename(Path("a"), Path("a2")));
    ASSERT_EQ(FsError::kNone, faults.Rename(Path("b"), Path("b2")));
    EXPECT_EQ(faults.Unflushed(), 2u);
    faults.LoseUnsynced(kept);
    EXPECT_EQ(there("a2"), kept >= 1);
    EXPECT_EQ(there("a"), kept < 1);
    EXPECT_EQ(there("b2"), kept >= 2);
    EXPECT_EQ(there("b"), kept < 2);
    for (const char* name : {"a", "a2", "b", "b2"}) fs_->Remove(Path(name));
  }
}

TEST_F(FsTest, ScopedOverridesNest) {
  FaultFs outer, inner;
  {
    ScopedFs a(&outer);
    EXPECT_EQ(Fs::Default(), &outer);
    {
      ScopedFs b(&inner);
      EXPECT_EQ(Fs::Default(), &inner);
    }
    EXPECT_EQ(Fs::Default(), &outer);
  }
  EXPECT_EQ(Fs::Default(), Fs::System());
}

}  // namespace
