#include "ClDepreciation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ClDataMgr.h"
#include "ClSetData.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"
#include "wintime.h"

namespace {

const char kAssetPath[] = "C:\\data\\out\\assets.csv";

// A ledger of one company data set with the given assets (JSON array).
std::u8string Ledger(const std::u8string& assets, const std::u8string& kinds = u8"[]") {
  return u8R"({"format": "velor-ledger/1",
    "users": [{"user_id": "sato", "selected_data_no": 1}],
    "companies": [{"data_no": 1, "data_id": "D0001", "szDataName": "株式会社見本商事",
      "lTermStart": 20260401, "lTermEnd": 20270331, "bEntityKind": 1,
      "asset_kinds": )" + kinds + u8R"(, "assets": )" + assets + u8"}]}";
}

// An ordinary asset with code and quantity text.
std::u8string Asset(const char8_t* code, const char8_t* quantity) {
  return std::u8string(u8R"({"szAssetCode": ")") + code + u8R"(", "lKindCode": 5, "szAssetName": "机",
      "szQuantity": ")" + quantity + u8R"(", "lAcquiredDate": 20240510, "lServiceDate": 20240601,
      "cyAcquisitionCost": "480000", "nMethod": 5, "nUsefulLife": 5, "lRate": 400})";
}

// Drive C: maps to a temporary folder holding data\out; the rest of the
// machine stays reachable for the store.
class ExportRunTest : public ::testing::Test {
 protected:
  ExportRunTest() {
    drives_.Add("C:", dir_.path());
    MakeNativeFolders(dir_.Native("data/out"));
  }
  std::string Bytes(const char* name) const {
    return ReadFileBytes(dir_.Native(std::string("data/out/") + name));
  }
  // The selected company data as start-up copies it.
  static StDATAINFO Selected() { return *ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo(); }

  // Runs the three stages and the commit on path and returns the engine's
  // file failures.
  unsigned Run(const char* path, BOOL* overflow = nullptr, int* committed = nullptr) {
    StDATAINFO data = Selected();
    ClDepreciation engine;
    engine.m_strOutputPath = path;
    EXPECT_EQ(engine.OutputPreamble(&data), 1);
    EXPECT_EQ(engine.OutputAssets(&data), 1);
    EXPECT_EQ(engine.OutputAssetKinds(&data), 1);
    int done = engine.CommitOutput();
    if (committed != nullptr) *committed = done;
    if (overflow != nullptr) *overflow = engine.StoppedOnOverflow();
    return engine.GetFileFailures();
  }
  // The names in the output folder, sorted.
  std::vector<std::string> Names() const { return FolderEntryNames(dir_.Native("data/out")); }

  TempDir dir_;
  TestDrives drives_;
};

// The asset-kind file's lines before its rows, dated date.
std::string KindHeader(const SYSTEMTIME& date) {
  std::string rule = ";" + std::string(93, '/') + "\r\n";
  return rule + ";減価償却 資産種類ファイル\r\n;顧問先\t\t：[0004 法人関与先]\r\n;日付\t\t：" +
         std::to_string(date.wYear) + "/" + std::to_string(date.wMonth) + "/" +
         std::to_string(date.wDay) + "\r\n;備考\t\t：\r\n;\r\n" + rule +
         "\r\n[Commonlnf]\r\nSisanSyuruiCDKetasuu=2\r\nHoujinKojinKubun=1\r\n"
         "Version=25. 0. 0. 0(FILEVERSION=1.1)\r\n\r\n[Datalnf]\r\nSisanSyurui=1\r\n\r\n"
         "[SisanSyurui]\r\n";
}

TEST_F(ExportRunTest, CompanyWithoutAssets) {
  LedgerStore store(Ledger(u8"[]"), u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  WriteFileBytes(dir_.Native("data/out/VelrixSysErr.txt"), "entries of an earlier run");
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  BOOL overflow = TRUE;
  EXPECT_EQ(Run(kAssetPath, &overflow), 0u);
  GetLocalTime(&after);
  EXPECT_FALSE(overflow);

  std::string assets = Bytes("assets.csv");
  EXPECT_EQ(assets.substr(0, assets.find(";資産コード")),
            "バージョン=25. 0. 0. 0(FILEVERSION=1.11)\r\n顧問先コード=\r\n"
            "顧問先名称=株式会社見本商事\r\n法人個人区分=法人\r\n"
            "事業年度開始日=20260401\r\n事業年度終了日=20270331\r\n");
  EXPECT_EQ(std::count(assets.begin(), assets.end(), '\n'), 7);
  EXPECT_EQ(assets.substr(assets.size() - 3), ",\r\n");
  // The log has no entries: the earlier one is gone, and no new one is there.
  EXPECT_FALSE(NativeExists(dir_.Native("data/out/VelrixSysErr.txt")));
  std::string kinds = Bytes("syurui.SSC");
  EXPECT_TRUE(kinds == KindHeader(before) || kinds == KindHeader(after)) << kinds;
}

TEST_F(ExportRunTest, RowsAndKindsReachTheirFiles) {
  LedgerStore store(Ledger(std::u8string(u8"[") + Asset(u8"1", u8"2台") + u8"," + Asset(u8"2", u8"1台") + u8"]",
                           u8R"([{"lKindNo": 5, "szKindName": "器具備品", "nKindMethod": 1},
                                 {"lKindNo": 11, "szKindName": "土地"}])"),
                    u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  EXPECT_EQ(Run(kAssetPath), 0u);
  std::string assets = Bytes("assets.csv");
  EXPECT_EQ(std::count(assets.begin(), assets.end(), '\n'), 9);
  EXPECT_NE(assets.find("\r\n000001,"), std::string::npos);
  EXPECT_NE(assets.find("\r\n000002,"), std::string::npos);
  std::string kinds = Bytes("syurui.SSC");
  EXPECT_EQ(std::count(kinds.begin(), kinds.end(), '\n'), 19);
}

TEST_F(ExportRunTest, OverflowEndsTheRowsInOrder) {
  LedgerStore store(Ledger(std::u8string(u8"[") + Asset(u8"1", u8"2台") + u8"," + Asset(u8"2", u8"1e20台") + u8"," +
                           Asset(u8"3", u8"1台") + u8"]"),
                    u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  WriteFileBytes(dir_.Native("data/out/assets.csv"), "previous rows");
  BOOL overflow = FALSE;
  int committed = 1;
  EXPECT_EQ(Run(kAssetPath, &overflow, &committed), 0u);
  EXPECT_TRUE(overflow);
  // The rows after the overflow are missing: nothing is put in place.
  EXPECT_EQ(committed, 0);
  EXPECT_EQ(Bytes("assets.csv"), "previous rows");
  EXPECT_EQ(Names(), std::vector<std::string>{"assets.csv"});
}

TEST_F(ExportRunTest, FilesThatCannotBeWrittenAreReported) {
  LedgerStore store(Ledger(u8"[]"), u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  EXPECT_EQ(Run("C:\\missing\\assets.csv"),
            ClDepreciation::kFailedAsset | ClDepreciation::kFailedKind | ClDepreciation::kFailedLog);
  // A folder at the asset file's name is never replaced; the set of files is
  // not put in place, so the earlier log stays.
  MakeNativeFolders(dir_.Native("data/out/assets.csv"));
  WriteFileBytes(dir_.Native("data/out/VelrixSysErr.txt"), "old");
  EXPECT_EQ(Run(kAssetPath),
            ClDepreciation::kFailedAsset | ClDepreciation::kFailedKind | ClDepreciation::kFailedLog);
  EXPECT_EQ(Bytes("VelrixSysErr.txt"), "old");
  EXPECT_EQ(Names(), (std::vector<std::string>{"VelrixSysErr.txt", "assets.csv"}));
}

}  // namespace
