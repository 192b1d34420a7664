// The ledger files velor-host reads: a JSON ledger, a workbook (.xlsx) or a
// folder of CSV files, one per sheet. All of them go through one
// LedgerLoader, so they meet the same checks and limits.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ledger_loader.h"
#include "sheet_sink.h"

// The forms a ledger comes in.
enum class LedgerForm { kJson, kWorkbook, kCsvFolder };

// The form of the ledger at path (native, UTF-8): a folder (an existing one,
// or a path ending in '/') holds CSV files, a name ending in .xlsx is a
// workbook, anything else JSON.
LedgerForm LedgerFormOf(const std::string& path);

// Reads the ledger at path into loader (begun). Every mistake goes to the
// loader; *notes receives what the reader found worth saying (UTF-8), such
// as the encoding a CSV file was read in.
void ReadLedgerPath(const std::string& path, LedgerLoader* loader, std::vector<std::string>* notes);

// The sink that writes sheets at path: a workbook for a .xlsx name, else a
// folder of CSV files. Null with *error when it cannot be made.
std::unique_ptr<SheetSink> SheetSinkFor(const std::string& path, std::string* error);
