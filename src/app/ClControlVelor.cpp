#include "ClControlVelor.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "ClAccConnect.h"
#include "ClConditionEntry.h"
#include "ClDataMgr.h"
#include "ClSetData.h"
#include "ClSysUser.h"
#include "ClUtyDBHpr.h"
#include "caption.h"
#include "codepage.h"
#include "consoleout.h"
#include "crtio.h"
#include "exportrun.h"
#include "filecause.h"
#include "mbcs.h"
#include "messages.h"
#include "textviewer.h"
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
const char kFailedCause[] = "原因 ⇒ %s\n";
const char kFailedTail[] = "\nアプリケーションを終了します。";
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
// A settings folder this account cannot write would fail the run after the
// export; it is named before anything is written, with what to ask for.
const char kSettingsFolderLocked[] =
    "出力先を記憶する設定フォルダに書き込めません。\n\n設定フォルダ ⇒ %s    \n\n"
    "このフォルダへの書き込み権限を管理者に依頼してください。\n\nアプリケーションを終了します。";
// A report that could not be written would fail the run after the export:
// its path is checked before anything is written.
const char kReportRefused[] =
    "減価償却情報のレポートを書き込めません。\n\nレポート ⇒ %s    \n原因 ⇒ %s\n\nアプリケーションを終了します。";
const char kSettingsFolderUnread[] = "設定ファイルのフォルダを会計ホストから読み込めませんでした。\n";
const char kReportFailed[] = "減価償却情報のレポートを書き込めませんでした。\n\nレポート ⇒ %s    \n%s";
const int kDataInfoSize = 1506;

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

  ClDataMgr* data_mgr = ClDataMgr::Inst(nullptr);
  if (m_pSetData == nullptr) m_pSetData = data_mgr->GetSetObject(5, 1);
  if (m_pBatch != nullptr) {
    m_eOutcome = static_cast<RunOutcome>(RunCompanyBatch(*m_pBatch, m_pSetData));
    return TRUE;
  }
  ClConditionEntry dialog(nullptr);

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

  std::string report_problem;
  if (!m_strReportPath.empty() &&
      !NativeFileReplaceable(m_strReportPath.c_str(), &report_problem)) {
    ShowReportProblem(kReportRefused, report_problem);
    return FALSE;
  }
  char settings_folder[kPathBufferSize] = {};
  if (!ClConditionEntry::SettingsFolderWritable(settings_folder)) {
    char text[kPathBufferSize + 256] = {};
    _snprintf(text, sizeof text, kSettingsFolderLocked, settings_folder);
    MessageBoxA(nullptr, text, kCaption, MB_ICONEXCLAMATION);
    return FALSE;
  }

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
  ExportRunResult run = RunExportFiles(data, output, m_pReport.get(), ExportCompany::kSelection);
  progress.End();
  wait.Restore();
  // A file the commit could not remove stays: the clerk hears of it, the
  // outcome stays what it is.
  for (const LeftFile& left : run.left_files) {
    m_pReport->AddLeftFile(left.path);
    if (!run.committed) continue;  // the failure message names them
    std::string shown;
    if (!Cp932ToUtf8(left.path, &shown)) shown = "?";
    ConsolePrintf(stderr, "velor: %s\n",
                  Tr("%s could not be removed and stays in the folder", {shown}).c_str());
  }

  const char* log_path = run.log_path.c_str();
  if (run.outcome == ExportRunResult::kCancelled) {
    m_pReport->Finish(data, run);
    MessageBoxA(nullptr, kCancelled, kCaption, MB_ICONINFORMATION);
    m_eOutcome = kOutcomeStopped;
    return;
  }
  // Remembered after the commit: a save that fails leaves the files in
  // place, and the run ends with the failure instead of a success.
  std::string settings_failure;
  if (!dialog.SaveOutputPath(output)) settings_failure = SettingsFailureText(dialog, Fs::LastError());
  m_pReport->Finish(data, run);

  if (run.outcome == ExportRunResult::kFailed) {
    // Nothing was put in place: the previous files, the log among them,
    // stay as they were.
    std::string text = ExportFailureText(run, settings_failure);
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    m_eOutcome = kOutcomeStopped;
    return;
  }

  if (!settings_failure.empty()) {
    if (run.log_kept) StartViewer(log_path);
    std::string text = kSettingsFailed + settings_failure + kFailedTail;
    MessageBoxA(nullptr, text.c_str(), kCaption, MB_ICONEXCLAMATION);
    m_eOutcome = kOutcomeStopped;
    return;
  }
  if (run.log_kept) {
    StartViewer(log_path);
    MessageBoxA(nullptr, kDoneWithLog, kCaption, MB_ICONINFORMATION);
    m_eOutcome = kOutcomeDiagnostics;
    return;
  }
  char message[1024] = {};
  _snprintf(message, sizeof message, kDone, output, run.kind_path.c_str());
  MessageBoxA(nullptr, message, kCaption, MB_ICONINFORMATION);
  m_eOutcome = kOutcomeDone;
}

void ClControlVelor::WriteReport() {
  if (m_pReport == nullptr || m_strReportPath.empty()) return;
  std::string why;
  if (ReplaceNativeFile(m_strReportPath.c_str(), m_pReport->ToJson(), &why)) return;
  ShowReportProblem(kReportFailed, why);
  m_eOutcome = kOutcomeStopped;
}

void ClControlVelor::ShowReportProblem(const char* format, const std::string& why) {
  std::string path, reason;
  if (!Utf8ToCp932(m_strReportPath, &path)) path = m_strReportPath;
  if (!Utf8ToCp932(why, &reason)) reason = why;
  char text[2 * kPathBufferSize + 256] = {};
  _snprintf(text, sizeof text, format, path.c_str(), reason.c_str());
  MessageBoxA(nullptr, text, kCaption, MB_ICONEXCLAMATION);
}

int ClControlVelor::ExitInstance() {
  ClAccConnect* connect = ClAccConnect::Inst();
  connect->LogOut();
  connect->Terminate();
  connect->Release();
  return CWinApp::ExitInstance();
}
