#include "activationtrace.h"

#include "desktoptrace.h"

namespace {

// The line of the innermost live object; null once traced.
const char* g_line = nullptr;

LRESULT CALLBACK OnComputerBasedTraining(int code, WPARAM wparam, LPARAM lparam) {
  if (code == HCBT_ACTIVATE && g_line != nullptr) {
    DesktopTrace(g_line);
    g_line = nullptr;
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

ScopedActivationTrace::ScopedActivationTrace(const char* line) : previous_line_(g_line) {
  if (!DesktopTraceOn()) return;
  g_line = line;
  hook_ = SetWindowsHookExW(WH_CBT, OnComputerBasedTraining, nullptr, GetCurrentThreadId());
}

ScopedActivationTrace::~ScopedActivationTrace() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  g_line = previous_line_;
}
