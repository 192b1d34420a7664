#include "outputpath_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "ClConditionEntry.h"
#include "ClFileMgr.h"
#include "cfile.h"
#include "codepage.h"
#include "drivemap.h"
#include "ledger_store.h"
#include "tempdir.h"

namespace {

std::string Find(const std::string& content, const std::string& key, BOOL* ok) {
  char buffer[kPathBufferSize] = {};
  *ok = FindStoredPath(content, key, buffer);
  return buffer;
}

TEST(FindStoredPath, KeyOnlyAtTheStartOfALine) {
  BOOL ok;
  // "xa/D1:" ends with the key "a/D1:", and a value holds it too.
  std::string content = "xa/D1:C:\\other\\x.csv\nb/D1:C:\\a/D1:y\na/D1:C:\\mine.csv\n";
  EXPECT_EQ(Find(content, "a/D1:", &ok), "C:\\mine.csv");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Find("xa/D1:C:\\other.csv\n", "a/D1:", &ok), "");
  EXPECT_FALSE(ok);
  EXPECT_EQ(Find("", "a/D1:", &ok), "");
  EXPECT_FALSE(ok);
}

TEST(FindStoredPath, LastLineWithoutLineFeedAndOverlongValues) {
  BOOL ok;
  EXPECT_EQ(Find("a/D1:C:\\表.csv", "a/D1:", &ok), "C:\\表.csv");
  EXPECT_TRUE(ok);
  std::string longest(MAX_PATH, 'p');
  EXPECT_EQ(Find("a/D1:" + longest + "\n", "a/D1:", &ok), longest);
  EXPECT_TRUE(ok);
  Find("a/D1:" + longest + "q\n", "a/D1:", &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(Find("a/D1:\n", "a/D1:", &ok), "");
  EXPECT_TRUE(ok);
}

TEST(ReplaceStoredLine, MovesTheEntryToTheEndAndKeepsTheOthers) {
  std::string others1 = "b/D1:C:\\b.csv\n", others2 = "xa/D1:C:\\x.csv\n";
  EXPECT_EQ(ReplaceStoredLine(others1 + "a/D1:C:\\old.csv\n" + others2, "a/D1:", "a/D1:new\n"),
            others1 + others2 + "a/D1:new\n");
  EXPECT_EQ(ReplaceStoredLine(others1, "a/D1:", "a/D1:new\n"), others1 + "a/D1:new\n");
  EXPECT_EQ(ReplaceStoredLine("", "a/D1:", "a/D1:new\n"), "a/D1:new\n");
  // Every line of the key goes; a kept last line gets its line feed.
  EXPECT_EQ(ReplaceStoredLine("a/D1:1\nb/D1:2\na/D1:3", "a/D1:", "a/D1:new\n"),
            "b/D1:2\na/D1:new\n");
  EXPECT_EQ(ReplaceStoredLine("b/D1:2", "a/D1:", "a/D1:new\n"), "b/D1:2\na/D1:new\n");
}

TEST(SettingsFile, ReplaceLeavesNoTemporaryFileAndRefusesWhatItCannotRead) {
  TempDir dir;
  ScopedEnv drives("VELOR_DRIVES", "S:=" + dir.path());
  EXPECT_TRUE(ReplaceSettingsFile("S:\\Velorant.env", "a\n"));
  EXPECT_TRUE(ReplaceSettingsFile("S:\\Velorant.env", "b\n"));
  EXPECT_EQ(ReadFileBytes(dir.Native("Velorant.env")), "b\n");
  int entries = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  std::string content;
  EXPECT_TRUE(ReadSettingsFile("S:\\Velorant.env", CFile::modeRead, &content));
  EXPECT_EQ(content, "b\n");
  EXPECT_FALSE(ReadSettingsFile("S:\\missing.env", CFile::modeRead, &content));
  EXPECT_FALSE(ReadSettingsFile("S:\\", CFile::modeRead, &content));
  EXPECT_FALSE(ReplaceSettingsFile("S:\\nofolder\\Velorant.env", "a\n"));
  WriteFileBytes(dir.Native("big.env"), std::string(kSettingsFileLimit + 1, 'x'));
  EXPECT_FALSE(ReadSettingsFile("S:\\big.env", CFile::modeRead, &content));
}

// The dialog's members over a host store whose settings folder is
// <store folder>/settings/.
class RememberedPathTest : public ::testing::Test {
 protected:
  RememberedPathTest() : store_(ReadDemoLedger(), "yamada") {}
  void SetUp() override { ASSERT_TRUE(store_.ok()) << store_.error(); }

  std::string SettingsNative() const { return store_.dir().Native("settings/Velorant.env"); }
  static void Key(ClConditionEntry& d, const char* user, const char* data) {
    std::strcpy(d.m_szUserID, user);
    std::strcpy(d.m_szDataID, data);
  }
  static std::string Load(ClConditionEntry& d, BOOL* ok) {
    char buffer[kPathBufferSize] = {};
    *ok = d.LoadOutputPath(buffer);
    return buffer;
  }

  LedgerStore store_;
};

TEST_F(RememberedPathTest, FirstSecondAndRepeatedSaves) {
  ClConditionEntry d;
  BOOL ok;
  Key(d, "user", "D001");
  Load(d, &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(d.SaveOutputPath("C:\\out\\表\\a.csv"));
  EXPECT_EQ(ReadFileBytes(SettingsNative()), "user/D001:C:\\out\\表\\a.csv\n");
  EXPECT_EQ(Load(d, &ok), "C:\\out\\表\\a.csv");
  EXPECT_TRUE(ok);

  Key(d, "user", "D002");
  EXPECT_TRUE(d.SaveOutputPath("C:\\two.csv"));
  EXPECT_EQ(ReadFileBytes(SettingsNative()),
            "user/D001:C:\\out\\表\\a.csv\nuser/D002:C:\\two.csv\n");

  Key(d, "user", "D001");
  EXPECT_TRUE(d.SaveOutputPath("C:\\again.csv"));
  EXPECT_EQ(ReadFileBytes(SettingsNative()), "user/D002:C:\\two.csv\nuser/D001:C:\\again.csv\n");
  EXPECT_EQ(Load(d, &ok), "C:\\again.csv");
}

TEST_F(RememberedPathTest, AKeyInsideAnotherEntryIsNeverTaken) {
  WriteFileBytes(SettingsNative(), "xuser/D001:C:\\theirs.csv\n");
  ClConditionEntry d;
  Key(d, "user", "D001");
  BOOL ok;
  Load(d, &ok);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(d.SaveOutputPath("C:\\mine.csv"));
  EXPECT_EQ(ReadFileBytes(SettingsNative()), "xuser/D001:C:\\theirs.csv\nuser/D001:C:\\mine.csv\n");
}

TEST_F(RememberedPathTest, FailuresLeaveTheFileAsItWas) {
  ClConditionEntry d;
  Key(d, "user", "D001");
  // A line feed in the path would add a line of its own.
  EXPECT_FALSE(d.SaveOutputPath("C:\\a\nevil/D001:C:\\b.csv"));
  EXPECT_FALSE(NativeExists(SettingsNative()));
  std::string big = "other/D001:" + std::string(kSettingsFileLimit, 'x') + "\n";
  WriteFileBytes(SettingsNative(), big);
  EXPECT_FALSE(d.SaveOutputPath("C:\\a.csv"));
  EXPECT_EQ(ReadFileBytes(SettingsNative()), big);
}

TEST_F(RememberedPathTest, SettingsFolderThatCannotBeCreated) {
  WriteFileBytes(store_.dir().Native("settings"), "a file in the folder's place");
  ClConditionEntry d;
  Key(d, "user", "D001");
  EXPECT_FALSE(d.SaveOutputPath("C:\\a.csv"));
  EXPECT_EQ(ReadFileBytes(store_.dir().Native("settings")), "a file in the folder's place");
}

}  // namespace
