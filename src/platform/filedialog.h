// The file chooser under the framework's name. The current front end shows
// it (frontend.h).
#pragma once
#include <string>

#include "winframe.h"
#include "wintypes.h"

#ifndef _WIN32
#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_NOCHANGEDIR 0x00000008u
#define OFN_PATHMUSTEXIST 0x00000800u
#define OFN_FILEMUSTEXIST 0x00001000u

// The chooser's settings that callers may change before DoModal.
struct OPENFILENAMEA {
  const char* lpstrInitialDir = nullptr;  // initial folder (Windows form)
  const char* lpstrTitle = nullptr;       // title; null for the default
  DWORD Flags = 0;
};
#endif

// An open- or save-form file chooser.
class CFileDialog {
 public:
  // open: TRUE for the open form, FALSE for the save form. def_ext without
  // the dot; file_name the initial name; filter "Name|pattern|...||"; parent
  // the owner. size and vista_style are accepted for the framework's
  // signature; the front end picks its own style.
  CFileDialog(BOOL open, const char* def_ext = nullptr, const char* file_name = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
              CWnd* parent = nullptr, DWORD size = 0, BOOL vista_style = TRUE);

  // Shows the chooser; IDOK when the user confirmed a file, else IDCANCEL.
  INT_PTR DoModal();
  // The chosen full path (after IDOK).
  CString GetPathName() const { return CString(path_); }

  OPENFILENAMEA m_ofn;

 private:
  BOOL open_;
  std::string def_ext_, file_name_, filter_;
  CWnd* parent_;
  std::string path_;
};
