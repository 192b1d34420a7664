// The end of a batch: one table row per company on the console, one report
// with an entry per company, one message on a desktop, and the exit status.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

#include "batch.h"
#include "batchrun.h"

class FrontEnd;

// The company name of data in UTF-8, for messages.
std::string CompanyNameShown(const StDATAINFO& data);

class BatchSummary {
 public:
  // How a company of the batch ended.
  enum Result { kExported, kDiagnostics, kFailed, kCancelled, kNotStarted, kRefused, kSkipped };

  // A company left out as past-results data.
  void AddSkipped(const StDATAINFO& data);
  // A company whose path the checks refused (nothing written).
  void AddRefused(const BatchJob& job);
  // A company the batch ran (or never started, once cancelled).
  void AddJob(const BatchJob& job);
  // True when no company was added.
  bool empty() const { return rows_.empty(); }

  // Prints the table, in data-number order, then the causes of each failure.
  void PrintTable(FILE* out) const;
  // Writes the report (JSON, UTF-8) to the native path, put in place in one
  // step. False, with a message on the standard error, when it cannot.
  bool WriteReport(const std::string& native) const;
  // On a desktop front end, one message box that sums the batch up, names
  // the report (native path, "" for none) and offers the table, which Yes
  // shows in the viewer; nothing elsewhere.
  void ShowMessage(FrontEnd* front_end, const std::string& report) const;
  // The exit status: failed when a company failed, was refused or cancelled.
  BatchStatus Status() const;

 private:
  struct Row {
    StDATAINFO data;
    std::string folder;  // Windows path, code page 932; "" when skipped
    Result result;
    ClDepreciation::Tally tally;
    long warnings = 0, errors = 0;
    std::string failure;      // code page 932 lines
    std::string report_json;  // the company's own report; "" when none
  };
  // The table and the causes of the failures (code page 932, lines ended by
  // LF).
  std::string TableText() const;
  // The rows in data-number order.
  std::vector<const Row*> Sorted() const;
  // How many rows have result.
  long Count(Result result) const;

  std::vector<Row> rows_;
};
