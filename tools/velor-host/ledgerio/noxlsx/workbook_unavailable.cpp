// The workbook calls of a build without the zip, XML and workbook-writing
// libraries: they say so, and point to CSV files and JSON ledgers.
#include "workbook.h"

namespace {
const char kUnavailable[] =
    "workbooks (.xlsx) are not available in this build of velor-host; use a folder of CSV files or a JSON ledger";
}

std::unique_ptr<SheetSource> OpenWorkbook(const std::string&, std::string* error) {
  *error = kUnavailable;
  return nullptr;
}

std::unique_ptr<SheetSink> CreateWorkbook(const std::string&, std::string* error) {
  *error = kUnavailable;
  return nullptr;
}
