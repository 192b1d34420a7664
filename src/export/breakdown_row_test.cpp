#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_fixture.h"

namespace {

using ::testing::ElementsAre;

const std::string kTooManyLines =
    "\n＜WARNING＞\n連携可能な最大内訳件数は99件です。\n100件目から後の内訳は出力されません。";
std::string CodeTooLong(const std::string& code, const std::string& number) {
  return Kept("\n＜WARNING＞\n資産コード+内訳付番｢" + code + number +
              "｣は、連携可能最大桁数をオーバーしています。\nデータが、正しく連携されない可能性があります。");
}
std::string CodeChars(const std::string& code) {
  return Kept("\n＜ERROR＞\n資産コード｢" + code + "｣には、半角英数以外の文字が使用されています。");
}
std::string LineTaken(const std::string& code, const std::string& number,
                      const std::string& full) {
  return Kept("\n＜ERROR＞\n資産コード｢" + code + "｣と内訳付番｢" + number +
              "｣から構成される\n資産・内訳コード｢" + full + "｣は、\n他の資産･内訳コードと重複しています。");
}
std::string CodePartTaken(const std::string& full, const std::string& code) {
  return Kept("\n＜ERROR＞\n資産コード+内訳付番｢" + full + "｣は、\n資産コード｢" + code +
              "｣が他の資産コードと重複してしまいます。");
}

// A lump-sum asset (JSON) with code and n lines named L1, L2, ...
std::string LumpSum(const std::string& code, int n) {
  std::string lines;
  for (int i = 1; i <= n; ++i) {
    if (i > 1) lines += ",";
    lines += R"({"szBreakdownName": "L)" + std::to_string(i) + R"(", "lBreakdownDate": 20250501})";
  }
  return R"({"szAssetCode": ")" + code + R"(", "nMethod": 4, "breakdowns": [)" + lines + "]}";
}

std::vector<std::string> Codes(const std::vector<std::string>& rows) {
  std::vector<std::string> codes;
  for (const std::string& row : rows) codes.push_back(Column(row, 1));
  return codes;
}

TEST(BreakdownRow, WholeRowFillsThirteenColumns) {
  ExportFiles files = ExportAssets(Utf8(u8R"([{"szAssetCode": "A1", "nMethod": 4,
    "lKindCode": 5, "szAssetName": "一括", "szQuantity": "3個", "lAcquiredDate": 20240101,
    "lServiceDate": 20240201, "nBusinessRatio": 9999, "nSellingShare": 30,
    "cyAcquisitionCost": "99", "cyComputedDepreciation": "5", "nUsefulLife": 3,
    "breakdowns": [{"szBreakdownName": "机", "lBreakdownDate": 20240110,
                    "cyBreakdownCost": "120000.9", "lBreakdownQuantity": 12345}]}])"));
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], RowOf({{1, "0000A101"}, {5, "一括決算"}, {11, "机"}, {14, "20240110"},
                            {15, "20240201"}, {16, "123.45"}, {25, "120000"}, {72, "99.99"},
                            {73, "100.00"}, {86, "30.00"}, {87, "100.00"}, {89, "70.00"},
                            {90, "100.00"}}));
  EXPECT_EQ(files.log, "");
}

TEST(BreakdownRow, LinesAreNumberedInPlaceOfTheAsset) {
  ExportFiles files = ExportAssets("[" + LumpSum("B", 0) + R"(, {"szAssetCode": "1", "nMethod": 6},)" +
                             LumpSum("A1", 3) + R"(, {"szAssetCode": "2", "nMethod": 6}])");
  EXPECT_THAT(Codes(DataRows(files.asset)),
              ElementsAre("000001", "0000A101", "0000A102", "0000A103", "000002"));
  EXPECT_EQ(files.log, "");
}

TEST(BreakdownRow, NinetyNineLinesAndOneWarning) {
  ExportFiles files = ExportAssets("[" + LumpSum("7", 150) + "," + LumpSum("8", 2) + "]");
  std::vector<std::string> codes = Codes(DataRows(files.asset));
  ASSERT_EQ(codes.size(), 101u);
  EXPECT_EQ(codes[0], "00000701");
  EXPECT_EQ(codes[98], "00000799");
  // Numbering restarts for the next lump-sum asset.
  EXPECT_EQ(codes[99], "00000801");
  EXPECT_EQ(codes[100], "00000802");
  EXPECT_THAT(LogEntries(files.log), ElementsAre(kTooManyLines));
}

TEST(BreakdownRow, LongCodeWarnsOnlyPastEightBytes) {
  ExportFiles files = ExportAssets("[" + LumpSum("1234567", 10) + "]");
  std::vector<std::string> codes = Codes(DataRows(files.asset));
  ASSERT_EQ(codes.size(), 10u);
  EXPECT_EQ(codes[0], "23456701");
  EXPECT_EQ(codes[9], "23456710");
  EXPECT_THAT(LogEntries(files.log), ElementsAre(CodeTooLong("1234567", "10")));
}

TEST(BreakdownRow, CodePartKeepsWholeCharacters) {
  ExportFiles files = ExportAssets("[" + LumpSum(Utf8(u8"あ12345"), 1) + "]");
  EXPECT_THAT(Codes(DataRows(files.asset)), ElementsAre("01234501"));
  // Seven bytes and one: no more than eight, so no length warning.
  EXPECT_EQ(files.log, "");
}

TEST(BreakdownRow, DoubleByteCodeIsNeverRegistered) {
  ExportFiles files = ExportAssets("[" + LumpSum(Utf8(u8"あ"), 2) + "]");
  EXPECT_THAT(Codes(DataRows(files.asset)), ElementsAre("0000あ01", "0000あ02"));
  EXPECT_THAT(LogEntries(files.log), ElementsAre(CodeChars("0000あ01"), CodeChars("0000あ02")));
}

TEST(BreakdownRow, DuplicatesAcrossAssetsAndRows) {
  // Equal code parts of two lump-sum assets: every line of the second.
  ExportFiles same = ExportAssets("[" + LumpSum("12", 2) + "," + LumpSum("012", 2) + "]");
  EXPECT_THAT(Codes(DataRows(same.asset)),
              ElementsAre("00001201", "00001202", "00001201", "00001202"));
  EXPECT_THAT(LogEntries(same.log), ElementsAre(LineTaken("012", "1", "00001201"),
                                                LineTaken("012", "2", "00001202")));

  // An ordinary asset with the code part first: every line of the lump sum.
  ExportFiles ordinaryFirst =
      ExportAssets(R"([{"szAssetCode": "000123", "nMethod": 6},)" + LumpSum("123", 2) + "]");
  EXPECT_THAT(LogEntries(ordinaryFirst.log), ElementsAre(CodePartTaken("00012301", "123"),
                                                         CodePartTaken("00012302", "123")));
  ExportFiles ordinaryLast =
      ExportAssets("[" + LumpSum("123", 2) + R"(, {"szAssetCode": "000123", "nMethod": 6}])");
  EXPECT_EQ(DataRows(ordinaryLast.asset).size(), 3u);
  EXPECT_EQ(ordinaryLast.log, "");
}

TEST(BreakdownRow, QuantityRatiosAndShares) {
  ExportFiles files = ExportAssets(R"([{"szAssetCode": "1", "nMethod": 4, "nSellingShare": 120,
    "nBusinessRatio": 10000, "breakdowns": [
      {"lBreakdownQuantity": 100000000}, {"lBreakdownQuantity": -5},
      {"lBreakdownQuantity": 99999999}]}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Column(rows[0], 16), "1000000.00");
  EXPECT_EQ(Column(rows[1], 16), "-0.05");
  // 999,999.99 does not survive single precision: it reads 1,000,000.
  EXPECT_EQ(Column(rows[2], 16), "1000000.00");
  EXPECT_EQ(Column(rows[0], 72), "100.00");
  EXPECT_EQ(Column(rows[0], 86), "120.00");
  EXPECT_EQ(Column(rows[0], 89), "-20.00");
  const std::string quantityWarning =
      "\n＜WARNING＞\n数量｢1000000.00｣は、連携可能最大桁数をオーバーしています。\n"
      "減価償却データが、正しく連携されない可能性があります。";
  EXPECT_THAT(LogEntries(files.log), ElementsAre(Kept(quantityWarning), Kept(quantityWarning)));
}

TEST(BreakdownRow, NameCutAndEntryOrder) {
  const std::string name40(40, 'n');
  ExportFiles files = ExportAssets(Utf8(u8R"([{"szAssetCode": "000001", "nMethod": 6},
    {"szAssetCode": "00000001", "nMethod": 4, "breakdowns": [
      {"szBreakdownName": ")") + name40 + Utf8(u8R"(", "lBreakdownQuantity": 100000000,
       "cyBreakdownCost": "100000000000"},
      {"szBreakdownName": "0123456789012345678901234567890あ"}]}])"));
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Column(rows[1], 11), name40.substr(0, 32));
  EXPECT_EQ(Column(rows[1], 25), "************");
  EXPECT_EQ(Column(rows[2], 11), "0123456789012345678901234567890");
  const std::string nameWarning =
      "\n＜WARNING＞\n内訳名称｢%｣は、\n連携可能最大文字数をオーバーしています。\n"
      "超過した文字は、自動的に切り捨てられます。";
  auto named = [&](const std::string& name) {
    std::string text = nameWarning;
    return Kept(text.replace(text.find('%'), 1, name));
  };
  EXPECT_THAT(
      LogEntries(files.log),
      ElementsAre(CodeTooLong("00000001", "1"), CodePartTaken("00000101", "00000001"),
                  named(name40),
                  Kept("\n＜WARNING＞\n数量｢1000000.00｣は、連携可能最大桁数をオーバーしています。\n"
                       "減価償却データが、正しく連携されない可能性があります。"),
                  Kept("\n＜ERROR＞\n金額｢100000000000｣は、連携可能最大桁数をオーバーしています。"),
                  CodeTooLong("00000001", "2"), CodePartTaken("00000102", "00000001"),
                  named("0123456789012345678901234567890あ")));
}

}  // namespace
