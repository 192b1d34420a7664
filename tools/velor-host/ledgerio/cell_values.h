// The values of spreadsheet cells as the ledger takes them: dates as date
// serials or text, amounts as number cells (binary doubles, taken by their
// shortest decimal text) or text with separators and a yen sign.
#pragma once
#include <nlohmann/json.hpp>
#include <string>

#include "sheet_columns.h"

// A cell as a workbook or a CSV file holds it.
struct SheetCell {
  enum Type { kEmpty, kText, kNumber, kBool, kError };
  Type type = kEmpty;
  std::string text;  // UTF-8; a number's text as stored ("1234.5", "1E+20"); kError: what is wrong
};

// The ledger value (JSON integer, or string for text and amounts) of cell
// in a column of kind, into *value; false with *problem (UTF-8) when the
// cell holds no such value. date1904: the workbook counts dates from 1904.
bool CellToLedger(const SheetCell& cell, CellKind kind, bool date1904, nlohmann::json* value,
                  std::string* problem);

// The shortest decimal text in fixed notation that reads back as the
// double d ("0.1", "1234567.5", "100000000000000000000").
std::string ShortestDecimal(double d);

// The date serial of the yyyymmdd date in the 1900 date system, or 0 when
// it is no calendar date from 1900-03-01 to 9999-12-31 (earlier serials
// count the 29th of February 1900, which never was).
long DateSerial(long yyyymmdd);

// The decimal text of an amount times 10,000 ("-12.3456", "1500000").
std::string AmountText(long long times10000);
