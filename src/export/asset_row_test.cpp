#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_fixture.h"

namespace {

using ::testing::ElementsAre;

std::string CodeTooLong(const std::string& code) {
  return Kept("\n＜WARNING＞\n資産コード｢" + code +
              "｣は、連携可能最大桁数をオーバーしています。\nデータが、正しく連携されない可能性があります。");
}
std::string CodeChars(const std::string& code) {
  return Kept("\n＜ERROR＞\n資産コード｢" + code + "｣には、半角英数以外の文字が使用されています。");
}
std::string CodeTaken(const std::string& code) {
  return Kept("\n＜ERROR＞\n資産コード｢" + code + "｣は、他の資産コードと重複してしまいます。");
}
std::string KindTooLong(const std::string& kind) {
  return Kept("\n＜WARNING＞\n資産種類コード｢" + kind +
              "｣は、連携可能最大桁数をオーバーしています。\nデータが、正しく連携されない可能性があります。");
}
std::string NameTooLong(const std::string& name) {
  return Kept("\n＜WARNING＞\n資産名称｢" + name +
              "｣は、\n連携可能最大文字数をオーバーしています。\n超過した文字は、自動的に切り捨てられます。");
}
std::string MemoTooLong(const std::string& memo) {
  return Kept("\n＜WARNING＞\nメモ欄｢" + memo +
              "｣は、\n連携可能最大文字数をオーバーしています。\n超過した文字は、自動的に切り捨てられます。");
}
std::string AmountTooLong(const std::string& amount) {
  return Kept("\n＜ERROR＞\n金額｢" + amount + "｣は、連携可能最大桁数をオーバーしています。");
}

TEST(AssetRow, FullRowByteForByte) {
  ExportFiles files = ExportAssets(Utf8(u8R"([{
    "szAssetCode": "123", "lKindCode": 5, "szAssetName": "複合機", "szQuantity": "2台",
    "szMemo": "本社", "szCapitalExpenditure": "有", "nStatementLink": 2,
    "lAcquiredDate": 20060510, "lServiceDate": 20070601,
    "cyAcquisitionCost": "480000.75", "cyCompressionAmount": "1000",
    "cyOpeningBookValue": "300000", "nMethod": 1, "nUsefulLife": 5, "lRate": 369,
    "lResidualRate": 10, "bLimitByAmount": 1, "cyLimit": "24000",
    "nBusinessRatio": 8000, "nSellingShare": 30,
    "bMonthsEntered": 1, "nMonthCount": 6, "nMonthDivisor": 1,
    "cyResidualValue": "48000", "cyDepreciationBase": "300000",
    "cySellingExpense": "33210", "cyManufacturingCost": "77490",
    "cyAccumulated": "290700", "cyClosingBookValue": "189300",
    "nDisposalKind": 4, "lDisposalDate": 20260131, "cySalePrice": "50000",
    "bInherited": 1, "cyInheritedBookValue": "250000", "cyRevisedCost": "7",
    "cyComputedDepreciation": "110700", "cySpecialDepreciation": "5000",
    "cyAdditionalDepreciation": "1000.5"}])"));
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0], RowOf({{1, "000123"}, {3, "05"}, {5, "旧定率法"}, {6, "台帳＋申告書"},
                            {10, "不動産所得用"}, {11, "複合機"}, {14, "20060510"},
                            {15, "20070601"}, {16, "2.00"}, {17, "台"}, {18, "5"},
                            {22, "0.369"}, {25, "480000"}, {27, "1000"}, {31, "10"},
                            {33, "48000"}, {37, "*"}, {38, "24000"}, {41, "*"}, {42, "72"},
                            {43, "*"}, {44, "300000"}, {53, "300000"}, {54, "*"},
                            {55, "110700"}, {58, "*"}, {59, "1000"}, {60, "特別"}, {64, "*"},
                            {65, "5000"}, {66, "償却"}, {68, "*"}, {69, "116700"},
                            {71, "100"}, {72, "80.00"}, {73, "100.00"}, {74, "20260131"},
                            {75, "除却日まで償却"}, {76, "売却"}, {77, "50000"},
                            {83, "189300"}, {85, "290700"}, {86, "30.00"}, {87, "100.00"},
                            {88, "33210"}, {89, "70.00"}, {90, "100.00"}, {91, "77490"},
                            {95, "工具器具及び備品"}, {155, "本社"}}));
  EXPECT_EQ(files.log, "");
  // The row ends the file with CR LF.
  EXPECT_EQ(files.asset.substr(files.asset.size() - 2), "\r\n");
}

TEST(AssetRow, CodesArePaddedCutCheckedAndRegistered) {
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "123", "nMethod": 6}, {"szAssetCode": "ABCDEFGH", "nMethod": 6},
    {"szAssetCode": "12-4", "nMethod": 6}, {"szAssetCode": "12-4", "nMethod": 6},
    {"szAssetCode": "A1", "nMethod": 6}, {"szAssetCode": "A1", "nMethod": 6}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 6u);
  const char* codes[] = {"000123", "CDEFGH", "0012-4", "0012-4", "0000A1", "0000A1"};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Column(rows[i], 1), codes[i]) << i;
  // A code with a bad character is never registered, so its repetition is
  // again a character error; a repeated good code is a duplicate.
  EXPECT_THAT(LogEntries(files.log),
              ElementsAre(CodeTooLong("ABCDEFGH"), CodeChars("0012-4"), CodeChars("0012-4"),
                          CodeTaken("A1")));
}

TEST(AssetRow, CodeTailKeepsWholeCharacters) {
  // Seven bytes whose last six begin with the second byte of "あ": five
  // remain and one zero pads them; the double-byte code part is then fine.
  ExportFiles files = ExportAssets(Utf8(u8R"([{"szAssetCode": "あ12345", "nMethod": 6},
                                       {"szAssetCode": "あい", "nMethod": 6}])"));
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(Column(rows[0], 1), "012345");
  EXPECT_EQ(Column(rows[1], 1), "00あい");
  EXPECT_THAT(LogEntries(files.log),
              ElementsAre(CodeTooLong("あ12345"), CodeChars("00あい")));
}

TEST(AssetRow, KindCodeColumnsAndWarning) {
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "1", "lKindCode": 123, "nMethod": 6},
    {"szAssetCode": "2", "lKindCode": 7, "nMethod": 6},
    {"szAssetCode": "3", "lKindCode": 11, "nMethod": 5, "lAcquiredDate": 20200101,
     "lServiceDate": 20210101},
    {"szAssetCode": "4", "lKindCode": 0, "nMethod": 6},
    {"szAssetCode": "5", "lKindCode": 12, "nMethod": 9},
    {"szAssetCode": "6", "lKindCode": -100, "nMethod": 6}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(Column(rows[0], 3), "12");
  EXPECT_EQ(Column(rows[0], 95), "");
  EXPECT_EQ(Column(rows[1], 3), "07");
  EXPECT_EQ(Column(rows[1], 95), "申告なし");
  // The non-depreciable kind: its own method text and the acquisition date
  // as the service date.
  EXPECT_EQ(Column(rows[2], 5), "非償却資産");
  EXPECT_EQ(Column(rows[2], 15), "20200101");
  EXPECT_EQ(Column(rows[2], 95), "申告なし");
  EXPECT_EQ(Column(rows[3], 3), "00");
  EXPECT_EQ(Column(rows[3], 95), "");
  // An unknown method has no text.
  EXPECT_EQ(Column(rows[4], 5), "");
  EXPECT_EQ(Column(rows[5], 3), "-1");
  EXPECT_THAT(LogEntries(files.log), ElementsAre(KindTooLong("123"), KindTooLong("-100")));
}

TEST(AssetRow, MethodFiveTransitionalYearAndDateRule) {
  // Acquired from 20120401 to 20130331: the transitional column; acquired
  // after 20130331: the year's depreciation is carried as entered.
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "1", "nMethod": 5, "lAcquiredDate": 20120331, "lServiceDate": 20120331},
    {"szAssetCode": "2", "nMethod": 5, "lAcquiredDate": 20120401, "lServiceDate": 20120401},
    {"szAssetCode": "3", "nMethod": 5, "lAcquiredDate": 20130331, "lServiceDate": 20130331},
    {"szAssetCode": "4", "nMethod": 5, "lAcquiredDate": 20130401, "lServiceDate": 20130401,
     "cyComputedDepreciation": "1200", "cySpecialDepreciation": "300.9"}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 4u);
  const char* transitional[] = {"", "250%定率法", "250%定率法", ""};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Column(rows[i], 23), transitional[i]) << i;
    EXPECT_EQ(Column(rows[i], 68), i == 3 ? "*" : "") << i;
  }
  EXPECT_EQ(Column(rows[3], 69), "1500");
  EXPECT_EQ(Column(rows[3], 49), "*");
  EXPECT_EQ(Column(rows[3], 50), "");
}

TEST(AssetRow, DateRuleByMethodAndEnteredFigure) {
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "1", "nMethod": 6, "lServiceDate": 20070331},
    {"szAssetCode": "2", "nMethod": 6, "lServiceDate": 20070401},
    {"szAssetCode": "3", "nMethod": 2, "lServiceDate": 20070401},
    {"szAssetCode": "4", "nMethod": 1, "lServiceDate": 20070331},
    {"szAssetCode": "5", "nMethod": 8, "lAcquiredDate": 20130331, "lServiceDate": 20130331},
    {"szAssetCode": "6", "nMethod": 8, "lAcquiredDate": 20130401, "lServiceDate": 20130401},
    {"szAssetCode": "7", "nMethod": 3, "lServiceDate": 20200401, "cyEnteredDepreciation": "1"},
    {"szAssetCode": "8", "nMethod": 7, "lServiceDate": 20200401, "cyEnteredDepreciation": "1"},
    {"szAssetCode": "9", "nMethod": 7, "lServiceDate": 20000401}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 9u);
  const bool holds[] = {true, false, true, false, true, false, true, false, false};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(Column(rows[i], 68), holds[i] ? "*" : "") << i;
    // A zero sum is a single zero digit, unlike an amount column.
    EXPECT_EQ(Column(rows[i], 69), holds[i] ? "0" : "") << i;
  }
}

TEST(AssetRow, SmallAssetLeavesFiguresBlank) {
  ExportFiles files = ExportAssets(R"([{"szAssetCode": "1", "nMethod": 7,
    "szCapitalExpenditure": "x", "lServiceDate": 20000101, "lRate": 250,
    "cyCompressionAmount": "1", "cyOpeningBookValue": "2", "cyDepreciationBase": "3",
    "cyAccumulated": "4", "nDisposalKind": 4, "lDisposalDate": 20251010,
    "cySalePrice": "5", "cyEnteredDepreciation": "6", "cyComputedDepreciation": "7",
    "cyAcquisitionCost": "8", "cyClosingBookValue": "9"}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  for (int column : {6, 22, 27, 44, 53, 54, 55, 68, 69, 71, 75, 76, 77, 85})
    EXPECT_EQ(Column(rows[0], column), "") << column;
  EXPECT_EQ(Column(rows[0], 5), "少額資産");
  EXPECT_EQ(Column(rows[0], 25), "8");
  EXPECT_EQ(Column(rows[0], 74), "20251010");
  EXPECT_EQ(Column(rows[0], 83), "9");
}

TEST(AssetRow, ResidualAndLimitColumns) {
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "1", "nMethod": 2, "lResidualRate": 10, "cyResidualValue": "100",
     "cyLimit": "95.7"},
    {"szAssetCode": "2", "nMethod": 2, "lKindCode": 10, "cyResidualValue": "100",
     "bLimitByAmount": 1, "cyLimit": "50"},
    {"szAssetCode": "3", "nMethod": 6, "lResidualRate": 10, "cyResidualValue": "100",
     "lKindCode": 10, "cyLimit": "95"},
    {"szAssetCode": "4", "nMethod": 3, "nUsefulLife": 5, "lRate": 200}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(Column(rows[0], 31), "10");
  EXPECT_EQ(Column(rows[0], 33), "100");
  EXPECT_EQ(Column(rows[0], 36), "95");
  EXPECT_EQ(Column(rows[0], 37), "");
  EXPECT_EQ(Column(rows[0], 38), "");
  // Kind 10: the residual value is the limit amount.
  EXPECT_EQ(Column(rows[1], 36), "");
  EXPECT_EQ(Column(rows[1], 37), "*");
  EXPECT_EQ(Column(rows[1], 38), "100");
  for (int column : {31, 33, 36, 37, 38}) EXPECT_EQ(Column(rows[2], column), "") << column;
  // The equal-instalment method: months instead of a rate.
  EXPECT_EQ(Column(rows[3], 22), "");
  EXPECT_EQ(Column(rows[3], 24), "60");
}

TEST(AssetRow, EnteredMonthsInheritanceAndDisposal) {
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "1", "nMethod": 6, "bMonthsEntered": 1, "nMonthCount": 5,
     "nMonthDivisor": 12},
    {"szAssetCode": "2", "nMethod": 6, "bMonthsEntered": 1, "nMonthCount": 5,
     "nMonthDivisor": 0},
    {"szAssetCode": "3", "nMethod": 6, "bInherited": 1, "lServiceDate": 20250401,
     "cyInheritedBookValue": "700", "cyOpeningBookValue": "900"},
    {"szAssetCode": "4", "nMethod": 6, "bInherited": 1, "lServiceDate": 20260401,
     "cyInheritedBookValue": "700", "cyOpeningBookValue": "900", "nDisposalKind": 5,
     "lDisposalDate": 20260101, "cySalePrice": "10"}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(Column(rows[0], 41), "*");
  EXPECT_EQ(Column(rows[0], 42), "5");
  // No divisor: the months stay blank beside the entered mark.
  EXPECT_EQ(Column(rows[1], 41), "*");
  EXPECT_EQ(Column(rows[1], 42), "");
  // The book value taken over counts when the asset entered service this year.
  EXPECT_EQ(Column(rows[2], 43), "*");
  EXPECT_EQ(Column(rows[2], 44), "700");
  EXPECT_EQ(Column(rows[3], 44), "900");
  EXPECT_EQ(Column(rows[3], 74), "20260101");
  EXPECT_EQ(Column(rows[3], 76), "除却");
  EXPECT_EQ(Column(rows[3], 77), "");
}

TEST(AssetRow, ZeroAmountsAreEmptyAndSharesSplitTheExpense) {
  ExportFiles files = ExportAssets(R"([{"szAssetCode": "1", "nMethod": 6,
    "nSellingShare": 30, "nBusinessRatio": 9999, "cySellingExpense": "300",
    "cyManufacturingCost": "700"}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(Column(rows[0], 25), "");
  EXPECT_EQ(Column(rows[0], 72), "99.99");
  std::vector<std::string> columns = Columns(rows[0]);
  EXPECT_THAT(std::vector<std::string>(columns.begin() + 85, columns.begin() + 91),
              ElementsAre("30.00", "100.00", "300", "70.00", "100.00", "700"));
}

TEST(AssetRow, LargeYearSumIsWrittenOrStarred) {
  // The sum of the year's figures beyond 32 bits is still written when it
  // fits the column; beyond 12 characters it is starred with an entry.
  ExportFiles files = ExportAssets(R"([
    {"szAssetCode": "1", "nMethod": 2, "lServiceDate": 20200101,
     "cyComputedDepreciation": "99999999999", "cySpecialDepreciation": "99999999999"},
    {"szAssetCode": "2", "nMethod": 2, "lServiceDate": 20200101,
     "cyComputedDepreciation": "-3000000000", "cyAdditionalDepreciation": "-0.5"},
    {"szAssetCode": "3", "nMethod": 2, "lServiceDate": 20200101,
     "cyEnteredDepreciation": "1", "cyComputedDepreciation": "99999999999999",
     "cySpecialDepreciation": "-9.9999"}])");
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(Column(rows[0], 69), "199999999998");
  EXPECT_EQ(Column(rows[1], 69), "-3000000000");
  EXPECT_EQ(Column(rows[2], 69), "************");
  EXPECT_EQ(Column(rows[2], 55), "************");
  EXPECT_THAT(LogEntries(files.log),
              ElementsAre(AmountTooLong("99999999999999"), AmountTooLong("99999999999989")));
}

TEST(AssetRow, NameAndMemoCutAtWholeCharacters) {
  const std::string memo45(45, 'm');
  const std::string memo40(40, 'n');
  ExportFiles files = ExportAssets(Utf8(u8R"([
    {"szAssetCode": "1", "nMethod": 6, "szMemo": ")") + memo45 + Utf8(u8R"("},
    {"szAssetCode": "2", "nMethod": 6, "szMemo": ")") + memo40 + Utf8(u8R"("},
    {"szAssetCode": "3", "nMethod": 6, "szMemo": "ab12345678901234567あいうえおかきくけこz"},
    {"szAssetCode": "4", "nMethod": 6,
     "szAssetName": "0123456789012345678901234567890あ"},
    {"szAssetCode": "5", "nMethod": 6, "szAssetName": "a,b"}])"));
  std::vector<std::string> rows = DataRows(files.asset);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(Column(rows[0], 155), memo45.substr(0, 20));
  EXPECT_EQ(Column(rows[0], 156), memo45.substr(20, 20));
  EXPECT_EQ(Column(rows[1], 155), memo40.substr(0, 20));
  EXPECT_EQ(Column(rows[1], 156), memo40.substr(20, 20));
  // 40 bytes whose twentieth is the first byte of "あ": the upper part takes
  // 19 bytes, the lower 20 of the remaining 21, and the lost "z" is reported.
  EXPECT_EQ(Column(rows[2], 155), "ab12345678901234567");
  EXPECT_EQ(Column(rows[2], 156), "あいうえおかきくけこ");
  EXPECT_EQ(Column(rows[3], 11), "0123456789012345678901234567890");
  // A comma from the host never splits the column (separators_test.cpp).
  EXPECT_EQ(Column(rows[4], 11), "a，b");
  EXPECT_EQ(Columns(rows[4]).size(), 156u);
  std::vector<std::string> entries = LogEntries(files.log);
  ASSERT_EQ(entries.size(), 4u);
  entries.pop_back();  // the comma's entry
  EXPECT_THAT(entries,
              ElementsAre(MemoTooLong(memo45), MemoTooLong("ab12345678901234567あいうえおかきくけこz"),
                          NameTooLong("0123456789012345678901234567890あ")));
}

TEST(AssetRow, EntriesOfOneRowArriveInColumnOrder) {
  ExportFiles files = ExportAssets(Utf8(u8R"([
    {"szAssetCode": "Y00001", "nMethod": 6},
    {"szAssetCode": "XY00001", "lKindCode": 100, "nMethod": 6,
     "szAssetName": "123456789012345678901234567890123", "szQuantity": "1000000",
     "cyAcquisitionCost": "100000000000",
     "szMemo": "12345678901234567890123456789012345678901"}])"));
  EXPECT_THAT(LogEntries(files.log),
              ElementsAre(CodeTooLong("XY00001"), CodeTaken("XY00001"), KindTooLong("100"),
                          NameTooLong("123456789012345678901234567890123"),
                          Kept("\n＜WARNING＞\n数量｢1000000.00｣は、連携可能最大桁数をオーバーしています。\n"
                               "減価償却データが、正しく連携されない可能性があります。"),
                          AmountTooLong("100000000000"),
                          MemoTooLong("12345678901234567890123456789012345678901")));
}

TEST(AssetRow, LumpSumAssetWithoutLinesWritesNothing) {
  ExportFiles files = ExportAssets(R"([{"szAssetCode": "1", "nMethod": 4,
                                  "cyAcquisitionCost": "1000"}])");
  EXPECT_EQ(SplitLines(files.asset).size(), 7u);
  EXPECT_EQ(files.log, "");
}

}  // namespace
