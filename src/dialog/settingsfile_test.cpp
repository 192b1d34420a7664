#include "settingsfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

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

// A file edited in Notepad ends its lines in CR LF, an old one in CR: no
// value keeps a CR, and a line is replaced whole.
TEST(FindStoredPath, EveryLineEndAlike) {
  BOOL ok;
  EXPECT_EQ(Find("b/D1:C:\\b.csv\r\na/D1:C:\\a.csv\r\n", "a/D1:", &ok), "C:\\a.csv");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Find("b/D1:C:\\b.csv\ra/D1:C:\\a.csv\r", "a/D1:", &ok), "C:\\a.csv");
  EXPECT_TRUE(ok);
  EXPECT_EQ(Find("a/D1:C:\\a.csv\r", "a/D1:", &ok), "C:\\a.csv");
  EXPECT_EQ(ReplaceStoredLine("a/D1:C:\\old.csv\r\nb/D1:2\r\n", "a/D1:", "a/D1:new\n"),
            "b/D1:2\r\na/D1:new\n");
  EXPECT_EQ(ReplaceStoredLine("b/D1:2\ra/D1:1\r", "a/D1:", "a/D1:new\n"), "b/D1:2\ra/D1:new\n");
}

// A user ID with a line break (a store edited by hand) keys no line.
TEST(FindStoredPath, AKeyWithAControlCharacterFindsNothing) {
  BOOL ok;
  Find("x\nvictim/D1:C:\\theirs.csv\n", "x\nvictim/D1:", &ok);
  EXPECT_FALSE(ok);
  EXPECT_FALSE(IsSettingsKey("a\tb/D1:"));
  EXPECT_FALSE(IsSettingsKey("a\x7F/D1:"));
  EXPECT_FALSE(IsSettingsKey(""));
  EXPECT_TRUE(IsSettingsKey("表/D1:"));
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
  TestDrives drives;
  drives.Add("S:", dir.path());
  EXPECT_EQ(FsError::kNone, ReplaceSettingsFile("S:\\Velorant.env", "a\n"));
  EXPECT_EQ(FsError::kNone, ReplaceSettingsFile("S:\\Velorant.env", "b\n"));
  EXPECT_EQ(ReadFileBytes(dir.Native("Velorant.env")), "b\n");
  EXPECT_EQ(CountFolderEntries(dir.path()), 1);
  std::string content;
  EXPECT_TRUE(ReadSettingsFile("S:\\Velorant.env", &content));
  EXPECT_EQ(content, "b\n");
  EXPECT_FALSE(ReadSettingsFile("S:\\missing.env", &content));
  EXPECT_FALSE(ReadSettingsFile("S:\\", &content));
  EXPECT_EQ(FsError::kNotFound, ReplaceSettingsFile("S:\\nofolder\\Velorant.env", "a\n"));
  WriteFileBytes(dir.Native("big.env"), std::string(kSettingsFileLimit + 1, 'x'));
  EXPECT_FALSE(ReadSettingsFile("S:\\big.env", &content));
}

}  // namespace
