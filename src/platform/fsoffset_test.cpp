#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fs.h"
#include "tempdir.h"

namespace {

std::string ReadAt(FsFile* file, uint64_t offset, size_t n) {
  std::string bytes(n, '\0');
  size_t got = 0;
  EXPECT_EQ(FsError::kNone, file->ReadAt(offset, bytes.data(), n, &got));
  bytes.resize(got);
  return bytes;
}

std::string Read(FsFile* file, size_t n) {
  std::string bytes(n, '\0');
  size_t got = 0;
  EXPECT_EQ(FsError::kNone, file->Read(bytes.data(), n, &got));
  bytes.resize(got);
  return bytes;
}

// The store reads and writes its pages at offsets on a handle that may also
// be read and written in sequence: the calls at an offset leave the
// sequence where it was, on every platform.
TEST(FsOffsets, CallsAtAnOffsetLeaveTheSequenceWhereItWas) {
  TempDir dir;
  Fs* fs = Fs::System();
  std::unique_ptr<FsFile> file;
  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("pages"), FsOpen::kReadWrite, &file));
  ASSERT_EQ(FsError::kNone, file->Write("abcdef", 6));
  ASSERT_EQ(FsError::kNone, file->WriteAt(1, "XY", 2));
  EXPECT_EQ(ReadAt(file.get(), 0, 4), "aXYd");
  ASSERT_EQ(FsError::kNone, file->Write("gh", 2));
  EXPECT_EQ(ReadAt(file.get(), 6, 10), "gh");  // cut at the end
  EXPECT_EQ(ReadAt(file.get(), 20, 4), "");    // beyond it
  EXPECT_EQ(Read(file.get(), 4), "");          // the sequence is at the end
  ASSERT_EQ(FsError::kNone, file->Close());
  EXPECT_EQ(ReadFileBytes(dir.Native("pages")), "aXYdefgh");

  ASSERT_EQ(FsError::kNone, fs->Open(dir.Native("pages"), FsOpen::kRead, &file));
  EXPECT_EQ(Read(file.get(), 2), "aX");
  EXPECT_EQ(ReadAt(file.get(), 5, 3), "fgh");
  EXPECT_EQ(Read(file.get(), 2), "Yd");
  EXPECT_EQ(FsError::kNone, file->Close());
}

}  // namespace
