#include "batchrun.h"

// <chrono> itself is left out: its unit texts do not convert to the code
// page the system's texts are compiled in; <condition_variable> brings the
// durations.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "codepage.h"
#include "exportreport.h"
#include "hostsession.h"

namespace {

// What the running exports share with the batch's thread.
struct Shared {
  std::atomic<size_t> next{0};       // the next job to start
  std::atomic<long> assets{0};       // assets written by all jobs
  std::atomic<bool> cancelled{false};
  std::mutex mutex;
  std::condition_variable ended;
  long jobs_done = 0;  // jobs ended; guarded by mutex
  long running = 0;    // threads still working; guarded by mutex
};

// Hears one export: keeps its report, adds its assets to the batch's count
// and stops it once the batch is cancelled.
class JobObserver : public ClExportObserver {
 public:
  explicit JobObserver(Shared* shared) : shared_(shared) {}
  void OnLogEntry(const ClLogEntry& entry) override { report_.OnLogEntry(entry); }
  bool OnAssetsDone(long done, long) override {
    shared_->assets.fetch_add(done - counted_, std::memory_order_relaxed);
    counted_ = done;
    return !shared_->cancelled.load(std::memory_order_relaxed);
  }
  ExportReport& report() { return report_; }

 private:
  Shared* shared_;
  ExportReport report_;
  long counted_ = 0;
};

// The report and the counts of a finished job.
void FinishJob(BatchJob* job, JobObserver& observer) {
  ExportReport& report = observer.report();
  report.Finish(job->data, job->result);
  job->report_json = report.ToJson();
  job->warnings = report.warnings();
  job->errors = report.errors();
  if (job->result.outcome == ExportRunResult::kFailed) job->failure = ExportFailureCauses(job->result);
}

// One thread of the batch: takes the next job until none is left.
void Work(std::vector<BatchJob>* jobs, Shared* shared) {
  std::string why;
  HostThreadSession session(&why);
  for (;;) {
    size_t index = shared->next.fetch_add(1);
    if (index >= jobs->size() || shared->cancelled.load()) break;
    BatchJob& job = (*jobs)[index];
    job.started = true;
    job.result.asset_path = job.asset_path;
    if (!session.ok()) {
      job.result.outcome = ExportRunResult::kFailed;
      if (!Utf8ToCp932(why, &job.failure)) job.failure = why;
      job.failure += "\n";
    } else {
      JobObserver observer(shared);
      job.result = RunExportFiles(job.data, job.asset_path.c_str(), &observer, ExportCompany::kRecord);
      FinishJob(&job, observer);
    }
    std::lock_guard<std::mutex> lock(shared->mutex);
    ++shared->jobs_done;
    shared->ended.notify_all();
  }
  std::lock_guard<std::mutex> lock(shared->mutex);
  --shared->running;
  shared->ended.notify_all();
}

}  // namespace

void RunBatchJobs(std::vector<BatchJob>* jobs, int threads, const BatchTick& tick) {
  Shared shared;
  size_t n = threads < 1 ? 1 : static_cast<size_t>(threads);
  if (n > jobs->size()) n = jobs->size();
  shared.running = static_cast<long>(n);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < n; ++i) workers.emplace_back(Work, jobs, &shared);
  std::unique_lock<std::mutex> lock(shared.mutex);
  while (shared.running > 0) {
    shared.ended.wait_for(lock, std::chrono::milliseconds(100));
    if (shared.running == 0) break;
    long done = shared.jobs_done;
    lock.unlock();
    if (!shared.cancelled.load() && !tick(done, shared.assets.load())) shared.cancelled.store(true);
    lock.lock();
  }
  lock.unlock();
  for (std::thread& t : workers) t.join();
}
