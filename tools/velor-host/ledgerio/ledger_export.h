// The ledger of a host store written out again: as sheets (a workbook or
// CSV files) or as a JSON ledger, in the forms velor-host import reads, so
// that importing the output gives the same store. Also the empty template.
#pragma once
#include <ostream>
#include <string>

#include "sheet_sink.h"
#include "storesql.h"

// Writes every company, user, asset kind, asset and breakdown line of sql
// into sink, sheet by sheet. False with *error (UTF-8) when the store
// cannot be read, the sink fails, or a breakdown line's asset has a code
// that another asset of its company shares (a sheet names the asset of a
// line by its code).
bool ExportStoreSheets(StoreSql* sql, SheetSink* sink, std::string* error);

// Writes the ledger of sql as a JSON ledger (velor-ledger/1) to out. False
// with *error when the store cannot be read.
bool ExportStoreJson(StoreSql* sql, std::ostream& out, std::string* error);

// Writes the empty ledger sheets (their title rows) and the explanation
// sheet (each column's meaning, whether it is required, its limit and
// codes) into sink.
bool WriteLedgerTemplate(SheetSink* sink, std::string* error);
