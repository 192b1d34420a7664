// Tells the trace when the next window of this thread becomes active: a
// test waits for that line before it sends keys to a message box or to the
// file chooser, whose windows Windows makes and runs itself.
#pragma once
#include <windows.h>

class ScopedActivationTrace {
 public:
  // Traces line (when tracing is on) once the next window of this thread
  // is activated during the object's life.
  explicit ScopedActivationTrace(const char* line);
  ~ScopedActivationTrace();
  ScopedActivationTrace(const ScopedActivationTrace&) = delete;
  ScopedActivationTrace& operator=(const ScopedActivationTrace&) = delete;

 private:
  HHOOK hook_ = nullptr;
  const char* previous_line_;
};
