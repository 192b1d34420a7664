#include "TextFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ClMsgMgr.h"
#include "faultfs.h"
#include "tempdir.h"
#include "testdrives.h"
#include "textaccessor.h"

namespace {

typedef ClTextFile F;

// Expects the host register to hold code with source and line.
void ExpectRecorded(long code, const char* source, long line) {
  EXPECT_EQ(code, ClMsgMgr::Inst()->GetLastErrorCode());
  EXPECT_STREQ(source, ClMsgMgr::Inst()->GetLastErrorSource());
  if (code != 0) {
    EXPECT_EQ(line, ClMsgMgr::Inst()->GetLastErrorLine());
  }
}

class TextFileTest : public ::testing::Test {
 protected:
  TextFileTest()
      : format_(TextItem()), accessor_("G", &format_, 1, record_) {
    drives_.Add("T:", dir_.path());
    accessor_.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  }
  static StTAFORMAT TextItem() {
    StTAFORMAT f = {};
    std::strcpy(f.szName, "name");
    f.lWidth = 20;
    f.lSize = 21;
    f.lType = ClTextAccessor::TAT_STRING;
    return f;
  }
  // Writes text as one line through the accessor attached to file.
  long Line(F& file, const char* text) {
    EXPECT_EQ(0, file.Attach(&accessor_));
    std::strcpy(record_, text);
    return accessor_.Write();
  }
  std::string Bytes(const char* name) { return ReadFileBytes(dir_.Native(name)); }

  TempDir dir_;
  TestDrives drives_;
  StTAFORMAT format_;
  char record_[21] = {};
  ClTextAccessor accessor_;
};

TEST_F(TextFileTest, WriteAloneCreatesButRefusesAnExistingFile) {
  F file;
  EXPECT_EQ(0, file.Open("T:\\new.txt", F::TFOM_WRITE));
  ExpectRecorded(0, "", 0);
  EXPECT_EQ(0, Line(file, "one"));
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("one\r\n", Bytes("new.txt"));

  EXPECT_EQ(-1000, file.Open("T:\\new.txt", F::TFOM_WRITE));
  ExpectRecorded(-1000, "TextFile", 88);
  EXPECT_EQ(-1, Line(file, "two"));
  EXPECT_EQ(0, file.Close());  // nothing was open
  EXPECT_EQ("one\r\n", Bytes("new.txt"));
}

TEST_F(TextFileTest, TruncateEmptiesUntilTheFirstLine) {
  WriteFileBytes(dir_.Native("t.txt"), "old contents\r\n");
  F file;
  ASSERT_EQ(0, file.Open("T:\\t.txt", F::TFOM_WRITE | F::TFOM_TRUNCATE));
  EXPECT_EQ("", Bytes("t.txt"));
  EXPECT_EQ(0, Line(file, "new"));
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("new\r\n", Bytes("t.txt"));
}

TEST_F(TextFileTest, AppendWritesAtTheEndOrCreates) {
  F file;
  ASSERT_EQ(0, file.Open("T:\\a.txt", F::TFOM_WRITE | F::TFOM_APPEND));
  EXPECT_EQ(0, Line(file, "first"));
  EXPECT_EQ(0, file.Close());
  ASSERT_EQ(0, file.Open("T:\\a.txt", F::TFOM_WRITE | F::TFOM_APPEND | F::TFOM_READ));
  EXPECT_EQ(0, Line(file, "second"));
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("first\r\nsecond\r\n", Bytes("a.txt"));
}

TEST_F(TextFileTest, ModesThatCannotBeAppliedFail) {
  WriteFileBytes(dir_.Native("x.txt"), "keep");
  F file;
  EXPECT_EQ(-1000, file.Open("T:\\x.txt", F::TFOM_WRITE | F::TFOM_APPEND | F::TFOM_TRUNCATE));
  ExpectRecorded(-1000, "TextFile", 88);
  EXPECT_EQ(-1000, file.Open("T:\\y.txt", F::TFOM_WRITE | F::TFOM_APPEND | F::TFOM_TRUNCATE));
  EXPECT_FALSE(NativeExists(dir_.Native("y.txt")));
  EXPECT_EQ(-1000, file.Open("T:\\x.txt", static_cast<F::TFOpenMode>(0)));
  EXPECT_EQ(-1000, file.Open("T:\\x.txt", F::TFOM_TRUNCATE));
  EXPECT_EQ(-1000, file.Open("T:\\missing.txt", F::TFOM_READ));
  EXPECT_EQ(-1000, file.Open("T:\\", F::TFOM_READ));  // a folder
  EXPECT_EQ(-1000, file.Open("Q:\\x.txt", F::TFOM_WRITE | F::TFOM_TRUNCATE));  // no such drive
  EXPECT_EQ(-1000, file.Open("T:\\bad\x81", F::TFOM_WRITE | F::TFOM_TRUNCATE));  // not code page 932
  EXPECT_EQ(-1000, file.Open(nullptr, F::TFOM_WRITE | F::TFOM_TRUNCATE));
  EXPECT_EQ("keep", Bytes("x.txt"));
  EXPECT_EQ(0, file.Close());
}

TEST_F(TextFileTest, SecondOpenFailsTheStreamUntilClose) {
  F file;
  ASSERT_EQ(0, file.Open("T:\\d.txt", F::TFOM_WRITE | F::TFOM_TRUNCATE));
  EXPECT_EQ(0, Line(file, "kept"));
  EXPECT_EQ(-1000, file.Open("T:\\other.txt", F::TFOM_WRITE | F::TFOM_TRUNCATE));
  EXPECT_FALSE(NativeExists(dir_.Native("other.txt")));
  EXPECT_EQ(-1, Line(file, "lost"));
  EXPECT_EQ(-1000, file.Close());
  ExpectRecorded(-1000, "TextFile", 112);
  EXPECT_EQ("kept\r\n", Bytes("d.txt"));  // closed and flushed all the same
  EXPECT_EQ(0, file.Close());
  // The next Open clears the failed state.
  ASSERT_EQ(0, file.Open("T:\\d.txt", F::TFOM_WRITE | F::TFOM_APPEND));
  EXPECT_EQ(0, Line(file, "again"));
  EXPECT_EQ(0, file.Close());
  EXPECT_EQ("kept\r\nagain\r\n", Bytes("d.txt"));
}

TEST_F(TextFileTest, CloseOfANeverOpenedFileSucceeds) {
  F file;
  ClMsgMgr::Inst()->SetLastError(-5, "x", 1);
  EXPECT_EQ(0, file.Close());
  ExpectRecorded(0, "", 0);
}

TEST_F(TextFileTest, FailedWritesAreReportedByClose) {
  FaultFs faults(Fs::Default());
  faults.FailNth(FsOp::kWrite, 1, FsError::kDiskFull);
  ScopedFs scoped(&faults);
  F file;
  ASSERT_EQ(0, file.Open("T:\\full.txt", F::TFOM_WRITE | F::TFOM_TRUNCATE));
  EXPECT_EQ(0, Line(file, "buffered"));  // the failure shows when written out
  EXPECT_EQ(-1000, file.Close());
  ExpectRecorded(-1000, "TextFile", 112);
}

TEST_F(TextFileTest, ReadingDropsTheCarriageReturns) {
  {
    F out;
    ASSERT_EQ(0, out.Open("T:\\r.txt", F::TFOM_WRITE | F::TFOM_TRUNCATE));
    EXPECT_EQ(0, Line(out, "ab"));
    EXPECT_EQ(0, Line(out, "c\rd"));
    EXPECT_EQ(0, out.Close());
  }
  EXPECT_EQ("ab\r\nc\rd\r\n", Bytes("r.txt"));
  F in;
  ASSERT_EQ(0, in.Open("T:\\r.txt", F::TFOM_READ));
  ASSERT_EQ(0, in.Attach(&accessor_));
  char line[ClTextAccessor::kLineSize];
  ASSERT_EQ(0, accessor_.Read());
  EXPECT_STREQ("ab", record_);
  accessor_.GetReadLine(line);
  EXPECT_STREQ("ab", line);
  ASSERT_EQ(0, accessor_.Read());
  EXPECT_STREQ("c\rd", record_);  // a CR without LF is kept
  EXPECT_EQ(1, accessor_.Read());
  EXPECT_EQ(0, in.Close());  // reading to the end is no failure

  ASSERT_EQ(0, in.Open("T:\\r.txt", F::TFOM_READ));
  EXPECT_EQ(-1000, in.Open("T:\\r.txt", F::TFOM_READ));
  EXPECT_EQ(1, accessor_.Read());
  EXPECT_EQ(-1000, in.Close());  // but a refused second Open still is
}

TEST_F(TextFileTest, AttachWithoutAccessorIsRefused) {
  F file;
  EXPECT_EQ(-1003, file.Attach(nullptr));
  ExpectRecorded(-1003, "TextFile", 129);
  EXPECT_EQ(0, file.Attach(&accessor_));
  ExpectRecorded(0, "", 0);
  EXPECT_EQ(-1, accessor_.Write());  // attached to a closed file
}

TEST_F(TextFileTest, DestructorClosesAndFlushes) {
  {
    F file;
    ASSERT_EQ(0, file.Open("T:\\z.txt", F::TFOM_WRITE));
    EXPECT_EQ(0, Line(file, "z"));
  }
  EXPECT_EQ("z\r\n", Bytes("z.txt"));
}

}  // namespace
