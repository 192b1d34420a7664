#include "exportreport.h"

#include <cstring>

#include <nlohmann/json.hpp>

#include "ClG_HEAD.h"
#include "codepage.h"
#include "drivemap.h"
#include "exportrun.h"

using json = nlohmann::ordered_json;

namespace {

const char* OutcomeName(ExportReport::Outcome outcome) {
  switch (outcome) {
    case ExportReport::kExported: return "exported";
    case ExportReport::kExportedWithDiagnostics: return "exported with diagnostics";
    case ExportReport::kCancelled: return "cancelled";
    default: return "failed";
  }
}

// A file of the export: its Windows path, its native path and whether it
// now holds what the export wrote.
// The title of column (1 to 156) as the title line holds it, without the
// comment mark that opens the line.
std::string ColumnTitle(long column) {
  const char* title = ClG_HEAD::s_apszTitles[column - 1];
  return Cp932ToUtf8Shown(title[0] == ';' ? title + 1 : title);
}

json FileObject(const std::string& windows, bool written) {
  std::string native;
  json file = {{"path", Cp932ToUtf8Shown(windows)}, {"written", written}};
  file["native_path"] = !windows.empty() && DriveMapToNative(windows.c_str(), &native)
                            ? json(native)
                            : json(nullptr);
  return file;
}

}  // namespace

void ExportReport::OnLogEntry(const ClLogEntry& entry) {
  ++(entry.error ? errors_ : warnings_);
  entries_.push_back({entry.error, std::string(entry.code), std::string(entry.name),
                      std::string(entry.breakdown), std::string(entry.value),
                      std::string(entry.text), entry.column});
}

bool ExportReport::OnAssetsDone(long done, long total) {
  return progress_ == nullptr || progress_->Update(done, total);
}

void ExportReport::Finish(const StDATAINFO& data, const std::string& asset_path,
                          const std::string& kind_path, const std::string& log_path,
                          const ClDepreciation::Tally& tally, unsigned failures, bool log_kept,
                          Outcome outcome) {
  std::memcpy(&data_, &data, sizeof data_);
  paths_[ClCSVEdit::OF_ASSET] = asset_path;
  paths_[ClCSVEdit::OF_KIND] = kind_path;
  paths_[ClCSVEdit::OF_LOG] = log_path;
  tally_ = tally;
  failures_ = failures;
  log_kept_ = log_kept;
  outcome_ = outcome;
}

void ExportReport::Finish(const StDATAINFO& data, const ExportRunResult& run) {
  static const Outcome kOutcomes[] = {kExported, kExportedWithDiagnostics, kFailed, kCancelled};
  Finish(data, run.asset_path, run.kind_path, run.log_path, run.tally, run.file_failures,
         run.log_kept, kOutcomes[run.outcome]);
}

std::string ExportReport::ToJson() const {
  const char* entity = data_.bEntityKind <= 1 ? "corporation"
                       : data_.bEntityKind == 3 || data_.bEntityKind == 4 ? "individual"
                                                                           : "";
  std::string name(data_.szDataName, strnlen(data_.szDataName, sizeof data_.szDataName));
  bool done = outcome_ == kExported || outcome_ == kExportedWithDiagnostics;
  json report = {
      {"format", "velor-report/1"},
      {"outcome", OutcomeName(outcome_)},
      {"company",
       {{"data_no", data_.lDataNo},
        {"name", Cp932ToUtf8Shown(name)},
        {"entity", entity},
        {"term_start", data_.lTermStart},
        {"term_end", data_.lTermEnd}}},
      {"files",
       {{"assets", FileObject(paths_[ClCSVEdit::OF_ASSET],
                              done && (failures_ & ClDepreciation::kFailedAsset) == 0)},
        {"asset_kinds", FileObject(paths_[ClCSVEdit::OF_KIND],
                                   done && (failures_ & ClDepreciation::kFailedKind) == 0)},
        {"log", FileObject(paths_[ClCSVEdit::OF_LOG], log_kept_)}}},
      {"counts",
       {{"assets_read", tally_.assets},
        {"data_rows", tally_.rows},
        {"breakdown_rows", tally_.breakdown_rows},
        {"asset_kinds", tally_.kinds},
        {"warnings", warnings_},
        {"errors", errors_}}},
  };
  json entries = json::array();
  for (const Entry& e : entries_) {
    bool has_column = e.column >= 1 && e.column <= ClG_HEAD::kItems;
    entries.push_back({
        {"kind", e.error ? "ERROR" : "WARNING"},
        {"asset_code", Cp932ToUtf8Shown(e.code)},
        {"asset_name", Cp932ToUtf8Shown(e.name)},
        {"breakdown_no", e.breakdown.empty() ? json(nullptr) : json(Cp932ToUtf8Shown(e.breakdown))},
        {"column", has_column ? json(e.column) : json(nullptr)},
        {"column_title",
         has_column ? json(ColumnTitle(e.column)) : json(nullptr)},
        {"value", Cp932ToUtf8Shown(e.value)},
        {"text", Cp932ToUtf8Shown(e.text)},
    });
  }
  report["entries"] = std::move(entries);
  json left = json::array();
  for (const std::string& path : left_files_) left.push_back(Cp932ToUtf8Shown(path));
  report["left_files"] = std::move(left);
  return report.dump(2) + "\n";
}

std::string ExportReport::SummaryLine() const {
  return "velor: " + std::to_string(tally_.assets) + " assets read, " +
         std::to_string(tally_.rows) + " data rows (" + std::to_string(tally_.breakdown_rows) +
         " breakdown rows), " + std::to_string(tally_.kinds) + " asset kinds, " +
         std::to_string(warnings_) + " warnings, " + std::to_string(errors_) + " errors";
}
