#include "batchplan.h"

#include <gtest/gtest.h>

#include <cstring>

#include "testdrives.h"
#include "tempdir.h"

namespace {

TEST(CompanySelectionTest, TakesAllOrNumbersAndRanges) {
  CompanySelection s;
  std::string error;
  ASSERT_TRUE(ParseCompanySelection("all", &s, &error));
  EXPECT_TRUE(s.Selects(0) && s.Selects(123456));
  ASSERT_TRUE(ParseCompanySelection("1,3-7,12", &s, &error));
  for (long no : {1L, 3L, 5L, 7L, 12L}) EXPECT_TRUE(s.Selects(no)) << no;
  for (long no : {0L, 2L, 8L, 11L, 13L}) EXPECT_FALSE(s.Selects(no)) << no;
  ASSERT_TRUE(ParseCompanySelection("2147483647", &s, &error));
  EXPECT_TRUE(s.Selects(2147483647));
  for (const char* bad : {"", ",", "1,", ",1", "7-3", "1-", "-1", "a", "1;2", "2147483648", "1 ,2",
                          "ALL", "1--2"}) {
    EXPECT_FALSE(ParseCompanySelection(bad, &s, &error)) << bad;
    EXPECT_NE(error.find("--companies"), std::string::npos);
  }
}

TEST(OutputPatternTest, NeedsAPlaceholderThatSetsTheCompaniesApart) {
  std::string error;
  EXPECT_TRUE(CheckOutputPattern("D:\\out\\{no}\\a.csv", &error));
  EXPECT_TRUE(CheckOutputPattern("D:\\out\\{id}_{name}\\a.csv", &error));
  EXPECT_FALSE(CheckOutputPattern("D:\\out\\a.csv", &error));
  EXPECT_FALSE(CheckOutputPattern("D:\\out\\{number}\\a.csv", &error));
  EXPECT_FALSE(CheckOutputPattern("D:\\out\\{no\\a.csv", &error));
  EXPECT_FALSE(CheckOutputPattern("D:\\out\\{no}}\\a.csv", &error));
  // A brace that is the trail byte of a double-byte character is no brace:
  // 0x81 0x7B is one character.
  EXPECT_TRUE(CheckOutputPattern("D:\\\x81\x7B\\{no}\\a.csv", &error));
}

StDATAINFO Company(long no, const char* id, const char* name) {
  StDATAINFO data{};
  data.lDataNo = no;
  std::strncpy(data.szDataID, id, sizeof data.szDataID - 1);
  std::strncpy(data.szDataName, name, sizeof data.szDataName - 1);
  return data;
}

TEST(OutputPatternTest, FillsNumberIdAndASafeName) {
  StDATAINFO data = Company(12, "GEN12", "株式会社山田/製作所");
  EXPECT_EQ(ExpandOutputPattern("D:\\決算\\{no}_{name}\\{id}.csv", data),
            "D:\\決算\\12_株式会社山田_製作所\\GEN12.csv");
}

TEST(SafeFileNameTest, ReplacesWhatThePathCheckRefusesAndKeepsDoubleByteCharacters) {
  EXPECT_EQ(SafeFileName("a/b:c,d;e*f?g\"h<i>j|k\\l"), "a_b_c_d_e_f_g_h_i_j_k_l");
  EXPECT_EQ(SafeFileName("tab\there"), "tab_here");
  // 表 and ソ end in the byte 0x5C, which is no backslash there.
  EXPECT_EQ(SafeFileName("表ソ"), "表ソ");
  EXPECT_EQ(SafeFileName("Co. "), "Co__");
  EXPECT_EQ(SafeFileName(".."), "__");
  EXPECT_EQ(SafeFileName(""), "_");
  // Cut at a whole character: 63 single bytes and a double-byte one make 65.
  std::string name = std::string(kSafeNameMax - 1, 'a') + "表";
  EXPECT_EQ(SafeFileName(name), std::string(kSafeNameMax - 1, 'a'));
  // A name that ends in half a character keeps no lead byte.
  EXPECT_EQ(SafeFileName("ab\x95"), "ab_");
}

TEST(SharedFolderTest, FindsTwoPathsOfOneFolder) {
  size_t a = 9, b = 9;
  EXPECT_FALSE(FindSharedFolder({"T:\\x\\1\\a.csv", "T:\\x\\2\\a.csv", "T:\\x\\3\\a.csv"}, &a, &b));
  EXPECT_TRUE(FindSharedFolder({"T:\\x\\1\\a.csv", "T:\\x\\2\\a.csv", "t:\\X\\1\\b.csv"}, &a, &b));
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, 2u);
  // Two drives of the drive map on one native folder name it twice (under
  // Windows the tests' drives are no drives of the system).
  if (HasDriveMap()) {
    TempDir tmp;
    TestDrives drives;
    drives.Add("T:", tmp.path());
    drives.Add("U:", tmp.path());
    EXPECT_TRUE(FindSharedFolder({"T:\\x\\a.csv", "U:\\x\\b.csv"}, &a, &b));
  }
  // Case matters in double-byte characters' bytes: ａ and Ａ are two folders.
  EXPECT_FALSE(FindSharedFolder({"T:\\ａ\\a.csv", "T:\\Ａ\\a.csv"}, &a, &b));
}

}  // namespace
