#include "frontend.h"

namespace {
FrontEnd* g_front_end = nullptr;
}  // namespace

void FrontEnd::ControlChanged(CDialog&, int) {}
void FrontEnd::SetWaitCursor(bool) {}
bool FrontEnd::OnDesktop() const { return false; }
bool FrontEnd::ShowProgress(long, long, long) { return true; }

bool FrontEnd::ShowBatchProgress(long done, long total, long rate) {
  return ShowProgress(done, total, rate);
}
void FrontEnd::EndProgress() {}

bool FrontEnd::ShowTextFile(const std::string&) { return false; }

FrontEnd* CurrentFrontEnd() { return g_front_end; }

FrontEnd* SetCurrentFrontEnd(FrontEnd* front_end) {
  FrontEnd* previous = g_front_end;
  g_front_end = front_end;
  return previous;
}
