#include "outputpaths.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The derived path for name, or "(refused)".
std::string Derived(const std::string& asset, const char* name) {
  char out[kPathBufferSize];
  if (!DeriveSiblingPath(asset.c_str(), name, out)) {
    EXPECT_STREQ(out, "");
    return "(refused)";
  }
  return out;
}

TEST(OutputPaths, FilesBesideTheAssetFile) {
  EXPECT_EQ(Derived("C:\\data\\out\\assets.csv", kKindFileName), "C:\\data\\out\\syurui.SSC");
  EXPECT_EQ(Derived("C:\\data\\out\\assets.csv", kLogFileName), "C:\\data\\out\\VelrixSysErr.txt");
  EXPECT_EQ(Derived("C:\\assets.csv", kLogFileName), "C:\\VelrixSysErr.txt");
}

TEST(OutputPaths, BackslashInsideADoubleByteCharacterIsNoSeparator) {
  // The second byte of 表 is 0x5C, the backslash.
  EXPECT_EQ(Derived("C:\\資産\\一覧表", kLogFileName), "C:\\資産\\VelrixSysErr.txt");
  EXPECT_EQ(Derived("C:\\表\\a.csv", kKindFileName), "C:\\表\\syurui.SSC");
  EXPECT_EQ(Derived("一覧表", kLogFileName), "(refused)");
}

TEST(OutputPaths, RefusedPaths) {
  EXPECT_EQ(Derived("assets.csv", kKindFileName), "(refused)");
  EXPECT_EQ(Derived("", kLogFileName), "(refused)");
  // The log or kind file must never take the asset file's place.
  EXPECT_EQ(Derived("C:\\out\\velrixsyserr.TXT", kLogFileName), "(refused)");
  EXPECT_EQ(Derived("C:\\out\\syurui.SSC", kKindFileName), "(refused)");
  EXPECT_EQ(Derived("C:\\out\\syurui.SSC", kLogFileName), "C:\\out\\VelrixSysErr.txt");
}

TEST(OutputPaths, LengthLimits) {
  // A folder part of 244 bytes leaves room for the 16-byte log name: 260.
  std::string folder = "C:\\" + std::string(240, 'f') + "\\";
  ASSERT_EQ(folder.size(), 244u);
  EXPECT_EQ(Derived(folder + "a.csv", kLogFileName), folder + kLogFileName);
  std::string longer = "C:\\" + std::string(241, 'f') + "\\";
  EXPECT_EQ(Derived(longer + "a.csv", kLogFileName), "(refused)");
  EXPECT_EQ(Derived(longer + "a.csv", kKindFileName), longer + kKindFileName);
  // The asset path itself is at most 260 bytes.
  EXPECT_EQ(Derived("C:\\d\\" + std::string(255, 'a'), kKindFileName), "C:\\d\\syurui.SSC");
  EXPECT_EQ(Derived("C:\\d\\" + std::string(256, 'a'), kKindFileName), "(refused)");
}

}  // namespace
