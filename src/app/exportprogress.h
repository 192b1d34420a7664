// The progress of an export as a person sees it: nothing for a short
// export; from about half a second on, the count of assets done and the
// rate, shown through a front end a few times a second, which may cancel.
// Ctrl-C at the console cancels too while the object lives.
#pragma once
#include "frontend.h"
#include "wintypes.h"

class ExportProgress {
 public:
  // How long an export runs before its progress shows, and how often it is
  // shown again, in milliseconds.
  static const ULONGLONG kDelay = 500;
  static const ULONGLONG kInterval = 200;

  // Shows the progress through front_end (null: nowhere); the clock starts now.
  explicit ExportProgress(FrontEnd* front_end);
  // Takes the progress away if it was shown; Ctrl-C ends the process again.
  ~ExportProgress();
  ExportProgress(const ExportProgress&) = delete;
  ExportProgress& operator=(const ExportProgress&) = delete;

  // done of total assets are written. False once the user has cancelled.
  bool Update(long done, long total);
  // done of total companies of a batch are exported and assets assets
  // written in all. False once the user has cancelled.
  bool UpdateBatch(long done, long total, long assets);
  // Takes the progress away if it was shown (also done by the destructor).
  void End();

 private:
  // The time has come to show the progress again (counted from done), or
  // the user has cancelled: cancelled_ tells which.
  bool Due(long done);
  // Assets a second, for assets written since the start.
  long Rate(long assets) const;

  FrontEnd* front_end_;
  ULONGLONG start_;
  ULONGLONG next_;       // when to show the progress next
  bool shown_ = false;
  bool cancelled_ = false;
  bool interruptible_;  // Ctrl-C is taken as a cancel
};
