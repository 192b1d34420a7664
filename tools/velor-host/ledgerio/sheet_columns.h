// The sheets and columns of a ledger workbook (and of its CSV files): their
// Japanese titles, the ledger key each column fills, what its cells hold.
#pragma once
#include <cstddef>
#include <string>

// A UTF-8 string literal (u8"...") as const char*: the build's plain
// literals are code page 932, the text of workbooks and CSV files UTF-8.
#define UTF8(literal) reinterpret_cast<const char*>(u8##literal)

// What the cells of a column hold.
enum class CellKind {
  kText,     // text, kept as it is
  kInteger,  // a whole number
  kCode,     // a whole number from a code list; "5:定率法" is taken as 5
  kDate,     // a date cell, 2025/04/01, 2025-04-01, or yyyymmdd as a number
  kAmount,   // an amount: a number cell or text such as ¥1,234,567.5
};

// One column: the ledger key it fills ("#data_no" the company's data number
// of a row, "#asset_code" the code of the asset a breakdown line belongs
// to), its title, its cells, whether it is required, its meaning and codes
// (Japanese, for the explanation sheet and the validation lists).
struct SheetColumn {
  const char* key;
  const char* title;
  CellKind kind;
  bool required;
  const char* meaning;
  const char* codes;  // "1:旧定率法,2:旧定額法,..." or null
};

// One sheet: its name, the ledger array its rows fill and its columns.
struct SheetDef {
  const char* name;
  const char* ledger;  // "companies", "users", "asset_kinds", "assets", "breakdowns"
  const SheetColumn* columns;
  size_t count;
};

// The sheets in the order they are read and written.
extern const SheetDef kLedgerSheets[];
extern const size_t kLedgerSheetCount;
// The name of the explanation sheet of the template, passed over on import.
extern const char* const kExplanationSheet;
// The key of the company reference and of the asset reference columns.
extern const char kDataNoKey[];
extern const char kAssetCodeKey[];

// The sheet named name, or null.
const SheetDef* FindLedgerSheet(const std::string& name);
// The column of sheet titled title, or null.
const SheetColumn* FindSheetColumn(const SheetDef& sheet, const std::string& title);
// The column of sheet that fills key, or null.
const SheetColumn* SheetColumnOfKey(const SheetDef& sheet, const std::string& key);
// The spreadsheet letters of the 0-based column index (0 "A", 27 "AB").
std::string ColumnLetters(size_t index);
