// A workbook as the ledger reader sees it: named sheets whose rows come one
// at a time, each a list of cells from column A.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "cell_values.h"

// Receives one row: its number as the spreadsheet program shows it and its
// cells from column A on (trailing empty cells may be missing). The cells
// may be moved from.
using SheetRowFn = std::function<void(long row, std::vector<SheetCell>& cells)>;

class SheetSource {
 public:
  virtual ~SheetSource() = default;
  // The sheets, in the workbook's order.
  virtual std::vector<std::string> SheetNames() const = 0;
  // Whether dates count from 1904 (else from 1900).
  virtual bool Date1904() const { return false; }
  // Hands the rows of the sheet name to row, in order. False with *error
  // (UTF-8) when the sheet cannot be read; the rows handed over stand.
  virtual bool ReadSheet(const std::string& name, const SheetRowFn& row, std::string* error) = 0;
  // What the reader found worth saying (the encoding of a CSV file, say).
  virtual std::vector<std::string> Notes() const { return {}; }
};
