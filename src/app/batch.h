// velor --companies: the export of many company data of the store in one
// run, each into a folder of its own, several at once, with one summary
// table and one report.
#pragma once
#include <string>

#include "batchplan.h"

class ClSetData;

// What the command line asks of a batch.
struct BatchRequest {
  CompanySelection selection;  // the company data to export
  std::string pattern;         // the asset file pattern (Windows path, code page 932)
  int jobs = 0;                // exports at once; 0: the number of processors
  std::string report;          // the report's native path (UTF-8); "" for none
};

// The exit status of a batch.
enum BatchStatus {
  kBatchExported = 0,     // every company exported without diagnostics entries
  kBatchFailed = 1,       // a company failed or the batch was cancelled
  kBatchBadRequest = 2,   // nothing written: a clash of folders or unknown data
  kBatchDiagnostics = 3,  // every company exported, some with diagnostics entries
};

// Runs the batch of request over the company data of companies (the
// connected host's list) with the current front end: checks every path
// first (asking its questions), refuses two companies in one folder before
// writing anything, exports, then prints the table (and, on a desktop,
// shows one summary message) and writes the report. Remembers no path.
BatchStatus RunCompanyBatch(const BatchRequest& request, ClSetData* companies);
