#include "batchrun.h"

// <chrono> itself is left out: its unit texts do not convert to the code
// page the system's texts are compiled in; <condition_variable> brings the
// durations.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
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
  // Exports written and waiting for their commit, and whether the exporting
  // threads have all ended; guarded by mutex, told by queued.
  std::deque<std::function<void()>> commits;
  long exporting = 0;
  std::condition_variable queued;
  // The folders of the jobs prepared ahead, by job; guarded by mutex, told
  // by prepared_one. A job's entry is set once its preparation ended.
  std::vector<std::unique_ptr<ClCSVEdit::PreparedOutput>> prepared;
  std::vector<bool> prepare_ended;
  std::condition_variable prepared_one;
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

// How many commits run at once, and how many written exports may wait for
// theirs. A commit spends its time waiting for the disk to flush its files:
// flushes of several commits at once overlap (and the disk joins them), and
// overlap the writing of the next companies, at no cost to any one commit.
constexpr size_t kCommitThreads = 8;
constexpr size_t kWaitingCommits = 8;
// How many jobs ahead of the one starting get their folders prepared (locked,
// cleaned up, temporary names set aside and flushed) by the same threads.
constexpr size_t kPreparedAhead = 8;

// Queues the preparation of the folder of job index (when there is one).
// Once the batch is cancelled no folder is prepared any more: a job taken
// before prepares its own. Requires shared->mutex.
void QueuePreparation(std::vector<BatchJob>* jobs, Shared* shared, size_t index) {
  if (index >= jobs->size()) return;
  shared->commits.push_back([jobs, shared, index] {
    std::unique_ptr<ClCSVEdit::PreparedOutput> prepared;
    if (!shared->cancelled.load()) {
      prepared = std::make_unique<ClCSVEdit::PreparedOutput>((*jobs)[index].asset_path.c_str());
    }
    std::lock_guard<std::mutex> lock(shared->mutex);
    shared->prepared[index] = std::move(prepared);
    shared->prepare_ended[index] = true;
    shared->prepared_one.notify_all();
  });
  shared->queued.notify_all();
}

// Counts a job as ended.
void EndJob(Shared* shared) {
  std::lock_guard<std::mutex> lock(shared->mutex);
  ++shared->jobs_done;
  shared->ended.notify_all();
}

// One exporting thread of the batch: takes the next job until none is left,
// writes its files and hands their commit to the committing threads.
void Work(std::vector<BatchJob>* jobs, Shared* shared) {
  std::string why;
  HostThreadSession session(&why);
  for (;;) {
    size_t index = shared->next.fetch_add(1);
    if (index >= jobs->size() || shared->cancelled.load()) break;
    BatchJob& job = (*jobs)[index];
    {
      std::lock_guard<std::mutex> lock(shared->mutex);
      QueuePreparation(jobs, shared, index + kPreparedAhead);
    }
    job.started = true;
    job.result.asset_path = job.asset_path;
    if (!session.ok()) {
      job.result.outcome = ExportRunResult::kFailed;
      if (!Utf8ToCp932(why, &job.failure)) job.failure = why;
      job.failure += "\n";
      EndJob(shared);
      continue;
    }
    // The export keeps its folder locked from its preparation until its
    // commit: no other export gets between its files and their commit.
    std::unique_ptr<ClCSVEdit::PreparedOutput> prepared;
    {
      std::unique_lock<std::mutex> lock(shared->mutex);
      shared->prepared_one.wait(lock, [&] { return shared->prepare_ended[index]; });
      prepared = std::move(shared->prepared[index]);
    }
    auto observer = std::make_shared<JobObserver>(shared);
    auto written = std::make_shared<WrittenExport>(job.data, job.asset_path.c_str(), observer.get(),
                                                   ExportCompany::kRecord, prepared.get());
    prepared.reset();
    std::unique_lock<std::mutex> lock(shared->mutex);
    shared->queued.wait(lock, [&] { return shared->commits.size() < kWaitingCommits; });
    shared->commits.push_back([&job, observer, written, shared] {
      job.result = written->Commit();
      FinishJob(&job, *observer);
      EndJob(shared);
    });
    shared->queued.notify_all();
  }
  std::lock_guard<std::mutex> lock(shared->mutex);
  --shared->exporting;
  shared->queued.notify_all();
}

// One committing thread: commits the written exports until the exporting
// threads have ended and none is left.
void Commit(Shared* shared) {
  for (;;) {
    std::function<void()> commit;
    {
      std::unique_lock<std::mutex> lock(shared->mutex);
      shared->queued.wait(lock, [&] { return !shared->commits.empty() || shared->exporting == 0; });
      if (shared->commits.empty()) break;
      commit = std::move(shared->commits.front());
      shared->commits.pop_front();
      shared->queued.notify_all();
    }
    commit();
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
  size_t committers = std::min(kCommitThreads, jobs->size());
  shared.exporting = static_cast<long>(n);
  shared.running = static_cast<long>(committers);
  shared.prepared.resize(jobs->size());
  shared.prepare_ended.assign(jobs->size(), false);
  for (size_t i = 0; i < kPreparedAhead; ++i) QueuePreparation(jobs, &shared, i);
  std::vector<std::thread> workers;
  for (size_t i = 0; i < n; ++i) workers.emplace_back(Work, jobs, &shared);
  for (size_t i = 0; i < committers; ++i) workers.emplace_back(Commit, &shared);
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
