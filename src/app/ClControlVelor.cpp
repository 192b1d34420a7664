#include "ClControlVelor.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "ClAccConnect.h"
#include "ClConditionEntry.h"
#include "ClDataMgr.h"
#include "ClDepreciation.h"
#include "ClSetData.h"
#include "ClSysUser.h"
#include "ClUtyDBHpr.h"
#include "caption.h"
#include "cfile.h"
#include "codepage.h"
#include "consoleout.h"
#include "crtio.h"
#include "filecause.h"
#include "mbcs.h"
#include "messages.h"
#include "outputpaths.h"
#include "waitcursor.h"
#include "winfmt.h"
#include "winfs.h"
#include "winproc.h"
#include "messagebox.h"

namespace {

const char kDoneWithLog[] = "減価償却情報の出力が一応終了しました。\n\nアプリケーションを終了します。";
const char kDone[] =
    "減価償却情報の出力が正常に終了しました。\n\n償却資産データ ⇒ %s    \n資産種類データ ⇒ %s    \n\n"
    "アプリケーションを終了します。";
// When the engine could not write a file completely, the run did not end
// normally: the message names what is missing.
const char kFailedHead[] = "減価償却情報の出力に失敗しました。\n\n";
const char kFailedFile[] = "出力できなかったファイル ⇒ %s    \n";
const char kFailedCause[] = "原因 ⇒ %s\n";
const char kPreviousAt[] = "前回のファイル %s は、%s に移されたままです。\n";
const char kOverflowAssets[] = "金額の桁あふれのため出力を中断しました ⇒ %s    \n";
const char kFailedTail[] = "\nアプリケーションを終了します。";
const char kHostDataCause[] = "会計ホストのデータを読み込めませんでした ⇒ %s    \n";
// The run cannot start without the selected company data.
const char kCompanyUnreadableHead[] = "会計ホストの会社データを読み込めませんでした。\n";
const char kCompanyMissing[] =
    "選択されている会社データが会計ホストにありません。\n会社データを選択し直してください。\n\n"
    "アプリケーションを終了します。";
const char kCancelled[] = "減価償却情報の出力を中止しました。\n前回出力したファイルはそのまま残っています。\n\nアプリケーションを終了します。";
// The path for the next run could not be remembered; the files of the
// export are in place all the same.
const char kSettingsFailed[] =
    "減価償却情報は出力しましたが、出力先を設定ファイルに保存できませんでした。\n\n";
const char kSettingsFile[] = "設定ファイル ⇒ %s    \n";
const char kSettingsFolderUnread[] = "設定ファイルのフォルダを会計ホストから読み込めませんでした。\n";
const char kReportFailed[] = "減価償却情報のレポートを書き込めませんでした。\n\nレポート ⇒ %s    \n%s";
const char kViewer[] = "\\System32\\Notepad.exe";
const int kDataInfoSize = 1506;

// Starts the viewer on the log (Windows path) with its folder as working
// folder. The viewer lives in the Windows folder; where there is none, it is
// started by its bare name and the platform finds it.
void StartViewer(const char* log_path) {
  char drive[_MAX_DRIVE] = {}, dir[_MAX_DIR] = {};
  _splitpath(log_path, drive, dir, nullptr, nullptr);
  char work_dir[kPathBufferSize] = {};
  _snprintf(work_dir, sizeof work_dir, "%s%s", drive, dir);

  char viewer[kPathBufferSize] = {};
  UINT n = GetWindowsDirectoryA(viewer, sizeof viewer);
  if (n == 0 || n >= sizeof viewer) {
    std::strcpy(viewer, kViewer + std::strlen("\\System32\\"));
  } else if (std::strlen(viewer) + std::strlen(kViewer) < sizeof viewer) {
    std::strcat(viewer, kViewer);
  }
  char command[2 * kPathBufferSize + 8] = {};
  _snprintf(command, sizeof command, "%s \"%s\"", viewer, log_path);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info = {};
  if (CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr,
                     work_dir[0] != '\0' ? work_dir : nullptr, &startup, &info)) {
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
}

// The size of the file path, 0 when its status cannot be read; *is_file
// tells whether it is a file (not a folder).
ULONGLONG FileSize(const char* path, bool* is_file) {
  CFileStatus status;
  *is_file = false;
  if (!CFile::GetStatus(path, status)) return 0;
  *is_file = (status.m_attribute & CFile::directory) == 0;
  return status.m_size;
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

// The lines that say why the remembered path could not be saved: the
// settings file of dialog and the cause of the failed call.
std::string SettingsFailureText(ClConditionEntry& dialog, FsError cause) {
  char settings[kPathBufferSize] = {}, line[kPathBufferSize + 128];
  std::string text = kSettingsFolderUnread;
  if (dialog.GetSettingsFilePath(settings)) {
    _snprintf(line, sizeof line, kSettingsFile, settings);
    text = line;
  }
  _snprintf(line, sizeof line, kFailedCause, SettingsFailureCause(cause));
  text += line;
  return text;
}

// The message of an export that put nothing in place: the overflow, the
// host data and the files that failed with their causes, then settings_failure.
std::string ExportFailureText(ClDepreciation& engine, const char* output, const char* kind_path,
                              const char* log_path, const std::string& settings_failure) {
  std::string text = kFailedHead;
  char line[kPathBufferSize + 128];
  if (engine.StoppedOnOverflow()) {
    _snprintf(line, sizeof line, kOverflowAssets, output);
    text += line;
  }
  AppendHostDataCause(engine.GetHostFailures(), &text);
  const struct {
    unsigned bit;
    const char* path;
  } files[] = {{ClDepreciation::kFailedAsset, output},
               {ClDepreciation::kFailedKind, kind_path},
               {ClDepreciation::kFailedLog, log_path}};
  unsigned failures = engine.GetFileFailures();
  std::string causes;
  for (const auto& f : files) {
    if ((failures & f.bit) != 0) {
      _snprintf(line, sizeof line, kFailedFile, f.path[0] != '\0' ? f.path : output);
      text += line;
      FsError cause = engine.GetFailureCause(f.bit);
      _snprintf(line, sizeof line, kFailedCause, FileFailureCause(cause));
      if (cause != FsError::kNone && causes.find(line) == std::string::npos) causes += line;
    }
  }
  text += causes;
  // The previous files that could not be put back, and where they lie.
  for (const LeftFile& left : engine.GetLeftFiles()) {
    _snprintf(line, sizeof line, kPreviousAt, left.final.c_str(), left.path.c_str());
    text += line;
  }
  text += settings_failure;
  text += kFailedTail;
  return text;
}

}  // namespace

ClControlVelor::ClControlVelor() : CWinApp(nullptr) {}

ClControlVelor::~ClControlVelor() = default;

const char* ClControlVelor::GetDispText(short kind, const StDATAINFO* data) {
  static char text[256];
  std::memset(text, 0, sizeof text);
  if (data == nullptr) return text;
  if (kind == 0) {
    // The name is cut at a whole character when it does not fit.
    const char* name = data->szDataName;
    size_t length = MbcsCutLength(name, strnlen(name, sizeof data->szDataName), sizeof text - 2);
    _snprintf(text, sizeof text, " %.*s", static_cast<int>(length), name);
  } else if (kind == 1) {
    LONG s = data->lTermStart, e = data->lTermEnd;
    _snprintf(text, sizeof text, " %04d/%02d/%02d～%04d/%02d/%02d", s / 10000, s % 10000 / 100,
              s % 100, e / 10000, e % 10000 / 100, e % 100);
  }
  return text;
}

BOOL ClControlVelor::InitInstance() {
  m_eOutcome = kOutcomeStopped;
  m_pReport.reset();
  ClAccConnect* connect = ClAccConnect::Inst();
  connect->m_lpszAppCaption = kCaption;
  connect->SetAppType(static_cast<ClSysEnvMgr::_AppType>(0));
  connect->SetUseDataType(3);
  std::string reason;
  if (connect->Initiate(&reason) != 0) {
    ConsolePrintf(stderr, "velor: %s\n", reason.c_str());
    return FALSE;
  }

  char module[kPathBufferSize] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  if (unsigned char* slash = _mbsrchr(reinterpret_cast<unsigned char*>(module), '\\')) {
    slash[1] = '\0';
    _chdir(module);
  }
  if (!CheckEnvironment(1)) return FALSE;
  if (connect->ExpSysLink() != 0) return FALSE;

  ClConditionEntry dialog(nullptr);
  ClDataMgr* data_mgr = ClDataMgr::Inst(nullptr);
  if (m_pSetData == nullptr) m_pSetData = data_mgr->GetSetObject(5, 1);

  StDATAINFO selected;
  std::memset(&selected, 0, sizeof selected);
  char user_id[65] = {};
  ClSysUser* user = data_mgr->GetSysUserObject();
  LONG first = 0, selected_no = 0;
  user->GetCurUserID(user_id);
  // A selection the store cannot read is no missing company data.
  int selection = user->GetSelectedNo(user_id, &first, &selected_no);

  // The host's list of company data must yield the selected data: a list
  // that cannot be read, or one without it, leaves nothing to export.
  int walked = -1;
  bool found = false;
  if (m_pSetData != nullptr && selection != -2) {
    LONG cursor = 0;
    m_pSetData->GetDatCursor(&cursor);
    m_pSetData->ReadyDat(cursor, 0);
    StDATAINFO record;
    for (;;) {
      std::memset(&record, 0, kDataInfoSize);
      walked = m_pSetData->WalkDat(&record, cursor);
      if (walked != 0) break;
      if (record.lDataNo == selected_no) {
        std::memcpy(&selected, &record, kDataInfoSize);
        found = true;
        break;
      }
    }
    m_pSetData->ReleaseDatCursor(cursor);
  }
  if (!found && walked > 0) {
    MessageBoxA(nullptr, kCompanyMissing, kCaption, MB_ICONEXCLAMATION);
    return FALSE;
  }
  if (!found) {
    // The store's own words say why it could not be read.
    std::string cause, text = kCompanyUnreadableHead;
    if (Utf8ToCp932(connect->GetStoreErrorText(), &cause) && !cause.empty()) {
      text += "原因 ⇒ " + cause + "\n";
    }
    text += kFailedTail;
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    return FALSE;
  }

  user->GetCurUserID(dialog.m_szUserID);
  user->GetSelectedNo(dialog.m_szUserID, &dialog.m_lFirstSelNo, &dialog.m_lSelectedDataNo);
  ClUtyDBHpr::MakeIDStr(m_pSetData != nullptr ? m_pSetData->GetSelectedInfo() : nullptr,
                        dialog.m_szDataID);
  dialog.m_nPastResults = selected.nDataKind == 99 ? 1 : 0;
  dialog.m_strCompany = GetDispText(0, &selected);
  dialog.m_strPeriod = GetDispText(1, &selected);

  // Only an executed dialog leads to an export; a cancel, the past-results
  // refusal or a dialog that could not be shown ends the run.
  if (dialog.DoModal() != IDC_EXECUTE) return FALSE;
  RunExport(dialog, selected);
  WriteReport();
  return TRUE;
}

void ClControlVelor::RunExport(ClConditionEntry& dialog, StDATAINFO& data) {
  char output[kPathBufferSize] = {};
  std::strncpy(output, dialog.m_strOutputPath, MAX_PATH);
  CWaitCursor wait;
  ExportProgress progress(CurrentFrontEnd());
  m_pReport = std::make_unique<ExportReport>(&progress);
  ClDepreciation engine;
  engine.SetObserver(m_pReport.get());
  engine.m_strOutputPath = output;
  engine.OutputPreamble(&data);
  engine.OutputAssets(&data);
  engine.OutputAssetKinds(&data);
  progress.End();
  // Put in place only when every file is complete; a cancel or a failure
  // leaves the previous files as they were.
  bool committed = engine.CommitOutput() != 0;
  wait.Restore();
  // A file the commit could not remove stays: the clerk hears of it, the
  // outcome stays what it is.
  for (const LeftFile& left : engine.GetLeftFiles()) {
    m_pReport->AddLeftFile(left.path);
    if (!committed) continue;  // the failure message names them
    std::string shown;
    if (!Cp932ToUtf8(left.path, &shown)) shown = "?";
    ConsolePrintf(stderr, "velor: %s\n",
                  Tr("%s could not be removed and stays in the folder", {shown}).c_str());
  }

  char log_path[kPathBufferSize] = {}, kind_path[kPathBufferSize] = {};
  DeriveSiblingPath(output, kLogFileName, log_path);
  DeriveSiblingPath(output, kKindFileName, kind_path);
  unsigned failures = engine.GetFileFailures();
  unsigned host_failures = engine.GetHostFailures();
  if (engine.WasCancelled()) {
    m_pReport->Finish(data, output, kind_path, log_path, engine.GetTally(), failures, false,
                      ExportReport::kCancelled);
    MessageBoxA(nullptr, kCancelled, kCaption, MB_ICONINFORMATION);
    m_eOutcome = kOutcomeStopped;
    return;
  }
  // Remembered after the commit: a save that fails leaves the files in
  // place, and the run ends with the failure instead of a success.
  std::string settings_failure;
  if (!dialog.SaveOutputPath(output)) settings_failure = SettingsFailureText(dialog, Fs::LastError());
  bool failed = !committed || failures != 0 || host_failures != 0 || engine.StoppedOnOverflow();
  bool log_ok = !failed && log_path[0] != '\0';
  bool log_is_file = false;
  ULONGLONG log_size = log_ok ? FileSize(log_path, &log_is_file) : 0;
  m_pReport->Finish(data, output, kind_path, log_path, engine.GetTally(), failures, log_size != 0,
                    failed              ? ExportReport::kFailed
                    : log_size != 0     ? ExportReport::kExportedWithDiagnostics
                                        : ExportReport::kExported);

  if (failed) {
    // Nothing was put in place: the previous files, the log among them,
    // stay as they were.
    std::string text = ExportFailureText(engine, output, kind_path, log_path, settings_failure);
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    m_eOutcome = kOutcomeStopped;
    return;
  }

  if (!settings_failure.empty()) {
    if (log_size != 0) StartViewer(log_path);
    std::string text = kSettingsFailed + settings_failure + kFailedTail;
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    m_eOutcome = kOutcomeStopped;
    return;
  }
  if (log_size != 0) {
    StartViewer(log_path);
    MessageBoxA(nullptr, kDoneWithLog, kCaption, MB_ICONINFORMATION);
    m_eOutcome = kOutcomeDiagnostics;
    return;
  }
  char message[1024] = {};
  _snprintf(message, sizeof message, kDone, output, kind_path);
  MessageBoxA(nullptr, message, kCaption, MB_ICONINFORMATION);
  m_eOutcome = kOutcomeDone;
}

void ClControlVelor::WriteReport() {
  if (m_pReport == nullptr || m_strReportPath.empty()) return;
  std::string why;
  if (ReplaceNativeFile(m_strReportPath.c_str(), m_pReport->ToJson(), &why)) return;
  std::string path, reason;
  if (!Utf8ToCp932(m_strReportPath, &path)) path = m_strReportPath;
  if (!Utf8ToCp932(why, &reason)) reason = why;
  char text[2 * kPathBufferSize + 256] = {};
  _snprintf(text, sizeof text, kReportFailed, path.c_str(), reason.c_str());
  MessageBoxA(nullptr, text, kCaption, MB_ICONEXCLAMATION);
  m_eOutcome = kOutcomeStopped;
}

int ClControlVelor::ExitInstance() {
  ClAccConnect* connect = ClAccConnect::Inst();
  connect->LogOut();
  connect->Terminate();
  connect->Release();
  return CWinApp::ExitInstance();
}
