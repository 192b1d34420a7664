// The report of one export for the clerk: the company data, the files, the
// counts and every diagnostics entry with the asset and column it concerns,
// as a JSON document (UTF-8), and the counts as one summary line.
#pragma once
#include <string>
#include <vector>

#include "ClDepreciation.h"
#include "exportobserver.h"
#include "exportprogress.h"
#include "hostrecords.h"

struct ExportRunResult;

class ExportReport : public ClExportObserver {
 public:
  // How the export ended, as the report names it.
  enum Outcome { kExported, kExportedWithDiagnostics, kFailed, kCancelled };

  // An empty report; progress (null: none) hears of the walk.
  explicit ExportReport(ExportProgress* progress = nullptr) : progress_(progress) {}

  // Keeps a copy of entry.
  void OnLogEntry(const ClLogEntry& entry) override;
  // Hands the walk's progress to the progress display; false when cancelled.
  bool OnAssetsDone(long done, long total) override;

  // Records what the export was about and how it ended: the company data,
  // the Windows paths (code page 932) of the asset file, the asset-kind file
  // and the log, the engine's counts and failed files (ClDepreciation
  // kFailed* bits), and whether the log was kept.
  void Finish(const StDATAINFO& data, const std::string& asset_path, const std::string& kind_path,
              const std::string& log_path, const ClDepreciation::Tally& tally, unsigned failures,
              bool log_kept, Outcome outcome);

  // The same from the result of the export (see exportrun.h).
  void Finish(const StDATAINFO& data, const ExportRunResult& run);
  // Names a file (Windows path, code page 932) that the export could not
  // remove and left in the folder.
  void AddLeftFile(const std::string& path) { left_files_.push_back(path); }

  // The WARNING and ERROR entries so far.
  long warnings() const { return warnings_; }
  long errors() const { return errors_; }

  // The report as a JSON document (UTF-8, ends with a line break).
  std::string ToJson() const;
  // The counts as one line (UTF-8, no line break).
  std::string SummaryLine() const;

 private:
  struct Entry {
    bool error;
    std::string code, name, breakdown, value, text;  // code page 932
    long column;
  };
  ExportProgress* progress_;
  std::vector<Entry> entries_;
  std::vector<std::string> left_files_;  // see AddLeftFile
  long warnings_ = 0, errors_ = 0;
  StDATAINFO data_{};
  std::string paths_[3];  // indexed by ClCSVEdit::OutputFile
  ClDepreciation::Tally tally_;
  unsigned failures_ = 0;
  bool log_kept_ = false;
  Outcome outcome_ = kFailed;
};
