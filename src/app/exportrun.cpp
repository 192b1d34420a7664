#include "exportrun.h"

#include <cstring>

#include "ClAccConnect.h"
#include "cfile.h"
#include "codepage.h"
#include "filecause.h"
#include "outputpaths.h"
#include "winfmt.h"

namespace {

const char kFailedHead[] = "減価償却情報の出力に失敗しました。\n\n";
const char kFailedFile[] = "出力できなかったファイル ⇒ %s    \n";
const char kFailedCause[] = "原因 ⇒ %s\n";
const char kOverflowAssets[] = "金額の桁あふれのため出力を中断しました ⇒ %s    \n";
const char kFailedTail[] = "\nアプリケーションを終了します。";
const char kPreviousAt[] = "前回のファイル %s は、%s に移されたままです。\n";
const char kHostDataCause[] = "会計ホストのデータを読み込めませんでした ⇒ %s    \n";
const char kWrongCompany[] =
    "出力する会社データが会計ホストで選択されている会社データと一致しません ⇒ %s    \n";

// The size of the file path, 0 when its status cannot be read or it is a
// folder.
ULONGLONG FileSize(const char* path) {
  CFileStatus status;
  if (!CFile::GetStatus(path, status)) return 0;
  return (status.m_attribute & CFile::directory) == 0 ? status.m_size : 0;
}

// Appends to text one line per kind of host data that the engine could not
// read (ClDepreciation::kHost* bits of failures).
void AppendHostDataCause(unsigned failures, std::string* text) {
  const struct {
    unsigned bit;
    const char* name;
  } kinds[] = {{ClDepreciation::kHostLedger, "固定資産台帳"},
               {ClDepreciation::kHostBreakdowns, "一括資産の内訳"},
               {ClDepreciation::kHostKinds, "資産種類"}};
  char line[256];
  for (const auto& k : kinds) {
    if ((failures & k.bit) == 0) continue;
    _snprintf(line, sizeof line, kHostDataCause, k.name);
    *text += line;
  }
}

}  // namespace

WrittenExport::WrittenExport(const StDATAINFO& data, const char* output, ClExportObserver* observer,
                             ExportCompany company, ClCSVEdit::PreparedOutput* prepared) {
  engine_.SetPreparedOutput(prepared);
  std::strncpy(path_, output, MAX_PATH);
  StDATAINFO record;
  std::memcpy(&record, &data, sizeof record);
  engine_.SetObserver(observer);
  if (company == ExportCompany::kRecord) engine_.SetCompany(record);
  engine_.m_strOutputPath = path_;
  engine_.OutputPreamble(&record);
  engine_.OutputAssets(&record);
  engine_.OutputAssetKinds(&record);
  engine_.EndHostWork();
}

ExportRunResult RunExportFiles(const StDATAINFO& data, const char* output,
                               ClExportObserver* observer, ExportCompany company) {
  return WrittenExport(data, output, observer, company).Commit();
}

ExportRunResult WrittenExport::Commit() {
  ExportRunResult result;
  ClDepreciation& engine = engine_;
  const char* path = path_;
  // Put in place only when every file is complete; a cancel or a failure
  // leaves the previous files as they were.
  bool committed = engine.CommitOutput() != 0;

  char log_path[kPathBufferSize] = {}, kind_path[kPathBufferSize] = {};
  DeriveSiblingPath(path, kLogFileName, log_path);
  DeriveSiblingPath(path, kKindFileName, kind_path);
  result.asset_path = path;
  result.kind_path = kind_path;
  result.log_path = log_path;
  result.tally = engine.GetTally();
  result.file_failures = engine.GetFileFailures();
  result.host_failures = engine.GetHostFailures();
  if (result.host_failures != 0 &&
      !Utf8ToCp932(ClAccConnect::Inst()->GetStoreErrorText(), &result.store_cause)) {
    result.store_cause.clear();
  }
  for (unsigned file = 0; file < 3; ++file) result.causes[file] = engine.GetFailureCause(1u << file);
  result.overflow = engine.StoppedOnOverflow() != FALSE;
  result.wrong_company = engine.WrongCompany() != FALSE;
  result.committed = committed;
  result.left_files = engine.GetLeftFiles();
  if (engine.WasCancelled()) {
    result.outcome = ExportRunResult::kCancelled;
    return result;
  }
  bool failed = !committed || result.file_failures != 0 || result.host_failures != 0 ||
                result.overflow || result.wrong_company;
  result.log_kept = !failed && log_path[0] != '\0' && FileSize(log_path) != 0;
  result.outcome = failed ? ExportRunResult::kFailed
                   : result.log_kept ? ExportRunResult::kExportedWithDiagnostics
                                     : ExportRunResult::kExported;
  return result;
}

std::string ExportFailureCauses(const ExportRunResult& result) {
  std::string text;
  const char* output = result.asset_path.c_str();
  char line[kPathBufferSize + 128];
  if (result.wrong_company) {
    _snprintf(line, sizeof line, kWrongCompany, output);
    text += line;
  }
  if (result.overflow) {
    _snprintf(line, sizeof line, kOverflowAssets, output);
    text += line;
  }
  AppendHostDataCause(result.host_failures, &text);
  if (!result.store_cause.empty()) {
    text += "原因 ⇒ " + result.store_cause + "\n";
  }
  const struct {
    unsigned bit;
    const std::string& path;
  } files[] = {{ClDepreciation::kFailedAsset, result.asset_path},
               {ClDepreciation::kFailedKind, result.kind_path},
               {ClDepreciation::kFailedLog, result.log_path}};
  std::string causes;
  for (unsigned file = 0; file < 3; ++file) {
    if ((result.file_failures & files[file].bit) == 0) continue;
    _snprintf(line, sizeof line, kFailedFile,
              files[file].path.empty() ? output : files[file].path.c_str());
    text += line;
    FsError cause = result.causes[file];
    _snprintf(line, sizeof line, kFailedCause, FileFailureCause(cause));
    if (cause != FsError::kNone && causes.find(line) == std::string::npos) causes += line;
  }
  text += causes;
  // The previous files that could not be put back, and where they lie.
  for (const LeftFile& left : result.left_files) {
    _snprintf(line, sizeof line, kPreviousAt, left.final.c_str(), left.path.c_str());
    text += line;
  }
  return text;
}

std::string ExportFailureText(const ExportRunResult& result, const std::string& extra) {
  return kFailedHead + ExportFailureCauses(result) + extra + kFailedTail;
}
