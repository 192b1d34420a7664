#include "textviewer.h"

#include <cstring>

#include "crtio.h"
#include "winfmt.h"
#include "winfs.h"
#include "winproc.h"

namespace {
const char kViewer[] = "\\System32\\Notepad.exe";
}  // namespace

// The viewer lives in the Windows folder; where there is none, it is
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

