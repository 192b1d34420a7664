#include "filestream.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "tempdir.h"
#include "testdrives.h"

namespace {

class FileStreamTest : public ::testing::Test {
 protected:
  FileStreamTest() {
    drives_.Add("W:", dir_.path());
  }

  // Everything the buffer yields when the file holding bytes is read.
  std::string ReadBack(const std::string& bytes) {
    WriteFileBytes(dir_.Native("in.txt"), bytes);
    FileStreamBuf buf;
    EXPECT_TRUE(buf.Open("W:\\in.txt", FileStreamBuf::FSA_READ_TEXT));
    std::string got{std::istreambuf_iterator<char>(&buf), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(buf.Close());
    return got;
  }

  TempDir dir_;
  TestDrives drives_;
};

TEST_F(FileStreamTest, TextReadingDropsOnlyTheCrOfCrLf) {
  EXPECT_EQ("a\nb\n", ReadBack("a\r\nb\r\n"));
  EXPECT_EQ("a\rb\r", ReadBack("a\rb\r"));
  EXPECT_EQ("\r\n\n", ReadBack("\r\r\n\r\n"));
  EXPECT_EQ("", ReadBack(""));
  EXPECT_EQ(std::string("x\0y\n", 4), ReadBack(std::string("x\0y\r\n", 5)));
}

TEST_F(FileStreamTest, CrLfAcrossTheBufferEdgeIsJoined) {
  for (size_t at : {32767u, 32768u, 65535u}) {
    std::string bytes(at, 'x');
    bytes += "\r\nend\r";
    std::string expected(at, 'x');
    expected += "\nend\r";
    EXPECT_EQ(expected, ReadBack(bytes)) << at;
  }
}

TEST_F(FileStreamTest, WritingIsBinaryAndSurvivesLargeBlocks) {
  FileStreamBuf buf;
  ASSERT_TRUE(buf.Open("W:\\out.bin", FileStreamBuf::FSA_WRITE_TRUNCATE));
  std::string big(100000, 'b');
  EXPECT_EQ(3, buf.sputn("a\r\n", 3));
  EXPECT_EQ(static_cast<std::streamsize>(big.size()), buf.sputn(big.data(), static_cast<std::streamsize>(big.size())));
  for (int i = 0; i < 40000; ++i) buf.sputc('c');
  EXPECT_TRUE(buf.Close());
  EXPECT_EQ("a\r\n" + big + std::string(40000, 'c'), ReadFileBytes(dir_.Native("out.bin")));
  EXPECT_TRUE(buf.Close());  // nothing open
  EXPECT_EQ(0, buf.sputn("x", 1));
}

TEST_F(FileStreamTest, AccessModes) {
  WriteFileBytes(dir_.Native("f.txt"), "old");
  FileStreamBuf buf;
  EXPECT_FALSE(buf.Open("W:\\f.txt", FileStreamBuf::FSA_WRITE_NEW));
  ASSERT_TRUE(buf.Open("W:\\f.txt", FileStreamBuf::FSA_WRITE_APPEND));
  EXPECT_FALSE(buf.Open("W:\\g.txt", FileStreamBuf::FSA_WRITE_NEW));  // one is open
  buf.sputn("+new", 4);
  EXPECT_TRUE(buf.Close());
  EXPECT_EQ("old+new", ReadFileBytes(dir_.Native("f.txt")));
  ASSERT_TRUE(buf.Open("W:\\g.txt", FileStreamBuf::FSA_WRITE_NEW));
  EXPECT_TRUE(buf.Close());
  EXPECT_TRUE(NativeExists(dir_.Native("g.txt")));
  EXPECT_FALSE(buf.Open("W:\\missing\\h.txt", FileStreamBuf::FSA_WRITE_TRUNCATE));
  // A file opened for reading takes no writes.
  ASSERT_TRUE(buf.Open("W:\\f.txt", FileStreamBuf::FSA_READ_TEXT));
  EXPECT_EQ(0, buf.sputn("x", 1));
  EXPECT_TRUE(buf.Close());
  EXPECT_EQ("old+new", ReadFileBytes(dir_.Native("f.txt")));
}

}  // namespace
