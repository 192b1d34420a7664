// The rows of a workbook or of CSV files as ledger records: each row of a
// ledger sheet becomes one record for the LedgerLoader, and each value
// keeps its sheet, row and column so that a mistake names its cell.
#pragma once
#include "ledger_loader.h"
#include "sheet_source.h"

// Reads the ledger sheets of book into loader (begun): companies, users,
// asset kinds, assets and breakdown lines, each sheet's rows in order.
// Unknown sheets and columns, cells that hold no value of their column and
// references to missing companies or assets are mistakes of the loader.
void ReadSheetLedger(SheetSource& book, LedgerLoader* loader);
