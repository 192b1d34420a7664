#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>
#include <string>

#include "ClAccConnect.h"
#include "ClDataMgr.h"
#include "ClFileMgr.h"
#include "ClSetData.h"
#include "ClSysUser.h"
#include "ClUtyDBHpr.h"
#include "storesql.h"
#include "ledger_store.h"
#include "scripted_frontend.h"
#include "store_admin.h"
#include "messagebox.h"

namespace {

const char8_t kTwoCompanies[] = u8R"({"format": "velor-ledger/1",
  "users": [{"user_id": "tanaka", "selected_data_no": 7, "first_selection": 3},
            {"user_id": "佐藤", "selected_data_no": 99}],
  "companies": [
    {"data_no": 7, "data_id": "D7", "szDataName": "株式会社見本商事", "lTermStart": 20260401,
     "lTermEnd": 20270331, "data_kind": 99, "bEntityKind": 1},
    {"data_no": 2, "data_id": "D2", "szDataName": "二番", "bEntityKind": 3}]})";

TEST(HostConnect, SelectedCompanyAndUserComeFromTheStore) {
  LedgerStore store(kTwoCompanies, u8"tanaka");
  ASSERT_TRUE(store.ok()) << store.error();
  ClSysUser* user = ClDataMgr::Inst()->GetSysUserObject();
  char id[65] = "x";
  EXPECT_EQ(user->GetCurUserID(id), 0);
  EXPECT_STREQ(id, "tanaka");
  LONG first = -1, selected = -1;
  EXPECT_EQ(user->GetSelectedNo(id, &first, &selected), 0);
  EXPECT_EQ(first, 3);
  EXPECT_EQ(selected, 7);

  StDATAINFO* info = ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo();
  EXPECT_STREQ(info->szDataID, "D7");
  EXPECT_EQ(info->lDataNo, 7);
  EXPECT_EQ(std::string(info->szDataName), std::string("株式会社見本商事"));
  EXPECT_EQ(info->lTermStart, 20260401);
  EXPECT_EQ(info->lTermEnd, 20270331);
  EXPECT_EQ(info->nDataKind, 99);
  EXPECT_EQ(info->bEntityKind, 1);
  char text[35];
  ClUtyDBHpr::MakeIDStr(info, text);
  EXPECT_STREQ(text, "D7");
}

TEST(HostConnect, WalkDeliversEveryCompanyInDataNumberOrder) {
  LedgerStore store(kTwoCompanies, u8"tanaka");
  ASSERT_TRUE(store.ok()) << store.error();
  ClSetData* list = ClDataMgr::Inst()->GetSetObject(5, 1);
  LONG cursor = 0;
  ASSERT_EQ(list->GetDatCursor(&cursor), 0);
  list->ReadyDat(cursor, 0);
  std::vector<LONG> numbers;
  StDATAINFO record;
  for (;;) {
    std::memset(&record, 0, sizeof record);
    if (list->WalkDat(&record, cursor) != 0) break;
    numbers.push_back(record.lDataNo);
  }
  list->ReleaseDatCursor(cursor);
  EXPECT_EQ(numbers, (std::vector<LONG>{2, 7}));
  EXPECT_EQ(record.lDataNo, 0) << "the end of the walk leaves the record alone";
  EXPECT_NE(list->WalkDat(&record, cursor), 0) << "a released cursor is refused";
}

TEST(HostConnect, SelectedNumberNamingNoCompanyGivesAnAllZeroRecord) {
  LedgerStore store(kTwoCompanies, u8"佐藤");
  ASSERT_TRUE(store.ok()) << store.error();
  char id[65];
  ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(id);
  EXPECT_EQ(std::string(id), std::string("佐藤"));
  StDATAINFO* info = ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo();
  StDATAINFO zero{};
  EXPECT_EQ(std::memcmp(info, &zero, sizeof zero), 0);
}

TEST(HostConnect, FoldersAreWindowsFormsEndingInABackslash) {
  LedgerStore store(kTwoCompanies, u8"tanaka");
  ASSERT_TRUE(store.ok()) << store.error();
  char folder[261];
  ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(1, folder), 0);
  std::string settings = folder;
  // On a drive: Z: natively (the whole file system), C: under Windows.
  ASSERT_GE(settings.size(), 3u);
  EXPECT_EQ(settings.substr(1, 2), ":\\");
  EXPECT_EQ(settings.back(), '\\');
  EXPECT_NE(settings.find("settings\\"), std::string::npos);
  ASSERT_EQ(ClFileMgr::Inst()->GetAppFolderPath(0, folder), 0);
  EXPECT_NE(std::string(folder).find("out\\"), std::string::npos);
  EXPECT_EQ(ClFileMgr::Inst()->GetAppFolderPath(2, folder), -1);
  EXPECT_STREQ(folder, "");
}

TEST(HostConnect, InitiateRefusesUnusableStoresAndUnknownUsers) {
  TempDir dir;
  WriteFileBytes(dir.Native("junk.sqlite"), "this is not a database at all, not even close.....");
  struct Case {
    std::string path, user, says;
  } cases[] = {
      {dir.Native("missing.sqlite"), "tanaka", "no host store at"},
      {dir.Native("junk.sqlite"), "tanaka", "is not a host store"},
  };
  for (const Case& c : cases) {
    ClAccConnect::SetStoreOptions(c.path.c_str(), c.user.c_str());
    std::string err;
    EXPECT_NE(ClAccConnect::Inst()->Initiate(&err), 0) << c.path;
    EXPECT_NE(err.find(c.says), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 0) << err;
    EXPECT_NE(ClAccConnect::Inst()->ExpSysLink(), 0);
  }
  {
    LedgerStore store(kTwoCompanies, u8"tanaka");
    ASSERT_TRUE(store.ok()) << store.error();
    ClAccConnect::Inst()->Terminate();
    ClAccConnect::SetStoreOptions(store.path().c_str(), "suzuki");
    std::string err;
    EXPECT_NE(ClAccConnect::Inst()->Initiate(&err), 0);
    EXPECT_NE(err.find("user \"suzuki\" is not in the host store"), std::string::npos) << err;
  }
  char id[65] = "x";
  EXPECT_EQ(ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(id), -1);
  EXPECT_STREQ(id, "");
}

TEST(HostConnect, StoreAndUserComeFromTheEnvironmentWhenNotGiven) {
  LedgerStore store(kTwoCompanies, u8"tanaka");
  ASSERT_TRUE(store.ok()) << store.error();
  ClAccConnect::Inst()->Release();
  ScopedEnv db("VELOR_HOST_DB", store.path());
  ScopedEnv user("VELOR_USER", reinterpret_cast<const char*>(u8"佐藤"));
  ClAccConnect::SetStoreOptions(nullptr, nullptr);
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
  char id[65];
  ClDataMgr::Inst()->GetSysUserObject()->GetCurUserID(id);
  EXPECT_EQ(std::string(id), std::string("佐藤"));
}

TEST(HostConnect, MessageDisplayNamesTheStoresProduct) {
  LedgerStore store(kTwoCompanies, u8"tanaka");
  ASSERT_TRUE(store.ok()) << store.error();
  ScriptedFrontEnd fe;
  // A store without a name (as stores made before names were kept) shows the
  // default one; the token is never shown, also beside double-byte text.
  ClAccConnect::Inst()->DispMsg(nullptr, "ES_APRPACKAGENAMEが正しく\x82" "ES_APRPACKAGENAME", "c",
                                MB_ICONEXCLAMATION);
  std::unique_ptr<StoreSql> sql;
  std::string error;
  ASSERT_TRUE(OpenStoreSql(store.path(), true, &sql).ok());
  ASSERT_TRUE(SetProductName(sql.get(), "見本償却", &error)) << error;
  sql.reset();
  ClAccConnect::Inst()->DispMsg(nullptr, "インストールされているES_APRPACKAGENAMEでは", "c", 0);
  ASSERT_EQ(fe.boxes().size(), 2u);
  // After the lead byte 0x82 the 'E' is its trail byte: no token starts there.
  EXPECT_EQ(fe.boxes()[0].text,
            std::string(kDefaultProductName) + "が正しく\x82" + "ES_APRPACKAGENAME");
  EXPECT_EQ(fe.boxes()[1].text, "インストールされている見本償却では");
}

// Without a store named by the caller or VELOR_HOST_DB the default store is
// used; without one either Initiate says so and connects nothing.
TEST(HostConnect, DefaultStoreComesLastAndItsAbsenceIsSaid) {
  LedgerStore store(kTwoCompanies, u8"tanaka");
  ASSERT_TRUE(store.ok()) << store.error();
  ClAccConnect::Inst()->Release();
  ScopedEnv db("VELOR_HOST_DB", "");
  ClAccConnect::SetStoreOptions(nullptr, "tanaka", store.path().c_str());
  ASSERT_EQ(ClAccConnect::Inst()->Initiate(), 0);
  ClAccConnect::Inst()->Release();

  ClAccConnect::SetStoreOptions(nullptr, "tanaka");
  std::string reason;
  EXPECT_NE(ClAccConnect::Inst()->Initiate(&reason), 0);
  EXPECT_NE(reason.find("no host store given"), std::string::npos) << reason;
  EXPECT_FALSE(ClAccConnect::Inst()->IsConnected());
}

}  // namespace
