#include "sheet_ledger.h"

#include <gtest/gtest.h>

#include <sstream>

#include "crtio.h"
#include "csv_book.h"
#include "csv_sink.h"
#include "fs.h"
#include "ledger_export.h"
#include "ledger_generate.h"
#include "ledger_import.h"
#include "ledger_store.h"
#include "storesql.h"
#include "tempdir.h"

namespace {

class SheetLedgerTest : public testing::Test {
 protected:
  StoreSql* NewStore(const std::string& name) {
    std::unique_ptr<StoreSql> sql;
    StoreError error = CreateStoreSql(dir_.Native(name), "C:\\out\\", "C:\\set\\", &sql);
    EXPECT_TRUE(error.ok()) << error.detail;
    stores_.push_back(std::move(sql));
    return stores_.back().get();
  }
  // Imports the CSV folder into db; the loader's problems.
  LedgerProblems ImportFolder(StoreSql* db, const std::string& folder, bool* done = nullptr) {
    LedgerLoader loader(db, {});
    CsvFolder book(folder);
    std::string error;
    EXPECT_TRUE(book.Open(&error)) << error;
    if (loader.Begin()) ReadSheetLedger(book, &loader);
    bool finished = loader.Finish();
    if (done) *done = finished;
    return loader.problems();
  }
  void Write(const std::string& name, const std::string& text) {
    std::string why;
    ASSERT_TRUE(ReplaceNativeFile(dir_.Native(name).c_str(), text, &why)) << why;
  }
  std::string Json(StoreSql* db) {
    std::ostringstream out;
    std::string error;
    EXPECT_TRUE(ExportStoreJson(db, out, &error)) << error;
    return out.str();
  }
  // The JSON of db after a trip through CSV files into a new store.
  void ExpectCsvRoundTrip(StoreSql* db, const std::string& name) {
    CsvSink sink(dir_.Native(name));
    std::string error;
    ASSERT_TRUE(ExportStoreSheets(db, &sink, &error)) << error;
    StoreSql* again = NewStore(name + ".sqlite");
    bool done = false;
    LedgerProblems problems = ImportFolder(again, dir_.Native(name), &done);
    ASSERT_TRUE(done) << problems.Text();
    EXPECT_EQ(Json(again), Json(db));
  }

  TempDir dir_;
  std::vector<std::unique_ptr<StoreSql>> stores_;
};

TEST_F(SheetLedgerTest, NamesEveryBadCellWithSheetRowColumnAndValue) {
  CreateNativeFolders(Fs::Default(), dir_.Native("book"));
  Write("book/" + std::string(UTF8("会社")) + ".csv",
        UTF8("データ番号,データID,会社名,期首日,色\r\n1,A1,見本,2025/04/01,\r\n2,B 2,x,2025/13/01,赤\r\n"));
  Write("book/" + std::string(UTF8("資産")) + ".csv",
        UTF8("データ番号,資産コード,取得価額,償却方法,,取得日\r\n1,X1,\"¥1,234\",5:定率法,,45748\r\n"
             "1,X2,1.23456,9x,oops,\r\n3,X3,,,,\r\n"));
  Write("book/" + std::string(UTF8("内訳")) + ".csv", UTF8("データ番号,資産コード\r\n1,X9\r\n"));
  // A file in code page 932 reads as well: 利用者 with user sato selecting 1.
  Write("book/\xE5\x88\xA9\xE7\x94\xA8\xE8\x80\x85.csv", "\x97\x98\x97\x70\x8E\xD2\x49\x44,\x91\x49\x91\xF0\x83\x66"
                                                        "\x81\x5B\x83\x5E\x94\xD4\x8D\x86\r\nsato,1\r\n");
  Write("book/notes.csv", "x\r\n");
  StoreSql* db = NewStore("s.sqlite");
  bool done = true;
  LedgerProblems problems = ImportFolder(db, dir_.Native("book"), &done);
  EXPECT_FALSE(done);
  EXPECT_EQ(problems.Text(),
            std::string(UTF8(
                "notes: unknown sheet; the sheets are 会社, 利用者, 資産種類, 資産, 内訳 (and 説明)\n"
                "会社 row 1, column E: unknown column title \"色\"\n"
                "会社 row 3, column D (期首日), value \"2025/13/01\": not a date: a date cell, 2025/04/01 or 20250401\n"
                "会社 row 3, column B (データID), value \"B 2\": must hold 1 to 15 ASCII letters and digits\n"
                "資産 row 3, column D (償却方法), value \"9x\": not a code: a whole number or an entry of its list (5 or "
                "5:...)\n"
                "資産 row 3, column E: a value in a column without a title: \"oops\"\n"
                "資産 row 3, column C (取得価額), value \"1.23456\": \"1.23456\" is not a decimal number with at most four "
                "fraction digits\n"
                "資産 row 4, column A (データ番号), value \"3\": no company of the sheet 会社 has this data number\n"
                "内訳 row 2, column B (資産コード), value \"X9\": no asset of this company on the sheet 資産 has this code")));
  std::unique_ptr<SqlStatement> count;
  bool row = false;
  ASSERT_TRUE(db->Prepare("SELECT count(*) FROM companies", &count).ok());
  ASSERT_TRUE(count->Step(&row).ok());
  ASSERT_TRUE(row);
  EXPECT_EQ(count->ColumnInt(0), 0);
}

TEST_F(SheetLedgerTest, TheDemoLedgerAndAmountsAtTheLimitsComeBackThroughCsvFiles) {
  StoreSql* demo = NewStore("demo-json.sqlite");
  std::istringstream ledger(ReadDemoLedger());
  std::string error;
  ASSERT_TRUE(ImportLedger(demo, ledger, &error)) << error;
  ExpectCsvRoundTrip(demo, "demo");

  StoreSql* limits = NewStore("limits-json.sqlite");
  std::istringstream edge(UTF8(R"({"format": "velor-ledger/1", "users": [{"user_id": "鈴木", "selected_data_no": -2147483648}],
    "companies": [{"data_no": -2147483648, "data_id": "Z9", "szDataName": " 先頭と末尾に空白 ", "lTermStart": 5,
      "lTermEnd": 20250230, "bEntityKind": 255, "data_kind": -32768,
      "asset_kinds": [{"lKindNo": 2147483647, "szKindName": "\"引用\",カンマ\n改行"}],
      "assets": [{"szAssetCode": "007", "cyAcquisitionCost": "922337203685477.5807",
                  "cyCompressionAmount": "-922337203685477.5808", "cyLimit": "0.0001", "cyResidualValue": "0.1",
                  "cyAccumulated": "900719925474.0993", "lAcquiredDate": 19000228, "lServiceDate": 19000301,
                  "lDisposalDate": -1, "nMethod": 4, "breakdowns": [{"szBreakdownName": "a", "cyBreakdownCost": "-0.5"},
                  {"lBreakdownDate": 99991231, "lBreakdownQuantity": -7}]},
                 {"szAssetCode": "008"}, {"szAssetCode": "008"}, {"szAssetCode": ""}]}]})"));
  ASSERT_TRUE(ImportLedger(limits, edge, &error, true)) << error;
  ExpectCsvRoundTrip(limits, "limits");

  StoreSql* generated = NewStore("generated-json.sqlite");
  GeneratedCompany made;
  ASSERT_TRUE(GenerateCompany(generated, 3000, 11, &made, &error)) << error;
  ExpectCsvRoundTrip(generated, "generated");
}

TEST_F(SheetLedgerTest, ABreakdownLineOfASharedCodeCannotBeNamedOnASheet) {
  StoreSql* db = NewStore("shared.sqlite");
  std::istringstream ledger(R"({"format": "velor-ledger/1", "companies": [{"data_no": 1, "data_id": "A", "assets": [
      {"szAssetCode": "9", "nMethod": 4, "breakdowns": [{}]}, {"szAssetCode": "9"}]}]})");
  std::string error;
  ASSERT_TRUE(ImportLedger(db, ledger, &error)) << error;
  CsvSink sink(dir_.Native("shared"));
  EXPECT_FALSE(ExportStoreSheets(db, &sink, &error));
  EXPECT_NE(error.find("the asset code \"9\" of a lump-sum asset with breakdown lines is used by several assets"),
            std::string::npos) << error;
}

}  // namespace
