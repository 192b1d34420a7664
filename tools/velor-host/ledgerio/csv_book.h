// A folder of CSV files as a workbook: FOLDER/資産.csv is the sheet 資産.
// Each file is UTF-8 (with or without a byte-order mark) or, when it is not
// valid UTF-8, code page 932; fields are separated by commas and quoted as
// spreadsheet programs quote them (commas, "" and line breaks inside).
#pragma once
#include <string>
#include <vector>

#include "sheet_source.h"

class CsvFolder : public SheetSource {
 public:
  // The folder at native path folder (UTF-8). Open says whether it can be read.
  explicit CsvFolder(std::string folder);
  // Lists the CSV files; false with *error when the folder cannot be read.
  bool Open(std::string* error);

  std::vector<std::string> SheetNames() const override { return sheets_; }
  bool ReadSheet(const std::string& name, const SheetRowFn& row, std::string* error) override;
  std::vector<std::string> Notes() const override { return notes_; }

 private:
  std::string folder_;
  std::vector<std::string> sheets_;
  std::vector<std::string> files_;  // the file of each sheet
  std::vector<std::string> notes_;
};

// Hands the records of the CSV text (UTF-8) to row, numbered from 1. False
// with *error when a quoted field does not end.
bool ParseCsv(const std::string& text, const SheetRowFn& row, std::string* error);

// The UTF-8 text of a CSV file's bytes: without its byte-order mark, or
// converted from code page 932 when the bytes are not UTF-8 (*cp932 true).
// False when they are neither.
bool CsvText(const std::string& bytes, std::string* text, bool* cp932);

// One CSV line (with CR LF) of fields, quoted where they need it.
std::string CsvLine(const std::vector<std::string>& fields);
