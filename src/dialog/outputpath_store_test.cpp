#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ClAccConnect.h"
#include "ClConditionEntry.h"
#include "faultfs.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "settingsfile.h"
#include "tempdir.h"

namespace {

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

// A store read that fails while the settings folder is read: the save
// fails, and never writes the file anywhere but in that folder (a bare name
// would be a file in the current folder, beside the program).
TEST_F(RememberedPathTest, ASettingsFolderTheStoreCannotGiveFailsTheSave) {
  ClConditionEntry d;
  Key(d, "user", "D001");
  int failed = 0;
  for (int nth = 1; nth <= 80; ++nth) {
    // The store is opened anew under the faults, so that its reads meet them.
    ClAccConnect::Inst()->Terminate();
    FaultFs faults;
    faults.FailNth(FsOp::kRead, nth, FsError::kIoError, store_.path());
    BOOL saved = TRUE;
    bool connected;
    {
      ScopedFs scoped(&faults);
      connected = ClAccConnect::Inst()->Initiate() == 0;
      if (connected) saved = d.SaveOutputPath("C:\\a.csv");
      ClAccConnect::Inst()->Terminate();
    }
    ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
    if (!connected) continue;  // the fault struck while connecting
    if (!saved) {
      ++failed;
      EXPECT_EQ(Fs::LastError(), FsError::kIoError) << nth;
    }
    EXPECT_FALSE(NativeExists("Velorant.env")) << nth;
    EXPECT_EQ(NativeExists(SettingsNative()), saved != FALSE) << nth;
    std::remove(SettingsNative().c_str());
    if (faults.Struck() == 0) break;
  }
  EXPECT_GE(failed, 1);
  char file[kPathBufferSize];
  ASSERT_TRUE(ClConditionEntry::GetSettingsFilePath(file));
  EXPECT_NE(std::strstr(file, "Velorant.env"), file);
}

TEST_F(RememberedPathTest, AKeyWithALineBreakIsNeverWrittenOrRead) {
  WriteFileBytes(SettingsNative(), "victim/D001:C:\\theirs.csv\n");
  ClConditionEntry d;
  Key(d, "x\nvictim", "D001");
  EXPECT_FALSE(d.SaveOutputPath("C:\\forged.csv"));
  EXPECT_EQ(ReadFileBytes(SettingsNative()), "victim/D001:C:\\theirs.csv\n");
  BOOL ok;
  Load(d, &ok);
  EXPECT_FALSE(ok);
}

TEST_F(RememberedPathTest, ATooLargeFileIsSaidToBeTooLarge) {
  WriteFileBytes(SettingsNative(), std::string(kSettingsFileLimit + 1, 'x'));
  ClConditionEntry d;
  Key(d, "user", "D001");
  EXPECT_FALSE(d.SaveOutputPath("C:\\a.csv"));
  EXPECT_EQ(Fs::LastError(), FsError::kTooLarge);
}

// A save into a new settings folder that fails leaves no empty settings
// file behind (the lock had made it).
TEST_F(RememberedPathTest, AFailedFirstSaveLeavesNoEmptyFile) {
  ClConditionEntry d;
  Key(d, "user", "D001");
  FaultFs faults;
  faults.FailNth(FsOp::kWrite, 1, FsError::kDiskFull, ".tmp");
  {
    ScopedFs scoped(&faults);
    EXPECT_FALSE(d.SaveOutputPath("C:\\a.csv"));
  }
  EXPECT_EQ(faults.Struck(), 1);
  EXPECT_EQ(Fs::LastError(), FsError::kDiskFull);
  EXPECT_FALSE(NativeExists(SettingsNative()));
}

// A settings file the user marked read-only is not replaced; one that is
// replaced keeps its permissions (CopyMode, as the asset files do).
TEST_F(RememberedPathTest, AReadOnlySettingsFileIsNotReplaced) {
  WriteFileBytes(SettingsNative(), "other/D001:C:\\x.csv\n");
  MakeReadOnly(SettingsNative());
  ClConditionEntry d;
  Key(d, "user", "D001");
  EXPECT_FALSE(d.SaveOutputPath("C:\\a.csv"));
  EXPECT_EQ(Fs::LastError(), FsError::kAccessDenied);
  EXPECT_EQ(ReadFileBytes(SettingsNative()), "other/D001:C:\\x.csv\n");
}

TEST_F(RememberedPathTest, SettingsFolderThatCannotBeCreated) {
  WriteFileBytes(store_.dir().Native("settings"), "a file in the folder's place");
  ClConditionEntry d;
  Key(d, "user", "D001");
  EXPECT_FALSE(d.SaveOutputPath("C:\\a.csv"));
  EXPECT_EQ(ReadFileBytes(store_.dir().Native("settings")), "a file in the folder's place");
}

}  // namespace
