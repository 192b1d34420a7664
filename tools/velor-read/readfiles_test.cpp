// The files of velor-read are checked and read through the file-system
// interface: its faults reach the tool's messages.
#include "readfiles.h"

#include <gtest/gtest.h>

#include "faultfs.h"
#include "nativeos.h"
#include "tempdir.h"

namespace {

const char kFormat[] = R"({"layout": "comma", "items": [
  {"szName": "a", "lWidth": 4, "lDecimals": 0, "lOffset": 0, "lSize": 5, "lType": 0, "lRequired": 0}]})";

TEST(ReadFilesTest, TheFormatFileIsReadThroughTheFileSystem) {
  TempDir tmp;
  const std::string format = tmp.Native("f.json");
  WriteFileBytes(format, kFormat);
  ReadFormat parsed;
  EXPECT_EQ(LoadReadFormat(format, &parsed), "");
  EXPECT_EQ(parsed.items.size(), 1u);
  const struct {
    FsOp op;
    FsError error;
    const char* reason;
  } faults[] = {{FsOp::kStat, FsError::kAccessDenied, "access denied"},
                {FsOp::kOpen, FsError::kIoError, "input/output error"},
                {FsOp::kRead, FsError::kIoError, "input/output error"}};
  for (const auto& f : faults) {
    SCOPED_TRACE(f.reason);
    FaultFs fs;
    fs.FailNth(f.op, 1, f.error, "f.json");
    ScopedFs scoped(&fs);
    std::string problem = LoadReadFormat(format, &parsed);
    EXPECT_EQ(fs.Struck(), 1);
    EXPECT_NE(problem.find(format), std::string::npos) << problem;
    EXPECT_NE(problem.find(f.reason), std::string::npos) << problem;
  }
  EXPECT_NE(LoadReadFormat(tmp.path(), &parsed).find("not a regular file"), std::string::npos);
  EXPECT_NE(LoadReadFormat(tmp.Native("none.json"), &parsed).find("no such file"), std::string::npos);
}

TEST(ReadFilesTest, TheInputIsCheckedThroughTheFileSystem) {
  TempDir tmp;
  const std::string input = tmp.Native("in.txt");
  WriteFileBytes(input, "a\r\n");
  EXPECT_EQ(CheckReadInput(input), "");
  // A link to a regular file counts, where links can be made.
  if (MakeSymlink(input, tmp.Native("link.txt"))) {
    EXPECT_EQ(CheckReadInput(tmp.Native("link.txt")), "");
  }
  EXPECT_NE(CheckReadInput(tmp.path()).find("not a regular file"), std::string::npos);
  FaultFs fs;
  fs.FailNth(FsOp::kStat, 1, FsError::kIoError, "in.txt");
  ScopedFs scoped(&fs);
  std::string problem = CheckReadInput(input);
  EXPECT_EQ(fs.Struck(), 1);
  EXPECT_NE(problem.find("input/output error"), std::string::npos) << problem;
}

}  // namespace
