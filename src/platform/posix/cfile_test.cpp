#include "cfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "codepage.h"
#include "faultfs.h"
#include "tempdir.h"

namespace {

class CFileTest : public ::testing::Test {
 protected:
  CFileTest() : env_("VELOR_DRIVES", "C:=" + dir_.path()) {}
  TempDir dir_;
  ScopedEnv env_;
};

TEST_F(CFileTest, StatusOfFilesAndFolders) {
  std::string name;
  ASSERT_TRUE(Cp932ToUtf8("表.txt", &name));
  WriteFileBytes(dir_.Native(name), "12345");
  mkdir(dir_.Native("d").c_str(), 0777);
  CFileStatus st;
  ASSERT_TRUE(CFile::GetStatus("C:\\表.txt", st));
  EXPECT_EQ(st.m_size, 5u);
  EXPECT_EQ(st.m_attribute & CFile::directory, 0);
  ASSERT_TRUE(CFile::GetStatus("C:\\d", st));
  EXPECT_NE(st.m_attribute & CFile::directory, 0);
  EXPECT_FALSE(CFile::GetStatus("C:\\none", st));
  EXPECT_FALSE(CFile::GetStatus("Q:\\x", st));
}

TEST_F(CFileTest, CreateWriteReadAppend) {
  CFile f;
  ASSERT_TRUE(f.Open("C:\\a.env", CFile::modeCreate | CFile::modeWrite));
  f.Write("abc\n", 4);
  f.Flush();
  f.Close();
  ASSERT_TRUE(f.Open("C:\\a.env", CFile::modeReadWrite));
  EXPECT_EQ(f.GetLength(), 4u);
  char buf[16] = {};
  EXPECT_EQ(f.Read(buf, sizeof buf), 4u);
  EXPECT_STREQ(buf, "abc\n");
  f.Write("d\n", 2);  // after what was read
  f.Close();
  EXPECT_EQ(ReadFileBytes(dir_.Native("a.env")), "abc\nd\n");
  // modeCreate empties an existing file unless modeNoTruncate is given.
  ASSERT_TRUE(f.Open("C:\\a.env", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeRead));
  EXPECT_EQ(f.GetLength(), 6u);
  f.Close();
  ASSERT_TRUE(f.Open("C:\\a.env", CFile::modeCreate | CFile::modeWrite));
  f.Close();
  EXPECT_EQ(ReadFileBytes(dir_.Native("a.env")), "");
}

TEST_F(CFileTest, OpenFailures) {
  mkdir(dir_.Native("d").c_str(), 0777);
  CFile f;
  CFileException error;
  EXPECT_FALSE(f.Open("C:\\none", CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_FALSE(f.Open("C:\\d", CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);
  EXPECT_FALSE(f.Open("C:\\none\\x", CFile::modeCreate | CFile::modeWrite));
  EXPECT_FALSE(f.Open("Q:\\x", CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::badPath);
}

TEST_F(CFileTest, WriteFailureAndRemoveThrow) {
  CFile f;
  // A read-only open cannot be written to.
  WriteFileBytes(dir_.Native("r"), "x");
  ASSERT_TRUE(f.Open("C:\\r", CFile::modeRead));
  int cause = -1;
  try {
    f.Write("y", 1);
  } catch (CFileException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_NE(cause, -1);
  f.Close();
  CFile::Remove("C:\\r");
  EXPECT_FALSE(NativeExists(dir_.Native("r")));
  cause = -1;
  try {
    CFile::Remove("C:\\r");
  } catch (CFileException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CFileException::fileNotFound);
}

TEST_F(CFileTest, FailuresCarryTheirCause) {
  struct Case {
    FsOp op;
    FsError error;
    int cause;
  } cases[] = {{FsOp::kWrite, FsError::kDiskFull, CFileException::diskFull},
               {FsOp::kWrite, FsError::kIoError, CFileException::hardIO},
               {FsOp::kSync, FsError::kIoError, CFileException::hardIO},
               {FsOp::kClose, FsError::kAccessDenied, CFileException::accessDenied}};
  for (const Case& c : cases) {
    FaultFs faults;
    faults.FailNth(c.op, 1, c.error, "w.txt");
    ScopedFs scoped(&faults);
    CFile f;
    ASSERT_TRUE(f.Open("C:\\w.txt", CFile::modeCreate | CFile::modeWrite));
    int cause = -1;
    try {
      f.Write("abc", 3);
      f.Flush();
      f.Close();
    } catch (CFileException* e) {
      cause = e->m_cause;
      e->Delete();
    }
    EXPECT_EQ(cause, c.cause);
    EXPECT_EQ(Fs::LastError(), c.error);
  }
  FaultFs faults;
  faults.FailNth(FsOp::kOpen, 1, FsError::kAccessDenied);
  ScopedFs scoped(&faults);
  CFile f;
  CFileException error;
  EXPECT_FALSE(f.Open("C:\\w.txt", CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::accessDenied);
}

}  // namespace
