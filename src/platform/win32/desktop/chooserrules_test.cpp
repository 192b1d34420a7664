#include "chooserrules.h"

#include <commdlg.h>
#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ChooserFilter, PairsBecomeNulSeparatedAndDoublyClosed) {
  std::wstring want(L"CSV Files (*.csv)\0*.csv\0\0", 25);
  EXPECT_EQ(ChooserFilter("CSV Files (*.csv)|*.csv||"), want);
  std::wstring two(L"A\0*.a\0B\0*.b\0\0", 13);
  EXPECT_EQ(ChooserFilter("A|*.a|B|*.b||"), two);
}

TEST(ChooserFilter, IncompleteOrEmptyFiltersGiveNone) {
  EXPECT_EQ(ChooserFilter(""), L"");
  EXPECT_EQ(ChooserFilter("||"), L"");
  EXPECT_EQ(ChooserFilter("Name only"), L"");
}

TEST(ChooserFilter, ATrailByteOfTheBarsValueSplitsNothing) {
  // "ポ" is 0x83 0x7C in code page 932: its trail byte is the value of '|'.
  std::string name = "\x83\x7C (*.csv)";
  std::wstring got = ChooserFilter(name + "|*.csv||");
  std::wstring want = std::wstring(L"\x30DD (*.csv)") + L'\0' + L"*.csv" + L'\0' + L'\0';
  EXPECT_EQ(got, want);
}

TEST(ChooserFlags, TheSaveFormAcceptsNewNames) {
  DWORD asked = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  DWORD save = ChooserFlags(asked, true);
  EXPECT_EQ(save & OFN_FILEMUSTEXIST, 0u);
  EXPECT_NE(save & OFN_PATHMUSTEXIST, 0u);
  EXPECT_NE(save & OFN_NOCHANGEDIR, 0u);
  EXPECT_NE(save & OFN_HIDEREADONLY, 0u);
  EXPECT_NE(save & OFN_EXPLORER, 0u);
  EXPECT_NE(ChooserFlags(asked, false) & OFN_FILEMUSTEXIST, 0u);
}

}  // namespace
