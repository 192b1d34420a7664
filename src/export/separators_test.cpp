// Ledger texts holding a comma or a line break: every item of the three
// files is written with them replaced, and each replacement is logged.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "export_fixture.h"
#include "rowfields.h"

namespace {

using ::testing::ElementsAre;

std::string Replaced(const std::string& subject, const std::string& shown) {
  return Kept("\n＜WARNING＞\n" + subject +
              "にカンマか改行が含まれています。\n全角カンマ･空白に置き換えて出力します。\n｢" +
              shown + "｣");
}

// Every line of bytes (CR LF ends) holds no bare CR or LF.
void ExpectWholeLines(const std::string& bytes) {
  for (const std::string& line : SplitLines(bytes)) {
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
  }
}

// The data rows of assetFile, each checked to hold 156 columns, and the
// file's lines checked to be whole.
std::vector<std::string> WholeRows(const std::string& assetFile) {
  ExpectWholeLines(assetFile);
  std::vector<std::string> rows = DataRows(assetFile);
  for (const std::string& row : rows) EXPECT_EQ(std::count(row.begin(), row.end(), ','), 155) << row;
  return rows;
}

TEST(Separators, ReplacedByFullWidthCommaAndSpace) {
  EXPECT_EQ(ReplaceSeparators("a,b\r\nc\rd\ne\n\rf"), "a，b c d e  f");
  EXPECT_EQ(ReplaceSeparators("机"), "机");
  EXPECT_EQ(ReplaceSeparators(""), "");
}

TEST(Separators, AssetRowColumns) {
  ExportFiles files = ExportAssets(Utf8(u8R"([{
    "szAssetCode": "1,2", "lKindCode": 5, "szAssetName": "机,椅子\r\n一式",
    "szQuantity": "2台,\n", "szMemo": "本社,\r二階\n", "nMethod": 5, "nUsefulLife": 5,
    "lAcquiredDate": 20240510, "lServiceDate": 20240601}])"));
  std::vector<std::string> rows = WholeRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Column(rows[0], 1), "001，2");
  EXPECT_EQ(Column(rows[0], 11), "机，椅子 一式");
  EXPECT_EQ(Column(rows[0], 17), "台，");  // the unit's four bytes
  EXPECT_EQ(Column(rows[0], 155), "本社， 二階 ");
  EXPECT_THAT(LogEntries(files.log),
              ElementsAre(Replaced("資産コード", "1,2"),
                          Kept("\n＜ERROR＞\n資産コード｢001，2｣には、半角英数以外の文字が使用されています。"),
                          Replaced("資産コード｢1，2｣の資産名称", "机,椅子↓一式"),
                          Replaced("資産コード｢1，2｣の単位", "台,↓"),
                          Replaced("資産コード｢1，2｣のメモ欄", "本社,↓二階↓")));
}

TEST(Separators, ReplacementIsCutToTheColumn) {
  // 31 bytes and a comma: the full-width comma no longer fits the 32 bytes.
  const std::string name = std::string(31, 'A') + ",";
  ExportFiles files = ExportAssets(R"([{"szAssetCode": "1", "szAssetName": ")" + name +
                                   R"(", "nMethod": 6}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Column(rows[0], 11), std::string(31, 'A'));
  std::vector<std::string> entries = LogEntries(files.log);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], Replaced("資産コード｢1｣の資産名称", name));
  EXPECT_EQ(entries[1], Kept("\n＜WARNING＞\n資産名称｢" + std::string(31, 'A') +
                             "，｣は、\n連携可能最大文字数をオーバーしています。\n"
                             "超過した文字は、自動的に切り捨てられます。"));
}

TEST(Separators, BreakdownRowColumns) {
  ExportFiles files = ExportAssets(Utf8(u8R"([{"szAssetCode": "A\nB", "nMethod": 4,
    "breakdowns": [{"szBreakdownName": "机,\r\n椅子", "lBreakdownDate": 20250501}]}])"));
  std::vector<std::string> rows = WholeRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Column(rows[0], 1), "000A B01");
  EXPECT_EQ(Column(rows[0], 11), "机， 椅子");
  std::vector<std::string> entries = LogEntries(files.log);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], Replaced("資産コード", "A↓B"));
  EXPECT_EQ(entries[2], Replaced("資産コード｢A B｣の内訳名称", "机,↓椅子"));
}

TEST(Separators, KindNameAndCompanyName) {
  ExportFiles files = RunExport(Utf8(u8R"({"format": "velor-ledger/1",
    "users": [{"user_id": "u", "selected_data_no": 1}],
    "companies": [{"data_no": 1, "data_id": "D1", "szDataName": "山田,商事\r\n本店",
      "lTermStart": 20250401, "lTermEnd": 20260331, "bEntityKind": 1,
      "asset_kinds": [{"lKindNo": 5, "szKindName": "器具,\n備品"}], "assets": []}]})"));
  ASSERT_TRUE(files.ok()) << files.error;
  ExpectWholeLines(files.asset);
  ExpectWholeLines(files.kind);
  std::vector<std::string> lines = SplitLines(files.asset);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[2], "顧問先名称=山田，商事 本店");
  std::vector<std::string> kinds = SplitLines(files.kind);
  ASSERT_EQ(kinds.size(), 18u);
  EXPECT_EQ(std::count(kinds[17].begin(), kinds[17].end(), ','), 15);
  EXPECT_EQ(kinds[17].substr(0, 15), "05,器具， 備品,");
  EXPECT_THAT(LogEntries(files.log),
              ElementsAre(Replaced("顧問先名称", "山田,商事↓本店"),
                          Replaced("資産種類｢05｣の資産種類名", "器具,↓備品")));
}

}  // namespace
