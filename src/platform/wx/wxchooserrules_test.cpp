#include "wxchooserrules.h"

#include <gtest/gtest.h>

namespace {

TEST(WildcardFromFilter, FrameworkFilterBecomesChooserWildcard) {
  EXPECT_EQ(WildcardFromFilter("CSV Files (*.csv)|*.csv||"), "CSV Files (*.csv)|*.csv");
  EXPECT_EQ(WildcardFromFilter("A|*.a|B|*.b||"), "A|*.a|B|*.b");
  // Code page 932 names are shown in UTF-8: "全て" is 91 53 82 C4.
  EXPECT_EQ(WildcardFromFilter("\x91\x53\x82\xC4|*.*||"), "\xE5\x85\xA8\xE3\x81\xA6|*.*");
  EXPECT_EQ(WildcardFromFilter(""), "");
  EXPECT_EQ(WildcardFromFilter("A|*.a"), "A|*.a");  // without the closing bars
}

TEST(AddDefaultExtension, OnlyNamesWithoutExtension) {
  EXPECT_EQ(AddDefaultExtension("/d/out", "CSV"), "/d/out.CSV");
  EXPECT_EQ(AddDefaultExtension("/d/out.csv", "CSV"), "/d/out.csv");
  EXPECT_EQ(AddDefaultExtension("/d.x/out", "CSV"), "/d.x/out.CSV");  // a dot in a folder
  EXPECT_EQ(AddDefaultExtension("/d/.hidden", "CSV"), "/d/.hidden.CSV");
  EXPECT_EQ(AddDefaultExtension("/d/out", ""), "/d/out");
  EXPECT_EQ(AddDefaultExtension("/d/", "CSV"), "/d/");
}

}  // namespace
