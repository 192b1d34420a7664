#include "batchsummary.h"

#include <algorithm>
#include <cstring>

#include <nlohmann/json.hpp>

#include "codepage.h"
#include "consoleout.h"
#include "frontend.h"
#include "mbcs.h"
#include "messages.h"
#include "pathfuncs.h"
#include "winfmt.h"
#include "crtio.h"
#include "caption.h"
#include "cfile.h"
#include "textviewer.h"
#include "winfs.h"
#include "messagebox.h"

using json = nlohmann::ordered_json;

namespace {

const char kBatchDone[] = "減価償却情報の一括出力が終了しました。\n\n";
const char kBatchCancelled[] = "減価償却情報の一括出力を中止しました。\n出力済みの会社はそのまま残っています。\n\n";
const char kBatchCounts[] =
    "出力 ⇒ %ld 社（うち診断情報あり %ld 社）\n失敗 ⇒ %ld 社\n中止・未実行 ⇒ %ld 社\n対象外（過去実績データ） ⇒ %ld 社\n";
const char kBatchReport[] = "\nレポート ⇒ %s    \n";
const char kBatchOffer[] = "\n一覧を表示しますか？";
const size_t kNameWidth = 24;

// text (code page 932) cut to width bytes at a whole character and padded
// with spaces to width: its width on a terminal, as a double-byte
// character takes two columns.
std::string Column(const std::string& text, size_t width, bool right = false) {
  std::string cut = text.substr(0, MbcsCutLength(text.c_str(), text.size(), width));
  std::string pad(width - cut.size(), ' ');
  return right ? pad + cut : cut + pad;
}

// A translated word of the table (UTF-8) in code page 932.
std::string Word(const char* utf8) {
  std::string cp932;
  return Utf8ToCp932(utf8, &cp932) ? cp932 : utf8;
}

std::string Name(const StDATAINFO& data) {
  return std::string(data.szDataName, strnlen(data.szDataName, sizeof data.szDataName));
}

}  // namespace

std::string CompanyNameShown(const StDATAINFO& data) { return Cp932ToUtf8Shown(Name(data)); }

void BatchSummary::AddSkipped(const StDATAINFO& data) {
  Row row{};
  row.data = data;
  row.result = kSkipped;
  rows_.push_back(row);
}

void BatchSummary::AddRefused(const BatchJob& job) {
  Row row{};
  row.data = job.data;
  row.folder = GetFolderPart(job.asset_path.c_str());
  row.result = kRefused;
  Utf8ToCp932(Tr("the output path was refused (see the message above)"), &row.failure);
  row.failure += "\n";
  rows_.push_back(row);
}

void BatchSummary::AddJob(const BatchJob& job) {
  Row row{};
  row.data = job.data;
  row.folder = GetFolderPart(job.asset_path.c_str());
  row.tally = job.result.tally;
  row.warnings = job.warnings;
  row.errors = job.errors;
  row.failure = job.failure;
  row.report_json = job.report_json;
  if (!job.started) {
    row.result = kNotStarted;
  } else {
    switch (job.result.outcome) {
      case ExportRunResult::kExported: row.result = kExported; break;
      case ExportRunResult::kExportedWithDiagnostics: row.result = kDiagnostics; break;
      case ExportRunResult::kCancelled: row.result = kCancelled; break;
      default: row.result = kFailed; break;
    }
  }
  rows_.push_back(row);
}

std::vector<const BatchSummary::Row*> BatchSummary::Sorted() const {
  std::vector<const Row*> sorted;
  for (const Row& row : rows_) sorted.push_back(&row);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Row* a, const Row* b) { return a->data.lDataNo < b->data.lDataNo; });
  return sorted;
}

long BatchSummary::Count(Result result) const {
  return static_cast<long>(std::count_if(rows_.begin(), rows_.end(),
                                         [result](const Row& row) { return row.result == result; }));
}

namespace {

// The result column's word of a row (translated, UTF-8).
const char* ResultWord(BatchSummary::Result result) {
  switch (result) {
    case BatchSummary::kExported: return Tr("exported");
    case BatchSummary::kDiagnostics: return Tr("diagnostics");
    case BatchSummary::kFailed: return Tr("failed");
    case BatchSummary::kCancelled: return Tr("cancelled");
    case BatchSummary::kNotStarted: return Tr("not started");
    case BatchSummary::kRefused: return Tr("refused");
    default: return Tr("skipped");
  }
}

}  // namespace

std::string BatchSummary::TableText() const {
  std::string head = Column(Word(Tr("data no")), 10, true) + "  " +
                     Column(Word(Tr("company")), kNameWidth) + Column(Word(Tr("assets")), 9, true) +
                     Column(Word(Tr("rows")), 9, true) + Column(Word(Tr("warnings")), 9, true) +
                     Column(Word(Tr("errors")), 9, true) + "  " + Column(Word(Tr("result")), 12) +
                     Word(Tr("folder"));
  std::string text = head + "\n";
  for (const Row* row : Sorted()) {
    bool counted = row->result != kSkipped && row->result != kRefused && row->result != kNotStarted;
    auto number = [counted](long n) { return Column(counted ? std::to_string(n) : "-", 9, true); };
    std::string line = Column(std::to_string(row->data.lDataNo), 10, true) + "  " +
                       Column(Name(row->data), kNameWidth) + number(row->tally.assets) +
                       number(row->tally.rows) + number(row->warnings) + number(row->errors) + "  " +
                       Column(Word(ResultWord(row->result)), 12) + row->folder;
    // Trailing spaces of a skipped row's empty folder are dropped.
    line.erase(line.find_last_not_of(' ') + 1);
    text += line + "\n";
  }
  for (const Row* row : Sorted()) {
    if (row->failure.empty()) continue;
    text += "velor: " +
            Word(Tr("data %s (%s) failed:", {std::to_string(row->data.lDataNo), CompanyNameShown(row->data)}).c_str()) +
            "\n" + row->failure;
  }
  return text;
}

void BatchSummary::PrintTable(FILE* out) const {
  ConsolePrintf(out, "%s", Cp932ToUtf8Shown(TableText()).c_str());
  std::fflush(out);
}

bool BatchSummary::WriteReport(const std::string& native) const {
  static const char* const kOutcomes[] = {"exported", "exported with diagnostics", "failed",
                                          "cancelled", "not started", "refused", "skipped"};
  json companies = json::array();
  for (const Row* row : Sorted()) {
    json entry = {{"data_no", row->data.lDataNo},
                  {"data_id", Cp932ToUtf8Shown(std::string(row->data.szDataID,
                                                           strnlen(row->data.szDataID, sizeof row->data.szDataID)))},
                  {"name", CompanyNameShown(row->data)},
                  {"result", kOutcomes[row->result]},
                  {"folder", row->folder.empty() ? json(nullptr) : json(Cp932ToUtf8Shown(row->folder))},
                  {"failure", row->failure.empty() ? json(nullptr) : json(Cp932ToUtf8Shown(row->failure))}};
    entry["report"] = row->report_json.empty() ? json(nullptr) : json::parse(row->report_json);
    companies.push_back(std::move(entry));
  }
  BatchStatus status = Status();
  json report = {
      {"format", "velor-batch-report/1"},
      {"outcome", status == kBatchExported      ? "exported"
                  : status == kBatchDiagnostics ? "exported with diagnostics"
                  : Count(kCancelled) + Count(kNotStarted) > 0 ? "cancelled"
                                                               : "failed"},
      {"counts",
       {{"companies", static_cast<long>(rows_.size())},
        {"exported", Count(kExported) + Count(kDiagnostics)},
        {"with_diagnostics", Count(kDiagnostics)},
        {"failed", Count(kFailed) + Count(kRefused)},
        {"cancelled", Count(kCancelled) + Count(kNotStarted)},
        {"skipped", Count(kSkipped)}}},
      {"companies", std::move(companies)},
  };
  std::string why;
  if (ReplaceNativeFile(native.c_str(), report.dump(2) + "\n", &why)) return true;
  ConsolePrintf(stderr, "velor: %s\n", Tr("the report %s cannot be written: %s", {native, why}).c_str());
  return false;
}

void BatchSummary::ShowMessage(FrontEnd* front_end, const std::string& report) const {
  if (front_end == nullptr || !front_end->OnDesktop()) return;
  bool cancelled = Count(kCancelled) + Count(kNotStarted) > 0;
  std::string text = cancelled ? kBatchCancelled : kBatchDone;
  char line[1024];
  _snprintf(line, sizeof line, kBatchCounts, Count(kExported) + Count(kDiagnostics), Count(kDiagnostics),
            Count(kFailed) + Count(kRefused), Count(kCancelled) + Count(kNotStarted), Count(kSkipped));
  text += line;
  std::string shown;
  if (!report.empty() && Utf8ToCp932(report, &shown)) {
    _snprintf(line, sizeof line, kBatchReport, shown.c_str());
    text += line;
  }
  text += kBatchOffer;
  BatchStatus status = Status();
  UINT icon = status == kBatchFailed ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
  if (MessageBoxA(nullptr, text.c_str(), kCaption, MB_YESNO | icon) != IDYES) return;
  // The table goes to the viewer as the log does, from a file of its own in
  // the temporary folder.
  char folder[kPathBufferSize] = {}, file[kPathBufferSize] = {};
  DWORD n = GetTempPathA(sizeof folder, folder);
  if (n == 0 || n >= sizeof folder || GetTempFileNameA(folder, "vbt", 0, file) == 0) return;
  std::string table = TableText(), lines;
  for (char c : table) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  CFile out;
  if (!out.Open(file, CFile::modeCreate | CFile::modeWrite)) return;
  try {
    out.Write(lines.data(), static_cast<UINT>(lines.size()));
    out.Close();
  } catch (CFileException* error) {
    // A table that cannot be written is not shown; the console has it.
    error->Delete();
    return;
  }
  StartViewer(file);
}

BatchStatus BatchSummary::Status() const {
  if (Count(kFailed) + Count(kRefused) + Count(kCancelled) + Count(kNotStarted) > 0) return kBatchFailed;
  return Count(kDiagnostics) > 0 ? kBatchDiagnostics : kBatchExported;
}
