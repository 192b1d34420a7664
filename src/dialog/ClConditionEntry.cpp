#include "ClConditionEntry.h"

#include <cstring>
#include <string>
#include <vector>

#include "ClFileMgr.h"
#include "caption.h"
#include "cfile.h"
#include "codepage.h"
#include "consoleout.h"
#include "crtio.h"
#include "drivemap.h"
#include "filecommit.h"
#include "filedialog.h"
#include "mbcs.h"
#include "mbscase.h"
#include "winfmt.h"
#include "messages.h"
#include "othercompany.h"
#include "outputpaths.h"
#include "pathfuncs.h"
#include "winfs.h"
#include "messagebox.h"

namespace {

const char kPastResults[] =
    "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。";
const char kCancelled[] = "｢減価償却｣の集計を中止します。";
const char kNoPath[] = "データ出力先が指定されていません。\n\n出力先を指定してください。";
const char kBadChars[] = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const char kBadDrive[] = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
const char kNoFileName[] = "ファイル名が指定されていません。";
const char kCreateFolder[] = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
const char kCreateFailed[] = "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
const char kOverwrite[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
// The log and the asset-kind file are written beside the asset file, so the
// asset file needs a folder, may not carry one of their names, and their
// paths must fit a path buffer.
const char kNoFolder[] = "出力先のフォルダが指定されていません。\n\n出力先を再入力してください。";
const char kReservedName[] =
    "ファイル名にVelrixSysErr.txtとsyurui.SSCは使用できません。\n\n出力先を再入力してください。";
// Names the files of a Windows device or the program's own temporary files
// have: an export there would reach no file, or be removed as left over.
const char kDeviceName[] =
    "ファイル名またはフォルダ名にデバイス名(CON、PRN、AUX、NUL、COM1～9、LPT1～9など)は"
    "使用できません。\n\n出力先を再入力してください。";
const char kOwnFileName[] =
    "ファイル名に｢~vel｣で始まる一時ファイルの名前は使用できません。\n\n出力先を再入力してください。";
const char kTooLong[] = "データの出力先が長すぎます。\n\n出力先を再入力してください。";
// The folder holds another company's export: the files it would lose are
// named in the replace question.
const char kOverwriteOther[] =
    "出力先のフォルダには、別の会社データ（%s）の出力ファイルがあります。\n\n%s\n上書きしてもよろしいですか？";
const char kOverwrittenFile[] = "上書きされるファイル ⇒ %s    \n";
const char kDefaultPattern[] = "*.csv";
const char kBrowseTitle[] = "保存ファイルを指定";
const char kBrowseFilter[] = "CSV Files (*.csv)|*.csv||";

const DialogTemplate kTemplate = {
    IDD_CONDITION_ENTRY,
    "減価償却 - 集計条件",
    255,
    107,
    "ＭＳ Ｐゴシック",
    9,
    {
        {IDC_LABEL_COMPANY, ControlKind::kStatic, "事業所名", kStyleGroup | kStyleCenterVertical, 7, 7, 35, 12},
        {-1, ControlKind::kStatic, "：", kStyleGroup | kStyleRight | kStyleCenterVertical, 46, 7, 8, 12},
        {IDC_COMPANY, ControlKind::kStatic, "", kStyleGroup | kStyleCenterVertical, 59, 7, 189, 12},
        {IDC_LABEL_PERIOD, ControlKind::kStatic, "会計期間", kStyleGroup | kStyleCenterVertical, 7, 26, 35, 12},
        {-1, ControlKind::kStatic, "：", kStyleGroup | kStyleRight | kStyleCenterVertical, 46, 26, 8, 12},
        {IDC_PERIOD, ControlKind::kStatic, "", kStyleGroup | kStyleCenterVertical, 59, 25, 189, 12},
        {IDC_GROUP_OUTPUT, ControlKind::kGroupBox, "出力先(&O)", 0, 7, 47, 241, 35},
        {IDC_OUTPUT_PATH, ControlKind::kEdit, "",
         kStyleBorder | kStyleTabStop | kStyleAutoHScroll | kStyleClientEdge | kStyleStaticEdge, 10, 62, 170, 12},
        {IDC_BROWSE, ControlKind::kPushButton, "参照(&D)...", kStyleTabStop, 186, 61, 57, 14},
        {IDC_EXECUTE, ControlKind::kPushButton, "実行(F12)", kStyleTabStop, 129, 86, 57, 14},
        {IDC_CANCEL, ControlKind::kPushButton, "キャンセル(Esc)", kStyleTabStop, 191, 86, 57, 14},
    },
};

// The command map: button id to handler.
const struct {
  int id;
  void (ClConditionEntry::*handler)();
} kCommands[] = {
    {IDC_BROWSE, &ClConditionEntry::OnBrowse},
    {IDC_EXECUTE, &ClConditionEntry::OnExecute},
};

// True when name is one of the files written beside the asset file,
// compared without regard to ASCII case.
bool IsDerivedFileName(const std::string& name) {
  const auto* text = reinterpret_cast<const unsigned char*>(name.c_str());
  return _mbsicmp(text, reinterpret_cast<const unsigned char*>(kLogFileName)) == 0 ||
         _mbsicmp(text, reinterpret_cast<const unsigned char*>(kKindFileName)) == 0;
}

// A drive that the drive map lacks takes a path, as Windows takes a drive
// without a root folder, but no folder can be made on it. Why is said once,
// on the standard error, leaving the message box as it is.
void NoteUnmappedDrive(const char* path) {
  static bool noted = false;
  std::string native, utf8;
  if (noted || !DriveMapInUse() || DriveMapToNative(path, &native)) return;
  noted = true;
  if (!Cp932ToUtf8(path, &utf8)) utf8 = path;
  ConsolePrintf(stderr, "velor: %s\n",
                Tr("%s lies on a drive or share that the drive map VELOR_DRIVES does not hold (it "
                   "holds %s): add an entry for it, such as D:=/srv/out",
                   {utf8, DriveMapRoots()})
                    .c_str());
}

bool HeldModifier() {
  return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
}

}  // namespace

ClConditionEntry::ClConditionEntry(CWnd* parent) : CDialog(IDD_CONDITION_ENTRY, parent) {
  RegisterDialogTemplate(&kTemplate);
}

ClConditionEntry::~ClConditionEntry() { ClFileMgr::Inst()->Release(); }

void ClConditionEntry::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_GROUP_OUTPUT, m_btnGroup);
  DDX_Control(dx, IDC_CANCEL, m_btnCancel);
  DDX_Control(dx, IDC_EXECUTE, m_btnExecute);
  DDX_Control(dx, IDC_BROWSE, m_btnBrowse);
  DDX_Control(dx, IDC_OUTPUT_PATH, m_edtPath);
  DDX_Text(dx, IDC_COMPANY, m_strCompany);
  DDX_Text(dx, IDC_PERIOD, m_strPeriod);
  DDX_Text(dx, IDC_OUTPUT_PATH, m_strOutputPath);
}

BOOL ClConditionEntry::OnCommand(int id) {
  for (const auto& c : kCommands) {
    if (c.id == id) {
      (this->*c.handler)();
      return TRUE;
    }
  }
  if (id == IDC_CANCEL) {
    OnCancel();
    return TRUE;
  }
  return CDialog::OnCommand(id);
}

BOOL ClConditionEntry::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_nPastResults == 1) {
    MessageBoxA(m_hWnd, kPastResults, kCaption, MB_ICONEXCLAMATION);
    EndDialog(IDC_CANCEL);
  }
  m_edtPath.SendMessage(EM_LIMITTEXT, 255, 0);

  char path[kPathBufferSize] = {};
  if (!LoadOutputPath(path)) {
    std::memset(path, 0, sizeof path);
    ClFileMgr::Inst()->GetAppFolderPath(0, path);
    if (path[0] != '\0') {
      if (std::strlen(path) + std::strlen(kDefaultPattern) < sizeof path) std::strcat(path, kDefaultPattern);
    } else {
      DWORD n = GetTempPathA(kPathBufferSize, path);
      if (n == 0 || n >= kPathBufferSize) path[0] = '\0';
      if (path[0] != '\0') {
        size_t length = std::strlen(path);
        bool last_dbcs = IsDbcsPosition(path, length - 1);
        if (last_dbcs || (path[length - 1] != '\\' && length < MAX_PATH)) std::strcat(path, "\\");
        if (std::strlen(path) + std::strlen(kDefaultPattern) < sizeof path) std::strcat(path, kDefaultPattern);
      }
    }
  }
  m_strOutputPath = path;
  UpdateData(FALSE);
  return TRUE;
}

BOOL ClConditionEntry::PreTranslateMessage(MSG* msg) {
  if (msg->message == WM_KEYDOWN && !HeldModifier()) {
    if (msg->wParam == VK_RETURN) {
      if (msg->hwnd == m_edtPath.GetSafeHwnd()) {
        GotoDlgCtrl(m_btnBrowse.IsWindowEnabled() ? &m_btnBrowse : &m_btnExecute);
        return TRUE;
      }
      if (msg->hwnd == m_btnBrowse.GetSafeHwnd()) {
        OnBrowse();
        return TRUE;
      }
      if (msg->hwnd == m_btnExecute.GetSafeHwnd()) {
        OnExecute();
        return TRUE;
      }
    } else if (msg->wParam == VK_F12) {
      OnExecute();
      return TRUE;
    }
  }
  return CDialog::PreTranslateMessage(msg);
}

void ClConditionEntry::OnCancel() {
  MessageBoxA(m_hWnd, kCancelled, kCaption, MB_ICONINFORMATION);
  EndDialog(IDC_CANCEL);
}

void ClConditionEntry::Refuse(const char* text) {
  if (text != nullptr) MessageBoxA(m_hWnd, text, kCaption, MB_ICONEXCLAMATION);
  GotoDlgCtrl(&m_edtPath);
  m_edtPath.SendMessage(EM_SETSEL, 0, -1);
  m_edtPath.SendMessage(EM_SCROLLCARET, 0, 0);
}

void ClConditionEntry::OnExecute() {
  UpdateData(TRUE);
  const char* path = m_strOutputPath;
  if (path[0] == '\0') return Refuse(kNoPath);
  if (!CheckPathChars(path)) return Refuse(kBadChars);
  if (!CheckDrive(path)) return Refuse(kBadDrive);
  std::string file = GetFilePart(path);
  if (file.empty()) return Refuse(kNoFileName);
  std::string folder = GetFolderPart(path);
  if (folder.empty()) return Refuse(kNoFolder);
  if (IsDerivedFileName(file)) return Refuse(kReservedName);
  if (HasDeviceName(path)) return Refuse(kDeviceName);
  if (IsOwnFileName(file)) return Refuse(kOwnFileName);
  char derived[kPathBufferSize];
  if (!DeriveSiblingPath(path, kLogFileName, derived) || !DeriveSiblingPath(path, kKindFileName, derived)) {
    return Refuse(kTooLong);
  }

  if (_access(folder.c_str(), 0) != 0) {
    if (MessageBoxA(m_hWnd, kCreateFolder, kCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return Refuse(nullptr);
    }
    char work[MAX_PATH] = {};
    std::strncpy(work, folder.c_str(), sizeof work - 1);
    if (!CreateFolders(work)) {
      NoteUnmappedDrive(path);
      return Refuse(kCreateFailed);
    }
  }

  CFileStatus status;
  bool exists = CFile::GetStatus(path, status);
  if (exists && (status.m_attribute & CFile::directory) != 0) return Refuse(kNoFileName);
  std::string question = OtherCompanyQuestion(path, exists);
  if (!question.empty() || exists) {
    if (MessageBoxA(m_hWnd, question.empty() ? kOverwrite : question.c_str(), kCaption,
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
      return Refuse(nullptr);
    }
  }
  EndDialog(IDC_EXECUTE);
}

std::string ClConditionEntry::OtherCompanyQuestion(const char* path, bool asset_exists) {
  char kind_path[kPathBufferSize], log_path[kPathBufferSize];
  CFileStatus status;
  std::vector<const char*> files;
  if (asset_exists) files.push_back(path);
  if (DeriveSiblingPath(path, kKindFileName, kind_path) && CFile::GetStatus(kind_path, status)) {
    files.push_back(kind_path);
  }
  if (DeriveSiblingPath(path, kLogFileName, log_path) && CFile::GetStatus(log_path, status)) {
    files.push_back(log_path);
  }
  // Only the kind file and the log belong to the folder rather than to the
  // asset file's own name.
  if (files.size() == (asset_exists ? 1u : 0u)) return "";
  const char* company = m_strCompany;
  const char* period = m_strPeriod;
  std::string other = OtherCompanyInFolder(path, company[0] == ' ' ? company + 1 : company,
                                           period[0] == ' ' ? period + 1 : period);
  if (other.empty()) return "";
  std::string list;
  char line[kPathBufferSize + 64];
  for (const char* file : files) {
    _snprintf(line, sizeof line, kOverwrittenFile, file);
    list += line;
  }
  std::vector<char> text(std::strlen(kOverwriteOther) + other.size() + list.size() + 1, '\0');
  _snprintf(text.data(), text.size() - 1, kOverwriteOther, other.c_str(), list.c_str());
  return text.data();
}

void ClConditionEntry::OnBrowse() {
  UpdateData(TRUE);
  const char* path = m_strOutputPath;
  std::string folder = GetFolderPart(path);
  std::string file = GetFilePart(path);
  if (folder.empty()) {
    size_t length = std::strlen(path);
    size_t colon = MbcsFindLast(path, length, ':');
    folder = colon == length ? std::string() : std::string(path, colon + 1);
    file = colon == length ? std::string(path) : std::string(path + colon + 1);
  }
  CFileDialog chooser(FALSE, "CSV", file.c_str(),
                      OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST,
                      kBrowseFilter, this, 0, TRUE);
  chooser.m_ofn.lpstrInitialDir = folder.c_str();
  chooser.m_ofn.lpstrTitle = kBrowseTitle;
  if (chooser.DoModal() == IDOK) {
    m_strOutputPath = chooser.GetPathName();
    UpdateData(FALSE);
  }
  GotoDlgCtrl(&m_btnExecute);
}
