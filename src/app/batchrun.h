// The exports of a batch, several at once: each thread holds a store
// connection of its own and exports one company after the other, each
// exactly as a single export does, taking the company from its record.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "exportrun.h"
#include "hostrecords.h"

// One company of a batch: what to export, and what came of it.
struct BatchJob {
  StDATAINFO data{};       // the company data
  std::string asset_path;  // its asset file (Windows path, code page 932)

  bool started = false;     // its export began (false: cancelled before)
  ExportRunResult result;   // how it ended, when started
  std::string report_json;  // its report (as --report writes for one export)
  long warnings = 0, errors = 0;
  std::string failure;  // why it failed (code page 932, lines); "" when not
};

// Called on the batch's own thread about ten times a second with the jobs
// done and the assets written so far; returns false to cancel the batch.
using BatchTick = std::function<bool(long jobs_done, long assets)>;

// Exports every job on at most threads threads at once (at least one) and
// returns when all have ended. Once tick returns false the exports running
// stop between two rows (their previous files stay) and no further one
// starts. A thread whose store connection cannot be opened fails its jobs.
void RunBatchJobs(std::vector<BatchJob>* jobs, int threads, const BatchTick& tick);
