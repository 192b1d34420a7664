#include "crtio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "tempdir.h"

namespace {

// The number of names in folder.
size_t Entries(const std::string& folder) {
  auto names = std::filesystem::directory_iterator(folder);
  return static_cast<size_t>(std::distance(begin(names), end(names)));
}

TEST(ReplaceNativeFileTest, PutsTheBytesInPlaceOrLeavesTheOldFile) {
  TempDir dir;
  std::string why;
  std::string path = dir.Native("r.json");
  ASSERT_TRUE(ReplaceNativeFile(path.c_str(), "first", &why)) << why;
  EXPECT_EQ(ReadFileBytes(path), "first");
  ASSERT_TRUE(ReplaceNativeFile(path.c_str(), "second", &why)) << why;
  EXPECT_EQ(ReadFileBytes(path), "second");
  EXPECT_EQ(Entries(dir.path()), 1u);

  // A folder in the way: the rename fails, the temporary file goes.
  std::filesystem::create_directories(dir.Native("busy/inside"));
  EXPECT_FALSE(ReplaceNativeFile(dir.Native("busy").c_str(), "x", &why));
  EXPECT_FALSE(why.empty());
  EXPECT_EQ(Entries(dir.path()), 2u);
  // No folder to write in.
  EXPECT_FALSE(ReplaceNativeFile(dir.Native("none/r.json").c_str(), "x", &why));
  EXPECT_NE(why.find("cannot create"), std::string::npos) << why;
}

TEST(NativeAbsolutePathTest, RelativePathsStartAtTheCurrentFolder) {
  EXPECT_EQ(NativeAbsolutePath("/a/b"), "/a/b");
  std::string absolute = NativeAbsolutePath("r.json");
  EXPECT_EQ(absolute, std::filesystem::current_path().string() + "/r.json");
}

}  // namespace
