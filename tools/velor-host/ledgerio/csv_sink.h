// A folder of CSV files (UTF-8 with a byte-order mark, CR LF), one file per
// sheet, as the sheets of a ledger are written into it.
#pragma once
#include <string>

#include "sheet_sink.h"

class CsvSink : public SheetSink {
 public:
  // The folder at native path folder (UTF-8), made when missing.
  explicit CsvSink(std::string folder);
  bool StartSheet(const SheetDef* def, const std::string& name, const std::vector<std::string>& titles,
                  std::string* error) override;
  bool AddRow(const std::vector<OutCell>& cells, std::string* error) override;
  bool Finish(std::string* error) override;

 private:
  // Puts the sheet in progress in place as its file.
  bool Flush(std::string* error);

  std::string folder_, name_, text_;
};
