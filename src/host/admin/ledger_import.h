// Import of a ledger file (UTF-8 JSON, format "velor-ledger/1") into the
// host store: users, company data sets, asset kinds, assets and breakdown
// lines. The file is read as a stream, so memory does not grow with it.
#pragma once
#include <istream>
#include <string>

#include "ledger_loader.h"

// Reads the JSON ledger from in and hands its records to loader (begun),
// which collects every mistake with its JSON place
// ("companies[0].assets[12].lAcquiredDate"). A broken JSON structure ends
// the reading at that place.
void ReadJsonLedger(std::istream& in, LedgerLoader* loader);

// Whether bytes are not UTF-8 but valid code page 932 (Shift_JIS) text: a
// ledger saved in the wrong encoding.
bool LooksLikeCp932(const std::string& bytes);

// Reads the ledger from in and adds it to the writable store sql in one
// transaction. True when everything was added; otherwise false, nothing of
// the ledger is in the store, and *error (UTF-8) names every problem (one a
// line, at most 100) with its place, e.g. "companies[0].assets[12].szAssetName: 201 bytes in code
// page 932, at most 192". Data numbers, data IDs and user IDs already in the
// store (or earlier in the ledger) are refused, and so is a user selecting
// a data number that neither has, unless anySelection is true (stores of
// tests that show what the exporter does with such a selection).
bool ImportLedger(StoreSql* sql, std::istream& in, std::string* error, bool anySelection = false);

// Opens the store at dbPath (a connection URI or a native path, UTF-8) and imports the ledger file at
// ledgerPath (native, UTF-8). False with *error as above, or saying why
// the store or the file cannot be used.
bool ImportLedgerFile(const std::string& dbPath, const std::string& ledgerPath,
                      std::string* error);
