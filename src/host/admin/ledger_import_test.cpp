#include "ledger_import.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "ClDataMgr.h"
#include "ClRuleGenkashokyaku.h"
#include "ClSetData.h"
#include "codepage.h"
#include "faultfs.h"
#include "storesql.h"
#include "ledger_store.h"
#include "taskalloc.h"

namespace {

std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

std::string Cp932Of(const nlohmann::json& v) {
  std::string out;
  EXPECT_TRUE(Utf8ToCp932(v.get<std::string>(), &out));
  return out;
}

long long CurrencyOf(const nlohmann::json& v) {
  if (v.is_number_integer()) return v.get<long long>() * 10000;
  return std::stoll(v.get<std::string>()) * 10000;  // the demo has whole yen only
}

// A store made by velor-host init, opened for writing, with table counts.
class ImportTest : public testing::Test {
 protected:
  void SetUp() override {
    StoreError error = CreateStoreSql(dir_.Native("h.sqlite"), "C:\\out\\", "C:\\set\\", &sql_);
    ASSERT_TRUE(error.ok()) << error.detail;
    db_ = sql_.get();
  }
  // The first row's column of the query sql ("" when it has none).
  std::string Value(const std::string& sql, int column = 0) {
    std::unique_ptr<SqlStatement> query;
    bool row = false;
    if (!db_->Prepare(sql, &query).ok() || !query->Step(&row).ok() || !row) return "";
    return query->IsNull(column) ? "" : std::to_string(query->ColumnInt(column));
  }

  bool Import(const std::string& ledger, std::string* error) {
    std::istringstream in(ledger);
    return ImportLedger(db_, in, error);
  }
  std::string Counts() {
    std::string out;
    for (const char* table : {"users", "companies", "asset_kinds", "assets", "breakdowns"}) {
      out += std::string(table) + "=" + Value(std::string("SELECT count(*) FROM ") + table) + " ";
    }
    return out;
  }

  TempDir dir_;
  std::unique_ptr<StoreSql> sql_;
  StoreSql* db_ = nullptr;
};

// A ledger with one company "D1" (data number 1) and one user "sato"; extra
// text is spliced into the company, the first asset and the top level.
std::string Ledger(const std::string& asset = "", const std::string& company = "",
                   const std::string& top = "") {
  return R"({"format": "velor-ledger/1", "users": [{"user_id": "sato", "selected_data_no": 1}],)" +
         top + R"( "companies": [{"data_no": 1, "data_id": "D1", )" + company +
         R"( "asset_kinds": [{"lKindNo": 5, "szKindName": "a"}],
         "assets": [{"szAssetCode": "1", "nMethod": 6 )" + asset +
         R"(}, {"szAssetCode": "2", "nMethod": 4, "breakdowns": [{"szBreakdownName": "x"}]}]}]})";
}

TEST_F(ImportTest, EveryRuleIsRefusedWithItsPlaceAndNothingReachesTheStore) {
  std::string error;
  ASSERT_TRUE(Import(R"({"format": "velor-ledger/1", "users": [{"user_id": "kept", "selected_data_no": 9}],
      "companies": [{"data_no": 9, "data_id": "K9"}]})", &error)) << error;
  const std::string before = Counts();
  const std::string name201 = std::string(201, 'n');
  struct Case {
    std::string ledger, says;
  } cases[] = {
      {R"({"users": []})", "format: required"},
      {R"({"format": "velor-ledger/2"})", "format: must be \"velor-ledger/1\""},
      {R"([1, 2])", "the ledger must be a JSON object"},
      {R"({"format": "velor-ledger/1", "users": [], )", "not valid JSON"},
      {Ledger() + " x", "not valid JSON"},
      {Ledger("", "", R"("colour": 1,)"), "colour: unknown key"},
      {Ledger(R"(, "szAssetNmae": "x")"), "companies[0].assets[0].szAssetNmae: unknown key"},
      {Ledger(R"(, "abAssetKey": "x")"), "companies[0].assets[0].abAssetKey: unknown key"},
      {Ledger(R"(, "szAssetName": ")" + name201 + "\""),
       "companies[0].assets[0].szAssetName: 201 bytes in code page 932, at most 192"},
      {Ledger(R"(, "szMemo": "\ud83d\ude00")"),
       "companies[0].assets[0].szMemo: character U+1F600 has no code page 932 form"},
      {Ledger(R"(, "szMemo": "a\u0000b")"), "companies[0].assets[0].szMemo: a text may not hold"},
      {Ledger(R"(, "nUsefulLife": 40000)"),
       "companies[0].assets[0].nUsefulLife: 40000 is not an integer from -32768 to 32767"},
      {Ledger(R"(, "lKindCode": 1.5)"), "companies[0].assets[0].lKindCode: expected an integer"},
      {Ledger(R"(, "bInherited": 256)"), "companies[0].assets[0].bInherited: 256 is not"},
      {Ledger(R"(, "szQuantity": 2)"), "companies[0].assets[0].szQuantity: expected a text"},
      {Ledger(R"(, "breakdowns": [{"szBreakdownName": "y"}])"),
       "companies[0].assets[0].breakdowns[0]: breakdown lines belong to lump-sum assets (nMethod 4) only"},
      {Ledger(R"(, "cyLimit": "1.23456")"), "companies[0].assets[0].cyLimit: \"1.23456\" is not a decimal"},
      {Ledger(R"(, "cyLimit": "1,000")"), "companies[0].assets[0].cyLimit: \"1,000\" is not"},
      {Ledger(R"(, "cyLimit": ".5")"), "companies[0].assets[0].cyLimit: \".5\" is not"},
      {Ledger(R"(, "cyLimit": 1.5)"), "companies[0].assets[0].cyLimit: expected a decimal number"},
      {Ledger(R"(, "cyLimit": "922337203685478")"), "cyLimit: the amount times 10,000 does not fit"},
      {Ledger(R"(, "cyLimit": 922337203685478)"), "cyLimit: the amount times 10,000 does not fit"},
      {Ledger(R"(, "cyLimit": "922337203685477.5808")"), "cyLimit: the amount times 10,000 does not fit"},
      {Ledger(R"(, "cyLimit": "-99999999999999999999999")"), "cyLimit: the amount times 10,000 does not fit"},
      {Ledger(R"(, "nMethod": 5)"), "companies[0].assets[0].nMethod: duplicate key"},
      {Ledger(R"(, "breakdowns": [{"szBreakdownNo": "1"}])"),
       "companies[0].assets[0].breakdowns[0].szBreakdownNo: unknown key"},
      {Ledger(R"(, "breakdowns": [{"szBreakdownName": ")" + std::string(83, 'b') + R"("}])"),
       "breakdowns[0].szBreakdownName: 83 bytes in code page 932, at most 82"},
      {Ledger(R"(, "breakdowns": {})"), "companies[0].assets[0].breakdowns: expected an array"},
      {Ledger("", R"("szDataName": ")" + std::string(260, 'c') + R"(",)"),
       "companies[0].szDataName: 260 bytes in code page 932, at most 259"},
      {Ledger("", R"("bEntityKind": -1,)"), "companies[0].bEntityKind: -1 is not"},
      {Ledger("", R"("data_no": 2,)"), "companies[0].data_no: duplicate key"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_id": "A"}]})", "companies[0].data_no: required"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3}]})", "companies[0].data_id: required"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "A-1"}]})",
       "companies[0].data_id: must hold 1 to 15 ASCII letters and digits"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "ABCDEFGHIJKLMNOP"}]})",
       "companies[0].data_id: 16 bytes"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 9, "data_id": "A"}]})",
       "companies[0].data_no: 9 is already in the store"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "K9"}]})",
       "companies[0].data_id: \"K9\" is already in the store"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "A"}, {"data_no": 3, "data_id": "B"}]})",
       "companies[1].data_no: 3 is used by an earlier company"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "A"}, {"data_no": 4, "data_id": "A"}]})",
       "companies[1].data_id: \"A\" is used by an earlier company"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "A", "assets": [1]}]})",
       "companies[0].assets[0]: expected an object"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "A", "assets": 1}]})",
       "companies[0].assets: expected an array"},
      {R"({"format": "velor-ledger/1", "companies": {}})", "companies: expected an array"},
      {R"({"format": "velor-ledger/1", "companies": [{"data_no": 3, "data_id": "A", "asset_kinds": [{"szKindName": ")" +
           std::string(82, 'k') + R"("}]}]})",
       "companies[0].asset_kinds[0].szKindName: 82 bytes in code page 932, at most 81"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "kept", "selected_data_no": 1}]})",
       "users[0].user_id: \"kept\" is already a user of the store"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "a", "selected_data_no": 1}, {"user_id": "a", "selected_data_no": 1}]})",
       "users[1].user_id: \"a\" is already a user earlier in the ledger"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "a/b", "selected_data_no": 1}]})",
       "users[0].user_id: the characters / and : are not allowed"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "a:b", "selected_data_no": 1}]})",
       "users[0].user_id: the characters / and : are not allowed"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "a\tb", "selected_data_no": 1}]})",
       "users[0].user_id: control characters are not allowed"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "", "selected_data_no": 1}]})",
       "users[0].user_id: must not be empty"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": ")" + std::string(65, 'u') + R"(", "selected_data_no": 1}]})",
       "users[0].user_id: 65 bytes in code page 932, at most 64"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "b"}]})", "users[0].selected_data_no: required"},
      {R"({"format": "velor-ledger/1", "users": [{"user_id": "b", "selected_data_no": 1, "role": 1}]})",
       "users[0].role: unknown key"},
      // A refusal at the very end still takes back what came before it.
      {Ledger() + "", ""},
  };
  for (Case& c : cases) {
    if (c.says.empty()) {
      c.ledger.insert(c.ledger.size() - 1, R"(, "users": [])");
      c.says = "users: duplicate key";
    }
    error.clear();
    EXPECT_FALSE(Import(c.ledger, &error)) << c.ledger;
    EXPECT_NE(error.find(c.says), std::string::npos) << "wanted: " << c.says << "\ngot: " << error;
    EXPECT_EQ(Counts(), before) << c.ledger;
  }
}

TEST_F(ImportTest, AcceptsValuesAtTheirLimitsAndKeysInAnyOrder) {
  std::string error;
  std::string ledger = U8(u8R"({"companies": [{"assets": [
        {"szAssetName": ")") + std::string(96, 'x') + U8(u8R"(表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表表",
         "cyAcquisitionCost": "-12.3456", "cyLimit": 1500000, "cyResidualValue": "0.5",
         "cyRevisedCost": "922337203685477.5807", "cyCompressionAmount": "-922337203685477.5808",
         "nUsefulLife": -32768, "bInherited": 255}],
      "data_id": "ABCDEFGHIJKLMNO", "data_no": -2147483648}],
    "users": [{"user_id": "鈴木", "selected_data_no": -2147483648}],
    "format": "velor-ledger/1"})");
  ASSERT_TRUE(Import(ledger, &error)) << error;
  std::unique_ptr<SqlStatement> row;
  bool got = false;
  ASSERT_TRUE(db_->Prepare("SELECT length(szAssetName), cyAcquisitionCost, cyLimit, cyResidualValue,"
                           " cyRevisedCost, nUsefulLife, bInherited, cyCompressionAmount FROM assets",
                           &row)
                  .ok());
  ASSERT_TRUE(row->Step(&got).ok());
  ASSERT_TRUE(got);
  EXPECT_EQ(row->ColumnInt(0), 192);
  EXPECT_EQ(row->ColumnInt(1), -123456);
  EXPECT_EQ(row->ColumnInt(2), 15000000000LL);
  EXPECT_EQ(row->ColumnInt(3), 5000);
  EXPECT_EQ(row->ColumnInt(4), INT64_MAX);
  EXPECT_EQ(row->ColumnInt(7), INT64_MIN);
  EXPECT_EQ(row->ColumnInt(5), -32768);
  EXPECT_EQ(row->ColumnInt(6), 255);
}

// Imports ledger with options; the loader's problems in *problems.
bool ImportWith(StoreSql* db, const std::string& ledger, const LedgerImportOptions& options,
                LedgerProblems* problems, LedgerCounts* counts = nullptr) {
  LedgerLoader loader(db, options);
  std::istringstream in(ledger);
  if (loader.Begin()) ReadJsonLedger(in, &loader);
  bool done = loader.Finish();
  *problems = loader.problems();
  if (counts != nullptr) *counts = loader.counts();
  return done;
}

TEST_F(ImportTest, NamesEveryMistakeOfTheLedgerAtOnce) {
  LedgerProblems problems;
  std::string ledger = Ledger(R"(, "lAcquiredDate": "x", "cyLimit": "1.23456")", R"("bEntityKind": 300,)",
                              R"("colour": 1,)");
  ledger.replace(ledger.find(R"("selected_data_no": 1)"), 21, R"("selected_data_no": 7)");
  EXPECT_FALSE(ImportWith(db_, ledger, {}, &problems));
  EXPECT_EQ(problems.count, 5);
  EXPECT_EQ(problems.Text(),
            "colour: unknown key\n"
            "companies[0].assets[0].cyLimit: \"1.23456\" is not a decimal number with at most four fraction digits\n"
            "companies[0].assets[0].lAcquiredDate: expected an integer from -2147483648 to 2147483647\n"
            "companies[0].bEntityKind: 300 is not an integer from 0 to 255\n"
            "users[0].selected_data_no: no company data set has the number 7");
  EXPECT_EQ(Counts(), "users=0 companies=0 asset_kinds=0 assets=0 breakdowns=0 ");

  // 150 wrong assets: the first 100 in full, then their count.
  std::string many = R"({"format": "velor-ledger/1", "companies": [{"data_no": 1, "data_id": "A", "assets": [)";
  for (int i = 0; i < 150; ++i) many += std::string(i ? "," : "") + R"({"nMethod": 99999})";
  EXPECT_FALSE(ImportWith(db_, many + "]}]}", {}, &problems));
  EXPECT_EQ(problems.count, 150);
  ASSERT_EQ(problems.listed.size(), 100u);
  EXPECT_EQ(problems.listed[99].rfind("companies[0].assets[99].nMethod: ", 0), 0u) << problems.listed[99];
  EXPECT_NE(problems.Text().find("\n... and 50 more problems"), std::string::npos);
}

TEST_F(ImportTest, ReplaceSwapsTheNamedUsersAndCompaniesAndKeepsTheOthers) {
  LedgerProblems problems;
  LedgerCounts counts;
  const std::string two = R"({"format": "velor-ledger/1",
      "users": [{"user_id": "sato", "selected_data_no": 1}, {"user_id": "kept", "selected_data_no": 2}],
      "companies": [{"data_no": 1, "data_id": "D1", "assets": [{"nMethod": 4, "breakdowns": [{}, {}]}]},
                    {"data_no": 2, "data_id": "D2", "asset_kinds": [{"lKindNo": 1}]}]})";
  ASSERT_TRUE(ImportWith(db_, two, {}, &problems, &counts)) << problems.Text();
  EXPECT_EQ(LedgerCountsText(counts), "2 companies, 2 users, 1 assets, 2 breakdown lines, 1 asset kinds");
  // Without --replace the same ledger is refused; a dry run of it changes nothing either.
  EXPECT_FALSE(ImportWith(db_, Ledger(), {}, &problems));
  EXPECT_NE(problems.Text().find("\"sato\" is already a user of the store"), std::string::npos);
  LedgerImportOptions replace;
  replace.replace = true;
  replace.dryRun = true;
  EXPECT_TRUE(ImportWith(db_, Ledger(), replace, &problems, &counts)) << problems.Text();
  EXPECT_EQ(counts.replacedCompanies, 1);
  const std::string before = Counts();
  EXPECT_EQ(before, "users=2 companies=2 asset_kinds=1 assets=1 breakdowns=2 ");
  replace.dryRun = false;
  ASSERT_TRUE(ImportWith(db_, Ledger(), replace, &problems, &counts)) << problems.Text();
  EXPECT_EQ(counts.replacedUsers, 1);
  EXPECT_EQ(Counts(), "users=2 companies=2 asset_kinds=2 assets=2 breakdowns=1 ");
  std::unique_ptr<SqlStatement> names;
  bool row = false;
  ASSERT_TRUE(db_->Prepare("SELECT data_id FROM companies ORDER BY data_no", &names).ok());
  std::string ids;
  while (names->Step(&row).ok() && row) ids += names->ColumnString(0) + ",";
  EXPECT_EQ(ids, "D1,D2,");
  // A replacing company whose ID another company of the store holds is
  // refused, and the replacement is taken back with the rest.
  std::string clash = Ledger();
  clash.replace(clash.find("\"D1\""), 4, "\"D2\"");
  EXPECT_FALSE(ImportWith(db_, clash, replace, &problems));
  EXPECT_NE(problems.Text().find("companies[0].data_id: \"D2\" is already in the store"), std::string::npos);
  EXPECT_EQ(Counts(), "users=2 companies=2 asset_kinds=2 assets=2 breakdowns=1 ");
}

TEST(LedgerEncoding, TellsCodePage932FromUtf8) {
  EXPECT_TRUE(LooksLikeCp932("{\"szAssetName\": \"\x95\x5c\"}"));  // 表 in code page 932
  EXPECT_FALSE(LooksLikeCp932(U8(u8"{\"szAssetName\": \"表\"}")));
  EXPECT_FALSE(LooksLikeCp932("\xff\xff\xff"));
}

// The demo ledger read back through the host classes gives the values of
// the file, field by field.
// Every row of every table of the store at path, as text (the store's
// contents, whatever its pages look like).
std::string Dump(const std::string& path) {
  std::unique_ptr<StoreSql> db;
  std::string out;
  StoreError opened = OpenStoreSql(path, true, &db);
  if (!opened.ok()) return "unopened: " + opened.detail;
  for (const char* table : {"asset_kinds", "assets", "breakdowns", "companies", "host_meta", "text_orders", "users"}) {
    std::unique_ptr<SqlStatement> rows;
    if (!db->Prepare(std::string("SELECT * FROM ") + table, &rows).ok()) return "unread";
    out += std::string(table) + ":";
    for (bool row = true; rows->Step(&row).ok() && row;) {
      for (int c = 0; c < rows->ColumnCount(); ++c) out += rows->ColumnString(c) + '|';
      out += '\n';
    }
  }
  return out;
}

TEST_F(ImportTest, AFailureAtAnyStoreCallLeavesTheStoreAsItWas) {
  sql_.reset();
  db_ = nullptr;
  const std::string path = dir_.Native("h.sqlite"), ledger = dir_.Native("l.json");
  WriteFileBytes(ledger, Ledger());
  const std::string bytes = ReadFileBytes(path), before = Dump(path);
  // The store as it was before each run.
  auto restore = [&] {
    WriteFileBytes(path, bytes);
    std::remove(dir_.Native("h.sqlite-journal").c_str());
  };
  int runs = 0, failed = 0;
  for (FsOp op : {FsOp::kOpen, FsOp::kRead, FsOp::kWrite, FsOp::kSync, FsOp::kClose,
                  FsOp::kLock, FsOp::kStat, FsOp::kRemove}) {
    for (bool persistent : {false, true}) {
      for (int nth = 1;; ++nth) {
        FaultFs faults;
        FsError error = persistent ? FsError::kDiskFull : FsError::kIoError;
        for (int k = 0; k < (persistent ? 50 : 1); ++k) faults.FailNth(op, nth + k, error, "h.sqlite");
        std::string why;
        bool done;
        {
          ScopedFs scoped(&faults);
          done = ImportLedgerFile(path, ledger, &why);
        }
        ++runs;
        const std::string at = "op " + std::to_string(static_cast<int>(op)) + " call " +
                               std::to_string(nth) + (persistent ? " on" : "");
        if (faults.Struck() == 0) {
          EXPECT_TRUE(done) << at << ": " << why;
          restore();
          break;
        }
        if (done) {
          EXPECT_NE(Dump(path), before) << at;
        } else {
          ++failed;
          EXPECT_EQ(Dump(path), before) << at << ": " << why;
          // Nothing of the ledger stayed: the same import now goes through.
          EXPECT_TRUE(ImportLedgerFile(path, ledger, &why)) << at << ": " << why;
        }
        restore();
        if (nth > 400) break;  // no import makes that many calls of a kind
      }
    }
  }
  EXPECT_GT(failed, 20) << runs << " runs";
}

TEST(DemoLedger, ReadsBackThroughTheHostClasses) {
  std::string text = ReadDemoLedger();
  ASSERT_FALSE(text.empty());
  nlohmann::json ledger = nlohmann::json::parse(text);
  LedgerStore store(text, "yamada");
  ASSERT_TRUE(store.ok()) << store.error();
  for (const nlohmann::json& company : ledger["companies"]) {
    ClRuleGenkashokyaku rule;
    rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
    rule.SetCurDataID(company["data_id"].get<std::string>().c_str());
    ASSERT_EQ(rule.MoveReady(nullptr, 0, 0), 0);
    const nlohmann::json& assets = company["assets"];
    ASSERT_EQ(rule.GetCount(), static_cast<long>(assets.size()));
    for (size_t i = 0; i < assets.size(); ++i) {
      const nlohmann::json& a = assets[i];
      StKOTEISHISANINFO asset{};
      StKOTEINENINFO year{};
      StKOTEITSUKIINFO months{};
      ASSERT_EQ(rule.Move(static_cast<long>(i), &asset, &year, &months), 0);
      SCOPED_TRACE(a.dump());
      EXPECT_EQ(asset.szAssetCode, Cp932Of(a["szAssetCode"]));
      EXPECT_EQ(asset.szAssetName, Cp932Of(a["szAssetName"]));
      EXPECT_EQ(asset.szQuantity, Cp932Of(a["szQuantity"]));
      EXPECT_EQ(asset.szMemo, a.contains("szMemo") ? Cp932Of(a["szMemo"]) : "");
      EXPECT_EQ(asset.szCapitalExpenditure,
                a.contains("szCapitalExpenditure") ? Cp932Of(a["szCapitalExpenditure"]) : "");
      EXPECT_EQ(asset.lKindCode, a["lKindCode"].get<int>());
      EXPECT_EQ(asset.nMethod, a["nMethod"].get<int>());
      EXPECT_EQ(asset.nUsefulLife, a.value("nUsefulLife", 0));
      EXPECT_EQ(asset.lRate, a.value("lRate", 0));
      EXPECT_EQ(asset.lResidualRate, a.value("lResidualRate", 0));
      EXPECT_EQ(asset.lAcquiredDate, a["lAcquiredDate"].get<int>());
      EXPECT_EQ(asset.lServiceDate, a["lServiceDate"].get<int>());
      EXPECT_EQ(asset.nBusinessRatio, a["nBusinessRatio"].get<int>());
      EXPECT_EQ(asset.nSellingShare, a["nSellingShare"].get<int>());
      EXPECT_EQ(asset.nStatementLink, a.value("nStatementLink", 0));
      EXPECT_EQ(asset.nDisposalKind, a.value("nDisposalKind", 0));
      EXPECT_EQ(asset.lDisposalDate, a.value("lDisposalDate", 0));
      EXPECT_EQ(asset.cyAcquisitionCost.int64, CurrencyOf(a["cyAcquisitionCost"]));
      EXPECT_EQ(asset.cyOpeningBookValue.int64, CurrencyOf(a["cyOpeningBookValue"]));
      EXPECT_EQ(asset.cyDepreciationBase.int64, CurrencyOf(a["cyDepreciationBase"]));
      EXPECT_EQ(asset.cySellingExpense.int64, CurrencyOf(a["cySellingExpense"]));
      EXPECT_EQ(asset.cyManufacturingCost.int64, CurrencyOf(a["cyManufacturingCost"]));
      EXPECT_EQ(asset.cyAccumulated.int64, CurrencyOf(a["cyAccumulated"]));
      EXPECT_EQ(asset.cyClosingBookValue.int64, CurrencyOf(a["cyClosingBookValue"]));
      EXPECT_EQ(asset.cyResidualValue.int64, a.contains("cyResidualValue") ? CurrencyOf(a["cyResidualValue"]) : 0);
      EXPECT_EQ(asset.cySalePrice.int64, a.contains("cySalePrice") ? CurrencyOf(a["cySalePrice"]) : 0);
      EXPECT_EQ(year.cyComputedDepreciation.int64, CurrencyOf(a["cyComputedDepreciation"]));
      EXPECT_EQ(year.cySpecialDepreciation.int64,
                a.contains("cySpecialDepreciation") ? CurrencyOf(a["cySpecialDepreciation"]) : 0);
      EXPECT_EQ(year.cyEnteredDepreciation.int64, 0);

      ASSERT_EQ(rule.MoveReadyIkkatsu(asset.abAssetKey), 0);
      long count = -1;
      rule.GetIkkatsuCount(&count);
      const nlohmann::json lines = a.value("breakdowns", nlohmann::json::array());
      ASSERT_EQ(count, static_cast<long>(lines.size()));
      for (long k = 0; k < count; ++k) {
        StIKKATSUINFO line{};
        ASSERT_EQ(rule.MoveIkkatsu(k, &line), 0);
        const nlohmann::json& b = lines[static_cast<size_t>(k)];
        EXPECT_EQ(line.szBreakdownName, Cp932Of(b["szBreakdownName"]));
        EXPECT_EQ(line.lBreakdownDate, b["lBreakdownDate"].get<int>());
        EXPECT_EQ(line.cyBreakdownCost.int64, CurrencyOf(b["cyBreakdownCost"]));
        EXPECT_EQ(line.lBreakdownQuantity, b["lBreakdownQuantity"].get<int>());
      }
      rule.MoveFinishIkkatsu();
    }
    StSHISANKUBUNINFO* kinds = nullptr;
    long kindCount = 0;
    ASSERT_EQ(rule.LoadShisanKubunInfo(&kinds, &kindCount), 0);
    ASSERT_EQ(kindCount, static_cast<long>(company["asset_kinds"].size()));
    for (long k = 0; k < kindCount; ++k) {
      const nlohmann::json& kind = company["asset_kinds"][static_cast<size_t>(k)];
      EXPECT_EQ(kinds[k].lKindNo, kind["lKindNo"].get<int>());
      EXPECT_EQ(kinds[k].szKindName, Cp932Of(kind["szKindName"]));
      EXPECT_EQ(kinds[k].nKindMethod, kind["nKindMethod"].get<int>());
      EXPECT_EQ(kinds[k].lKindResidualRate, kind.value("lKindResidualRate", 0));
    }
    CoTaskMemFree(kinds);
    rule.MoveFinish();
  }
}

}  // namespace
