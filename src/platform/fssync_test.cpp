#include <gtest/gtest.h>

#include <memory>

#include "fs.h"
#include "tempdir.h"

namespace {

// The files of an export are written, closed, and made durable later through
// a handle opened for reading: that must flush them on every platform.
TEST(FsSync, AFileOpenedForReadingIsMadeDurable) {
  TempDir dir;
  Fs* fs = Fs::System();
  std::unique_ptr<FsFile> file;
  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("written"), FsOpen::kWriteNew, &file));
  ASSERT_EQ(FsError::kNone, file->Write("rows", 4));
  ASSERT_EQ(FsError::kNone, file->Close());
  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("written"), FsOpen::kRead, &file));
  EXPECT_EQ(FsError::kNone, file->Sync());
  EXPECT_EQ(FsError::kNone, file->Close());
  EXPECT_EQ(ReadFileBytes(dir.Native("written")), "rows");
  // A file opened for writing is flushed through its own handle.
  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("written"), FsOpen::kAppend, &file));
  ASSERT_EQ(FsError::kNone, file->Write("+", 1));
  EXPECT_EQ(FsError::kNone, file->Sync());
  EXPECT_EQ(FsError::kNone, file->Close());
  EXPECT_EQ(ReadFileBytes(dir.Native("written")), "rows+");
}

}  // namespace
