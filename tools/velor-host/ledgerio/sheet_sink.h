// Where the sheets of a ledger are written: a workbook or a folder of CSV
// files. The caller starts each sheet with its title row, then adds rows.
#pragma once
#include <string>
#include <vector>

#include "sheet_columns.h"

// A cell to write.
struct OutCell {
  enum Type { kEmpty, kText, kNumber, kDate };
  Type type = kEmpty;
  std::string text;   // kText: the text; kDate: "2025/04/01"
  double number = 0;  // kNumber: the value; kDate: the 1900 date serial
};

class SheetSink {
 public:
  virtual ~SheetSink() = default;
  // Starts the sheet name with the titles in row 1. def describes its
  // columns (formats, lists); null for the explanation sheet.
  virtual bool StartSheet(const SheetDef* def, const std::string& name, const std::vector<std::string>& titles,
                          std::string* error) = 0;
  // Adds the next row of the sheet started last.
  virtual bool AddRow(const std::vector<OutCell>& cells, std::string* error) = 0;
  // Writes everything out. False with *error (UTF-8) when it cannot.
  virtual bool Finish(std::string* error) = 0;
};
