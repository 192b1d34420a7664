#include "winfs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "codepage.h"
#include "crtio.h"
#include "drivemap.h"
#include "tempdir.h"

namespace {

class WinFsTest : public ::testing::Test {
 protected:
  WinFsTest() : env_("VELOR_DRIVES", "C:=" + dir_.path() + ";\\\\srv\\share=" + dir_.Native("s")) {
    mkdir(dir_.Native("s").c_str(), 0777);
  }
  std::string U(const char* cp932) {
    std::string out;
    EXPECT_TRUE(Cp932ToUtf8(cp932, &out));
    return out;
  }
  TempDir dir_;
  ScopedEnv env_;
};

TEST_F(WinFsTest, CreateAndRemoveFolders) {
  EXPECT_TRUE(CreateDirectoryA("C:\\表", nullptr));
  EXPECT_TRUE(NativeExists(dir_.Native(U("表"))));
  EXPECT_FALSE(CreateDirectoryA("C:\\表", nullptr));          // exists
  EXPECT_FALSE(CreateDirectoryA("C:\\none\\sub", nullptr));   // no parent
  EXPECT_FALSE(CreateDirectoryA("Q:\\x", nullptr));           // no drive
  EXPECT_TRUE(CreateDirectoryA("\\\\srv\\share\\ソ", nullptr));
  EXPECT_TRUE(NativeExists(dir_.Native("s/" + U("ソ"))));
  WriteFileBytes(dir_.Native(U("表") + "/f"), "x");
  EXPECT_FALSE(RemoveDirectoryA("C:\\表"));  // not empty
  EXPECT_FALSE(RemoveDirectoryA("C:\\表\\f"));
  EXPECT_FALSE(DeleteFileA("C:\\表"));
  EXPECT_TRUE(DeleteFileA("C:\\表\\f"));
  EXPECT_TRUE(RemoveDirectoryA("C:\\表"));
  EXPECT_FALSE(NativeExists(dir_.Native(U("表"))));
}

TEST_F(WinFsTest, MoveReplacesOnlyWhenAsked) {
  WriteFileBytes(dir_.Native("a"), "new");
  WriteFileBytes(dir_.Native("b"), "old");
  EXPECT_FALSE(MoveFileExA("C:\\a", "C:\\b", 0));
  EXPECT_EQ(ReadFileBytes(dir_.Native("b")), "old");
  EXPECT_TRUE(MoveFileExA("C:\\a", "C:\\b", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(ReadFileBytes(dir_.Native("b")), "new");
  EXPECT_FALSE(NativeExists(dir_.Native("a")));
  EXPECT_TRUE(MoveFileExA("C:\\b", "C:\\c", 0));
  EXPECT_FALSE(MoveFileExA("C:\\missing", "C:\\d", MOVEFILE_REPLACE_EXISTING));
}

TEST_F(WinFsTest, TempFileNamesAreNewFiles) {
  char first[MAX_PATH], second[MAX_PATH];
  UINT n1 = GetTempFileNameA("C:\\", "Velorant", 0, first);
  UINT n2 = GetTempFileNameA("C:", "Vel", 0, second);
  ASSERT_NE(n1, 0u);
  ASSERT_NE(n2, 0u);
  EXPECT_STRNE(first, second);
  EXPECT_EQ(std::string(first).rfind("C:\\Vel", 0), 0u);
  EXPECT_EQ(std::string(first).substr(std::strlen(first) - 4), ".TMP");
  std::string native;
  ASSERT_TRUE(DriveMapToNative(first, &native));
  EXPECT_TRUE(NativeExists(native));
  EXPECT_EQ(GetTempFileNameA("C:\\missing", "Vel", 0, first), 0u);
  EXPECT_EQ(GetTempFileNameA("C:\\", "ab", 0x1F, first), 0x1Fu);
  EXPECT_STREQ(first, "C:\\ab1F.TMP");
}

TEST_F(WinFsTest, TempFolderInWindowsForm) {
  ScopedEnv tmp("TMPDIR", dir_.Native("s"));
  char buf[kPathBufferSize];
  DWORD n = GetTempPathA(sizeof buf, buf);
  EXPECT_STREQ(buf, "\\\\srv\\share\\");
  EXPECT_EQ(n, std::strlen(buf));
  EXPECT_EQ(GetTempPathA(3, buf), n + 1);  // too small: the size needed
  ScopedEnv unmapped("VELOR_DRIVES", "C:=" + dir_.Native("elsewhere") + ";Z:=" + dir_.Native("z"));
  EXPECT_EQ(GetTempPathA(sizeof buf, buf), 0u);
}

TEST_F(WinFsTest, ModulePathAndWindowsFolder) {
  ScopedEnv all("VELOR_DRIVES", "Z:=/");
  char buf[kPathBufferSize];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  ASSERT_GT(n, 3u);
  EXPECT_EQ(std::string(buf, 3), "Z:\\");
  std::string native;
  ASSERT_TRUE(DriveMapToNative(buf, &native));
  EXPECT_EQ(native, std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(GetModuleFileNameA(nullptr, buf, 4), 4u);
  EXPECT_STREQ(buf, "Z:\\");
  // No drive C: here, so no Windows folder.
  EXPECT_EQ(GetWindowsDirectoryA(buf, sizeof buf), 0u);
}

TEST_F(WinFsTest, WindowsFolderWhenDriveCHoldsOne) {
  char buf[kPathBufferSize];
  EXPECT_EQ(GetWindowsDirectoryA(buf, sizeof buf), 0u);
  mkdir(dir_.Native("Windows").c_str(), 0777);
  EXPECT_EQ(GetWindowsDirectoryA(buf, sizeof buf), 10u);
  EXPECT_STREQ(buf, "C:\\Windows");
  EXPECT_EQ(GetWindowsDirectoryA(buf, 5), 11u);
}

TEST(GetUserNameA, LoginNameAndBufferSizes) {
  char buf[256];
  DWORD size = sizeof buf;
  ASSERT_TRUE(GetUserNameA(buf, &size));
  EXPECT_EQ(size, std::strlen(buf) + 1);
  DWORD small = 1;
  EXPECT_FALSE(GetUserNameA(buf, &small));
  EXPECT_EQ(small, size);
}

TEST_F(WinFsTest, AccessModes) {
  WriteFileBytes(dir_.Native("f"), "x");
  EXPECT_EQ(_access("C:\\f", 0), 0);
  EXPECT_EQ(_access("C:\\f", 2), 0);
  EXPECT_EQ(_access("C:\\f", 4), 0);
  EXPECT_EQ(_access("C:\\f", 6), 0);
  EXPECT_EQ(_access("C:\\f", 1), -1);
  EXPECT_EQ(_access("C:\\g", 0), -1);
  EXPECT_EQ(_access("\\\\srv\\share", 6), 0);
  EXPECT_EQ(_access("\\\\srv\\other", 0), -1);
  // A read-only file refuses writing to every account, the superuser too.
  chmod(dir_.Native("f").c_str(), 0444);
  EXPECT_EQ(_access("C:\\f", 2), -1);
  EXPECT_EQ(_access("C:\\f", 6), -1);
  EXPECT_EQ(_access("C:\\f", 4), 0);
  // A folder is tested for existence whatever the mode, as on Windows: an
  // ordinary account may not write "/", yet drive Z: is usable.
  mkdir(dir_.Native("ro").c_str(), 0555);
  EXPECT_EQ(_access("C:\\ro", 6), 0);
  EXPECT_EQ(_access("C:\\ro\\", 2), 0);
}

TEST_F(WinFsTest, CurrentFolderRoundTrip) {
  std::string before = std::filesystem::current_path().string();
  mkdir(dir_.Native(U("能")).c_str(), 0777);
  ASSERT_EQ(_chdir("C:\\能"), 0);
  char buf[kPathBufferSize];
  ASSERT_NE(_getcwd(buf, sizeof buf), nullptr);
  EXPECT_STREQ(buf, "C:\\能");
  EXPECT_EQ(_getcwd(buf, 4), nullptr);
  EXPECT_EQ(_chdir("C:\\missing"), -1);
  ASSERT_EQ(_chdir("C:\\"), 0);
  ASSERT_NE(_getcwd(buf, sizeof buf), nullptr);
  EXPECT_STREQ(buf, "C:\\");
  std::filesystem::current_path(before);
}

}  // namespace
