#include "cell_values.h"

#include <gtest/gtest.h>

namespace {

SheetCell Number(const char* text) { return {SheetCell::kNumber, text}; }
SheetCell Text(const std::string& text) { return {SheetCell::kText, text}; }

nlohmann::json Value(const SheetCell& cell, CellKind kind, bool date1904 = false) {
  nlohmann::json value;
  std::string problem;
  EXPECT_TRUE(CellToLedger(cell, kind, date1904, &value, &problem)) << cell.text << ": " << problem;
  return value;
}

std::string Problem(const SheetCell& cell, CellKind kind) {
  nlohmann::json value;
  std::string problem;
  EXPECT_FALSE(CellToLedger(cell, kind, false, &value, &problem)) << cell.text << " gave " << value.dump();
  return problem;
}

TEST(CellValues, DatesFromSerialsOfBothSystemsAndFromText) {
  EXPECT_EQ(Value(Number("45748"), CellKind::kDate), 20250401);
  EXPECT_EQ(Value(Number("44286"), CellKind::kDate, true), 20250401);  // 1904 system: 1462 days fewer
  EXPECT_EQ(Value(Number("1"), CellKind::kDate), 19000101);
  EXPECT_EQ(Value(Number("59"), CellKind::kDate), 19000228);
  EXPECT_EQ(Value(Number("61"), CellKind::kDate), 19000301);
  EXPECT_EQ(Value(Number("2958465"), CellKind::kDate), 99991231);
  EXPECT_EQ(Value(Number("20250401"), CellKind::kDate), 20250401);  // yyyymmdd typed as a number
  EXPECT_EQ(Value(Number("0"), CellKind::kDate), 0);
  EXPECT_EQ(Value(Text("2025/04/01"), CellKind::kDate), 20250401);
  EXPECT_EQ(Value(Text(" 2025-4-1 "), CellKind::kDate), 20250401);
  EXPECT_EQ(Value(Text("2024/02/29"), CellKind::kDate), 20240229);
  EXPECT_EQ(Value(Text("20251399"), CellKind::kDate), 20251399);  // the ledger's own number, kept
  for (const SheetCell& bad : {Number("60"), Number("45748.5"), Number("-1"), Text("2025/02/29"),
                               Text("2025/13/01"), Text("2025/04-01"), Text("1 April 2025")}) {
    EXPECT_NE(Problem(bad, CellKind::kDate).find("not a date"), std::string::npos) << bad.text;
  }
  for (long date : {19000301L, 20250401L, 20240229L, 99991231L}) {
    EXPECT_EQ(Value(Number(std::to_string(DateSerial(date)).c_str()), CellKind::kDate), date);
  }
  EXPECT_EQ(DateSerial(19000228), 0);  // before the false leap day: kept as a number
  EXPECT_EQ(DateSerial(20250230), 0);
}

TEST(CellValues, AmountsByTheirShortestDecimalOrTheirText) {
  EXPECT_EQ(Value(Number("0.1"), CellKind::kAmount), "0.1");
  EXPECT_EQ(Value(Number("1234567.5"), CellKind::kAmount), "1234567.5");
  EXPECT_EQ(Value(Number("0.30000000000000004"), CellKind::kAmount), "0.30000000000000004");  // refused later
  EXPECT_EQ(Value(Number("1E+20"), CellKind::kAmount), "100000000000000000000");
  EXPECT_EQ(Value(Number("-0"), CellKind::kAmount), "0");
  EXPECT_EQ(Value(Text(UTF8("¥1,234,567")), CellKind::kAmount), "1234567");
  EXPECT_EQ(Value(Text(UTF8("￥1,234,567.5")), CellKind::kAmount), "1234567.5");
  EXPECT_EQ(Value(Text("-\\12.3456"), CellKind::kAmount), "-12.3456");
  EXPECT_EQ(Value(Text("922337203685477.5807"), CellKind::kAmount), "922337203685477.5807");
  for (const char* bad : {"12a", "1,2.3,4", "--5", "", "5-", UTF8("1,000円")}) {
    EXPECT_NE(Problem(Text(bad), CellKind::kAmount).find("not an amount"), std::string::npos) << bad;
  }
  EXPECT_EQ(AmountText(-123456), "-12.3456");
  EXPECT_EQ(AmountText(INT64_MIN), "-922337203685477.5808");
  EXPECT_EQ(AmountText(15000000000LL), "1500000");
  EXPECT_EQ(AmountText(5000), "0.5");
}

TEST(CellValues, IntegersCodesAndTexts) {
  EXPECT_EQ(Value(Number("5"), CellKind::kCode), 5);
  EXPECT_EQ(Value(Text(UTF8("5:定率法")), CellKind::kCode), 5);
  EXPECT_EQ(Value(Text("-32768"), CellKind::kInteger), -32768);
  EXPECT_EQ(Problem(Number("5.5"), CellKind::kInteger), "not a whole number");
  EXPECT_EQ(Problem(Text(UTF8("5:定率法")), CellKind::kInteger), "not a whole number");
  EXPECT_NE(Problem(Text(UTF8("定率法")), CellKind::kCode).find("not a code"), std::string::npos);
  EXPECT_EQ(Value(Number("123"), CellKind::kText), "123");  // an asset code typed as a number
  EXPECT_EQ(Value(Text(" a b "), CellKind::kText), " a b ");
  EXPECT_EQ(Problem({SheetCell::kError, "the cell holds the error #N/A"}, CellKind::kText),
            "the cell holds the error #N/A");
  EXPECT_EQ(ShortestDecimal(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(ColumnLetters(0), "A");
  EXPECT_EQ(ColumnLetters(25), "Z");
  EXPECT_EQ(ColumnLetters(27), "AB");
  EXPECT_EQ(ColumnLetters(16383), "XFD");
}

}  // namespace
