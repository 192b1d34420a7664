#include "winproc.h"

#include <cstring>
#include <string>

#include "mbcs.h"
#include "mbscase.h"
#include "win32/wide.h"

namespace {

bool g_viewer_enabled = true;

// True when the command line's program is the text viewer: its file name,
// after the last backslash, is "notepad.exe" in any letter case (quoted or
// not).
bool StartsTextViewer(LPCSTR application, LPCSTR command_line) {
  std::string program;
  if (application != nullptr) {
    program = application;
  } else if (command_line != nullptr) {
    const char* p = command_line;
    while (*p == ' ' || *p == '\t') ++p;
    bool quoted = *p == '"';
    if (quoted) ++p;
    while (*p != '\0' && (quoted ? *p != '"' : (*p != ' ' && *p != '\t'))) program += *p++;
  }
  size_t slash = MbcsFindLast(program.data(), program.size(), '\\');
  std::string name = slash == program.size() ? program : program.substr(slash + 1);
  return _mbsicmp(reinterpret_cast<const unsigned char*>(name.c_str()),
                  reinterpret_cast<const unsigned char*>("notepad.exe")) == 0;
}

// *wide is the wide form of the optional code page 932 text; false when the
// text is not valid code page 932.
bool OptionalWide(LPCSTR text, std::wstring* wide) {
  return text == nullptr || Cp932ToWide(text, wide);
}

}  // namespace

void SetTextViewerEnabled(bool enabled) { g_viewer_enabled = enabled; }

BOOL CreateProcessA(LPCSTR application, LPSTR command_line, SECURITY_ATTRIBUTES* process_attr,
                    SECURITY_ATTRIBUTES* thread_attr, BOOL inherit_handles, DWORD flags,
                    LPVOID environment, LPCSTR current_dir, STARTUPINFOA* startup,
                    PROCESS_INFORMATION* info) {
  if (!g_viewer_enabled && StartsTextViewer(application, command_line)) {
    if (info != nullptr) std::memset(info, 0, sizeof *info);
    return TRUE;
  }
  std::wstring wide_application, wide_line, wide_dir;
  if (!OptionalWide(application, &wide_application) || !OptionalWide(command_line, &wide_line) ||
      !OptionalWide(current_dir, &wide_dir)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return FALSE;
  }
  STARTUPINFOW wide_startup = {};
  wide_startup.cb = sizeof wide_startup;
  if (startup != nullptr) {
    wide_startup.dwFlags = startup->dwFlags & STARTF_USESHOWWINDOW;
    wide_startup.wShowWindow = startup->wShowWindow;
  }
  // The wide call may change the command line it is given: a copy of its own.
  wide_line.push_back(L'\0');
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(application != nullptr ? wide_application.c_str() : nullptr,
                      command_line != nullptr ? wide_line.data() : nullptr, process_attr, thread_attr,
                      inherit_handles, flags & ~CREATE_UNICODE_ENVIRONMENT, environment,
                      current_dir != nullptr ? wide_dir.c_str() : nullptr, &wide_startup, &started)) {
    return FALSE;
  }
  if (info != nullptr) {
    *info = started;
  } else {
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
  }
  return TRUE;
}
