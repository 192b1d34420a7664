// What an export tells its caller while it runs: every diagnostics entry as
// it is written, with the asset and the column it concerns, and how far the
// walk of the ledger has come, which is also where the caller may stop it.
#pragma once
#include <string_view>

// One diagnostics entry and what it concerns. The texts are code page 932
// and stay valid only during the call that hands them over.
struct ClLogEntry {
  bool error;                  // an "＜ERROR＞" entry; else "＜WARNING＞"
  std::string_view code;       // the asset's code as in the ledger; "" outside the walk
  std::string_view name;       // the asset's name as in the ledger
  std::string_view breakdown;  // the breakdown line's number; "" for an asset's own row
  long column;                 // the asset file's column concerned (1 to 156); 0 none
  std::string_view value;      // the value the entry quotes; "" when it quotes none
  std::string_view text;       // the whole entry text (the log keeps its first 152 bytes)
};

class ClExportObserver {
 public:
  virtual ~ClExportObserver() = default;
  // entry has just been written to the diagnostics log.
  virtual void OnLogEntry(const ClLogEntry& entry) = 0;
  // done of the ledger's total assets have been written (done is 0 before
  // the first). Returns false to stop the export before the next asset.
  virtual bool OnAssetsDone(long done, long total) = 0;
};
