// The condition dialog "減価償却 - 集計条件": shows the company data and fiscal
// period to be exported, asks for the path of the asset file, validates it
// and remembers it per user and company data.
#pragma once
#include <string>

#include "winframe.h"
#include "wintypes.h"

// Template and control ids of the condition dialog.
enum {
  IDD_CONDITION_ENTRY = 130,
  IDC_LABEL_COMPANY = 1000,   // "事業所名"
  IDC_LABEL_PERIOD = 1001,    // "会計期間"
  IDC_COMPANY = 1002,         // the company text
  IDC_PERIOD = 1003,          // the period text
  IDC_GROUP_OUTPUT = 1004,    // "出力先(&O)"
  IDC_EXECUTE = 1005,         // "実行(F12)"; also the end code of an execution
  IDC_CANCEL = 1006,          // "キャンセル(Esc)"; also the end code of a cancel
  IDC_OUTPUT_PATH = 1007,     // the path edit
  IDC_BROWSE = 1008,          // "参照(&D)..."
};

class ClConditionEntry : public CDialog {
 public:
  // A dialog on template 130 with parent (null: none). Start-up fills the
  // public start values below before DoModal.
  explicit ClConditionEntry(CWnd* parent = nullptr);
  // Releases the host's file manager, then the members.
  ~ClConditionEntry() override;

  // Handler of button 1005, F12 and Enter on 1005: validates the output path
  // (asking before creating folders or replacing a file) and ends the dialog
  // with 1005 when it passes, else shows why and leaves the dialog open with
  // the path selected.
  void OnExecute();
  // Handler of button 1008 and Enter on it: the save-form file chooser; a
  // confirmed choice becomes the output path. The focus then goes to 1005.
  void OnBrowse();
  // The replace question for path when the folder's asset-kind file or log
  // was written for another company data (told by the asset files there):
  // it names that company and every file the export replaces. "" when the
  // folder holds no other company's export.
  std::string OtherCompanyQuestion(const char* path, bool asset_exists);

  // Reads the path remembered for this user and data ID into buffer (261
  // bytes, zeroed by the caller). TRUE when one was found.
  BOOL LoadOutputPath(char* buffer);
  // Remembers path for this user and data ID. TRUE when the entry was
  // written; FALSE with the reason in Fs::LastError() otherwise.
  BOOL SaveOutputPath(const char* path);
  // The settings file's Windows path into file (kPathBufferSize bytes).
  // FALSE when it does not fit.
  static BOOL GetSettingsFilePath(char* file);
  // Whether this account may make and replace the settings file: its folder,
  // or the nearest folder above it that exists, may be written. The folder
  // (Windows form) goes into folder (kPathBufferSize bytes) either way.
  static BOOL SettingsFolderWritable(char* folder);

  CButton m_btnGroup;    // 1004
  CButton m_btnCancel;   // 1006
  CButton m_btnExecute;  // 1005
  CButton m_btnBrowse;   // 1008
  CEdit m_edtPath;       // 1007
  CString m_strCompany;     // shown in 1002
  CString m_strPeriod;      // shown in 1003
  CString m_strOutputPath;  // exchanged with 1007
  LONG m_lFirstSelNo = 0;      // first selection number (kept, never read)
  LONG m_lSelectedDataNo = 0;  // the selected data number
  char m_szDataID[35] = {};    // data ID text (host MakeIDStr)
  int m_nPastResults = 0;      // 1: the selected data is past-results data
  char m_szUserID[65] = {};    // current user ID

 protected:
  void DoDataExchange(CDataExchange* dx) override;
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnInitDialog() override;
  // Shows the cancellation message and ends the dialog with 1006.
  void OnCancel() override;
  BOOL OnCommand(int id) override;

 private:
  // Shows message text (exclamation, owner the dialog; none when null), then
  // puts the focus on the path edit with its whole text selected and
  // scrolled into view.
  void Refuse(const char* text);
};
