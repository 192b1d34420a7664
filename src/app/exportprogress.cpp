#include "exportprogress.h"

#include <csignal>

#include "consolectrl.h"
#include "wintime.h"

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

BOOL TakeInterrupt(DWORD ctrl_type) {
  if (ctrl_type != CTRL_C_EVENT) return FALSE;
  g_interrupted = 1;
  return TRUE;
}

}  // namespace

ExportProgress::ExportProgress(FrontEnd* front_end)
    : front_end_(front_end), start_(GetTickCount64()), next_(start_ + kDelay) {
  g_interrupted = 0;
  interruptible_ = SetConsoleCtrlHandler(TakeInterrupt, TRUE) != FALSE;
}

ExportProgress::~ExportProgress() {
  End();
  if (interruptible_) SetConsoleCtrlHandler(TakeInterrupt, FALSE);
}

bool ExportProgress::Due(long done) {
  if (g_interrupted != 0) cancelled_ = true;
  if (front_end_ == nullptr || cancelled_) return false;
  // The clock is read every few assets only: a row takes microseconds.
  if (done % 64 != 0) return false;
  ULONGLONG now = GetTickCount64();
  if (now < next_) return false;
  next_ = now + kInterval;
  return true;
}

long ExportProgress::Rate(long assets) const {
  ULONGLONG elapsed = GetTickCount64() - start_;
  return elapsed == 0 ? 0 : static_cast<long>(static_cast<ULONGLONG>(assets) * 1000u / elapsed);
}

bool ExportProgress::Update(long done, long total) {
  if (!Due(done)) return !cancelled_;
  shown_ = true;
  cancelled_ = !front_end_->ShowProgress(done, total, Rate(done));
  return !cancelled_;
}

bool ExportProgress::UpdateBatch(long done, long total, long assets) {
  // A batch reports a few times a second, not per asset: every call counts.
  if (!Due(0)) return !cancelled_;
  shown_ = true;
  cancelled_ = !front_end_->ShowBatchProgress(done, total, Rate(assets));
  return !cancelled_;
}

void ExportProgress::End() {
  if (!shown_) return;
  shown_ = false;
  front_end_->EndProgress();
}
