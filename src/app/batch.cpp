#include "batch.h"

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "ClConditionEntry.h"
#include "ClSetData.h"
#include "ConsoleFrontEnd.h"
#include "batchrun.h"
#include "batchsummary.h"
#include "codepage.h"
#include "consoleout.h"
#include "crtio.h"
#include "exportprogress.h"
#include "frontend.h"
#include "messages.h"

namespace {

// The company data of the host's list that selection names, in data-number
// order. False when the list cannot be read.
bool ReadCompanies(ClSetData* companies, const CompanySelection& selection,
                   std::vector<StDATAINFO>* chosen) {
  if (companies == nullptr) return false;
  LONG cursor = 0;
  if (companies->GetDatCursor(&cursor) != 0) return false;
  companies->ReadyDat(cursor, 0);
  StDATAINFO record;
  int walked;
  for (;;) {
    std::memset(&record, 0, sizeof record);
    walked = companies->WalkDat(&record, cursor);
    if (walked != 0) break;
    if (selection.Selects(record.lDataNo)) chosen->push_back(record);
  }
  companies->ReleaseDatCursor(cursor);
  return walked == 1;
}

// The first single data number of selection that names no company of
// chosen; -1 when each names one.
long MissingDataNo(const CompanySelection& selection, const std::vector<StDATAINFO>& chosen) {
  for (const auto& r : selection.ranges) {
    if (r.first != r.second) continue;
    bool found = false;
    for (const StDATAINFO& data : chosen) found = found || data.lDataNo == r.first;
    if (!found) return r.first;
  }
  return -1;
}

// The front end of a company's path check: before its first message says
// on the standard error which company and path it concerns.
class CompanyFrontEnd : public PresetPathFrontEnd {
 public:
  CompanyFrontEnd(FrontEnd& inner, const BatchJob& job)
      : PresetPathFrontEnd(inner, job.asset_path), job_(job) {}
  int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                 UINT type) override {
    if (!named_) {
      named_ = true;
      ConsolePrintf(stderr, "velor: %s\n",
                    Tr("data %s (%s): %s", {std::to_string(job_.data.lDataNo),
                                            CompanyNameShown(job_.data),
                                            Cp932ToUtf8Shown(job_.asset_path)}).c_str());
    }
    return PresetPathFrontEnd::MessageBox(owner, text, caption, type);
  }

 private:
  const BatchJob& job_;
  bool named_ = false;
};

// Runs the condition dialog's checks on the path of job without showing the
// dialog: its questions and refusals go to the front end in use. True when
// the path passed (missing folders are then made).
bool CheckJobPath(const BatchJob& job) {
  FrontEnd* inner = CurrentFrontEnd();
  if (inner == nullptr) return false;
  CompanyFrontEnd preset(*inner, job);
  ScopedFrontEnd scoped(&preset);
  ClConditionEntry dialog(nullptr);
  return dialog.DoModal() == IDC_EXECUTE;
}

int JobCount(int asked, size_t companies) {
  int jobs = asked;
  if (jobs <= 0) {
    unsigned processors = std::thread::hardware_concurrency();
    jobs = processors == 0 ? 1 : static_cast<int>(processors);
  }
  if (static_cast<size_t>(jobs) > companies) jobs = static_cast<int>(companies);
  return jobs < 1 ? 1 : jobs;
}

}  // namespace

BatchStatus RunCompanyBatch(const BatchRequest& request, ClSetData* companies) {
  // A report that could not be written would fail the batch after every
  // company was exported: it is checked before anything is written.
  std::string why;
  if (!request.report.empty() && !NativeFileReplaceable(request.report.c_str(), &why)) {
    ConsolePrintf(stderr, "velor: %s\n",
                  Tr("the report %s cannot be written: %s", {request.report, why}).c_str());
    return kBatchFailed;
  }
  std::vector<StDATAINFO> chosen;
  if (!ReadCompanies(companies, request.selection, &chosen)) {
    ConsolePrintf(stderr, "velor: %s\n", Tr("the company data of the host store cannot be read"));
    return kBatchFailed;
  }
  long missing = MissingDataNo(request.selection, chosen);
  if (missing >= 0) {
    ConsolePrintf(stderr, "velor: %s\n",
                  Tr("--companies: the host store has no company data number %s",
                     {std::to_string(missing)}).c_str());
    return kBatchBadRequest;
  }

  BatchSummary summary;
  std::vector<BatchJob> jobs;
  for (const StDATAINFO& data : chosen) {
    if (data.nDataKind == 99) {
      // Past-results data cannot be exported, as the dialog says.
      ConsolePrintf(stderr, "velor: %s\n",
                    Tr("data %s (%s) is past-results data and is skipped",
                       {std::to_string(data.lDataNo), CompanyNameShown(data)}).c_str());
      summary.AddSkipped(data);
      continue;
    }
    BatchJob job;
    job.data = data;
    job.asset_path = ExpandOutputPattern(request.pattern, data);
    jobs.push_back(job);
  }
  if (jobs.empty() && summary.empty()) {
    ConsolePrintf(stderr, "velor: %s\n", Tr("--companies names no company data of the host store"));
    return kBatchBadRequest;
  }

  std::vector<std::string> paths;
  for (const BatchJob& job : jobs) paths.push_back(job.asset_path);
  size_t first = 0, second = 0;
  if (FindSharedFolder(paths, &first, &second)) {
    const BatchJob& a = jobs[first];
    const BatchJob& b = jobs[second];
    ConsolePrintf(stderr, "velor: %s\n",
                  Tr("data %s (%s) and data %s (%s) would both write into the folder of %s; "
                     "nothing was written; give --output a pattern that sets them apart with "
                     "{no} or {id}",
                     {std::to_string(a.data.lDataNo), CompanyNameShown(a.data),
                      std::to_string(b.data.lDataNo), CompanyNameShown(b.data),
                      Cp932ToUtf8Shown(b.asset_path)}).c_str());
    return kBatchBadRequest;
  }

  // Every path is checked before the first export: the questions come
  // while a person waits for them, the exports run on their own.
  std::vector<BatchJob> ready;
  for (BatchJob& job : jobs) {
    if (CheckJobPath(job)) {
      ready.push_back(job);
    } else {
      summary.AddRefused(job);
    }
  }

  long total = static_cast<long>(ready.size());
  {
    ExportProgress progress(CurrentFrontEnd());
    RunBatchJobs(&ready, JobCount(request.jobs, ready.size()),
                 [&](long done, long assets) { return progress.UpdateBatch(done, total, assets); });
  }
  for (const BatchJob& job : ready) summary.AddJob(job);
  summary.PrintTable(stdout);
  if (!request.report.empty() && !summary.WriteReport(request.report)) return kBatchFailed;
  summary.ShowMessage(CurrentFrontEnd(), request.report);
  return summary.Status();
}
