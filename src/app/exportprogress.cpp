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

bool ExportProgress::Update(long done, long total) {
  if (g_interrupted != 0) cancelled_ = true;
  if (front_end_ == nullptr || cancelled_) return !cancelled_;
  // The clock is read every few assets only: a row takes microseconds.
  if (done % 64 != 0) return true;
  ULONGLONG now = GetTickCount64();
  if (now < next_) return true;
  next_ = now + kInterval;
  ULONGLONG elapsed = now - start_;
  long rate = elapsed == 0 ? 0 : static_cast<long>(static_cast<ULONGLONG>(done) * 1000u / elapsed);
  shown_ = true;
  cancelled_ = !front_end_->ShowProgress(done, total, rate);
  return !cancelled_;
}

void ExportProgress::End() {
  if (!shown_) return;
  shown_ = false;
  front_end_->EndProgress();
}
