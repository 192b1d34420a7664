// How the files of an export and the settings file are replaced, through the
// system's file system: written beside the final name, made durable through
// a handle opened for reading, and renamed over the final name while its
// lock is held. The same on every platform.
#include <gtest/gtest.h>

#include <memory>

#include "fs.h"
#include "tempdir.h"

namespace {

void Write(Fs* fs, const std::string& path, const std::string& bytes) {
  std::unique_ptr<FsFile> file;
  ASSERT_EQ(FsError::kNone, fs->Open(path, FsOpen::kWriteNew, &file));
  ASSERT_EQ(FsError::kNone, file->Write(bytes.data(), bytes.size()));
  ASSERT_EQ(FsError::kNone, file->Close());
}

TEST(FsReplace, AFileOpenedForReadingIsMadeDurable) {
  TempDir dir;
  Fs* fs = Fs::System();
  Write(fs, dir.Native("written"), "rows");
  std::unique_ptr<FsFile> file;
  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("written"), FsOpen::kRead, &file));
  EXPECT_EQ(FsError::kNone, file->Sync());
  EXPECT_EQ(FsError::kNone, file->Close());
  // A file opened for writing is flushed through its own handle.
  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("written"), FsOpen::kAppend, &file));
  ASSERT_EQ(FsError::kNone, file->Write("+", 1));
  EXPECT_EQ(FsError::kNone, file->Sync());
  EXPECT_EQ(FsError::kNone, file->Close());
  EXPECT_EQ(ReadFileBytes(dir.Native("written")), "rows+");
}

TEST(FsReplace, TheHolderOfAFileLockReplacesTheFileByARename) {
  TempDir dir;
  Fs* fs = Fs::System();
  const std::string settings = dir.Native("settings");
  std::unique_ptr<FsLock> lock, second;
  // A missing file is made, empty, by its lock.
  ASSERT_EQ(FsError::kNone, fs->LockFile(settings, 0, &lock));
  EXPECT_EQ(ReadFileBytes(settings), "");
  EXPECT_EQ(FsError::kBusy, fs->LockFile(settings, 50, &second));
  Write(fs, dir.Native("new"), "line\n");
  ASSERT_EQ(FsError::kNone, fs->Rename(dir.Native("new"), settings));
  EXPECT_EQ(ReadFileBytes(settings), "line\n");
  lock.reset();
  ASSERT_EQ(FsError::kNone, fs->LockFile(settings, 0, &second));
  EXPECT_EQ(ReadFileBytes(settings), "line\n");
  second.reset();
}

}  // namespace
