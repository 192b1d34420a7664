#include "csv_book.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::vector<std::string>> Rows(const std::string& text, std::vector<long>* numbers = nullptr) {
  std::vector<std::vector<std::string>> rows;
  std::string error;
  EXPECT_TRUE(ParseCsv(text, [&](long row, std::vector<SheetCell>& cells) {
    if (numbers) numbers->push_back(row);
    rows.emplace_back();
    for (const SheetCell& c : cells) rows.back().push_back(c.text);
  }, &error)) << error;
  return rows;
}

TEST(Csv, QuotedFieldsAsSpreadsheetProgramsWriteThem) {
  std::vector<long> numbers;
  auto rows = Rows("a,\"b,c\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,x\r\n\r\nlast", &numbers);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"a", "b,c", "say \"hi\""}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"two\nlines", "", "x"}));
  EXPECT_EQ(rows[3], (std::vector<std::string>{"last"}));
  EXPECT_EQ(numbers, (std::vector<long>{1, 2, 3, 4}));  // a line break inside quotes stays in its row
  EXPECT_EQ(Rows("a\nb\n").size(), 2u);
  std::string error;
  EXPECT_FALSE(ParseCsv("a\n\"open,b\n", [](long, std::vector<SheetCell>&) {}, &error));
  EXPECT_EQ(error, "row 2: a quoted field does not end");
  // What CsvLine writes, ParseCsv reads back.
  std::vector<std::string> fields = {"plain", "com,ma", "quo\"te", "line\r\nbreak", " padded ", ""};
  EXPECT_EQ(Rows(CsvLine(fields))[0], fields);
}

TEST(Csv, Utf8WithOrWithoutMarkElseCodePage932) {
  std::string text;
  bool cp932 = true;
  ASSERT_TRUE(CsvText("\xEF\xBB\xBF" + std::string(UTF8("資産")), &text, &cp932));
  EXPECT_EQ(text, UTF8("資産"));
  EXPECT_FALSE(cp932);
  ASSERT_TRUE(CsvText(UTF8("資産"), &text, &cp932));
  EXPECT_FALSE(cp932);
  ASSERT_TRUE(CsvText("\x8E\x91\x8E\x59", &text, &cp932));  // 資産 in code page 932
  EXPECT_EQ(text, UTF8("資産"));
  EXPECT_TRUE(cp932);
  EXPECT_FALSE(CsvText("\x80\xFF", &text, &cp932));
}

}  // namespace
