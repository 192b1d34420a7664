#include "win32filechooser.h"

#include <commdlg.h>

#include <cstdio>
#include <cwchar>

#include "activationtrace.h"
#include "chooserrules.h"
#include "choosertexts.h"
#include "codepage.h"
#include "desktoptrace.h"
#include "screentext.h"
#include "win32/wide.h"
#include "win32messagebox.h"

bool ChooseWin32File(HWND owner, const FileChooserRequest& request, std::string* path) {
  std::wstring filter = ChooserFilter(request.filter);
  std::wstring title = ScreenText(request.title);
  std::wstring folder = ScreenText(request.initial_dir);
  std::wstring ext = ScreenText(request.default_ext);
  // The chosen path comes back in a path buffer, as the framework's does.
  wchar_t file[MAX_PATH] = {};
  std::wstring initial = ScreenText(request.file_name);
  if (initial.size() < MAX_PATH) wcscpy(file, initial.c_str());

  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.Flags = ChooserFlags(request.flags, request.save_form);

  DesktopTrace("chooser title=" + Cp932ToUtf8Shown(request.title) + " folder=" +
               TraceEscape(Cp932ToUtf8Shown(request.initial_dir)) +
               " file=" + Cp932ToUtf8Shown(request.file_name) + " filter=" + Cp932ToUtf8Shown(request.filter));
  BOOL chosen = FALSE;
  DWORD error = 0;
  for (int attempt = 0; attempt < 2 && !chosen; ++attempt) {
    ScopedActivationTrace active("chooser active");
    chosen = request.save_form ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    error = chosen ? 0 : CommDlgExtendedError();
    // An initial name that the chooser refuses (the path in the edit holds
    // "<" or a too long name) must not keep the chooser from opening.
    if (error != FNERR_INVALIDFILENAME || file[0] == L'\0') break;
    DesktopTrace("chooser refused the initial name");
    file[0] = L'\0';
  }
  if (!chosen) {
    char line[48] = "chooser cancelled";
    if (error != 0) std::snprintf(line, sizeof line, "chooser failed 0x%lx", static_cast<unsigned long>(error));
    DesktopTrace(line);
    return false;
  }
  std::string cp932;
  if (!WideToCp932(file, &cp932)) {
    DesktopTrace("chooser refused " + WideToUtf8(file));
    ShowWin32MessageBox(owner, kUnusableChoiceText, kUnusableChoiceCaption, MB_ICONEXCLAMATION);
    return false;
  }
  DesktopTrace("chooser chose " + TraceEscape(WideToUtf8(file)));
  *path = cp932;
  return true;
}
