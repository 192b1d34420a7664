// Workbooks (.xlsx): reading one as the sheets of a ledger, writing one.
// A build without the workbook libraries says so through these calls.
#pragma once
#include <memory>
#include <string>

#include "sheet_sink.h"
#include "sheet_source.h"

// Opens the workbook at native path (UTF-8) for reading. Null with *error
// (UTF-8) when it cannot be read, is no workbook, or breaks the limits that
// keep a hostile file from taking the machine's time and memory.
std::unique_ptr<SheetSource> OpenWorkbook(const std::string& path, std::string* error);

// A sink that writes a workbook at native path when finished. Null with
// *error when this build cannot write workbooks.
std::unique_ptr<SheetSink> CreateWorkbook(const std::string& path, std::string* error);
