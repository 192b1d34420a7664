// The Windows side of the tests' operating-system calls, over the wide API.
#include "nativeos.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "win32/wide.h"

namespace {
std::wstring Wide(const std::string& utf8) {
  std::wstring wide;
  Utf8ToWide(utf8, &wide);
  return wide;
}
}  // namespace

char NativeSeparator() { return '\\'; }

// The read-only attribute; Windows does not stop writes into a folder for it.
void MakeReadOnly(const std::string& native) {
  SetFileAttributesW(Wide(native).c_str(), FILE_ATTRIBUTE_READONLY);
}

bool TextViewerIsNotepad() { return true; }

// A link that does not reach its target (wine makes such links) is removed
// and counts as not made.
bool MakeSymlink(const std::string& target, const std::string& link) {
  const std::wstring wide_link = Wide(link);
  if (CreateSymbolicLinkW(wide_link.c_str(), Wide(target).c_str(),
                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) == 0) {
    return false;
  }
  HANDLE reached = CreateFileW(wide_link.c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (reached == INVALID_HANDLE_VALUE) {
    DeleteFileW(wide_link.c_str());
    return false;
  }
  CloseHandle(reached);
  return true;
}

bool IsSymlink(const std::string& native) {
  DWORD attributes = GetFileAttributesW(Wide(native).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

void SleepMilliseconds(int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); }

// The process's environment (the wide one the platform layer reads), kept
// as UTF-8 for the process's life.
const char* EnvValue(const char* name) {
  static std::map<std::string, std::string> values;
  std::wstring wide_name = Wide(name);
  DWORD n = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (n == 0) return nullptr;
  std::wstring value(n, L'\0');
  DWORD got = GetEnvironmentVariableW(wide_name.c_str(), value.data(), n);
  if (got >= n) return nullptr;
  value.resize(got);
  std::string& kept = values[name];
  kept = WideToUtf8(value);
  return kept.c_str();
}

// Both the process's environment and the C runtime's copy of it.
void SetEnvValue(const char* name, const std::string& value) {
  std::wstring wide_name = Wide(name), wide_value = Wide(value);
  SetEnvironmentVariableW(wide_name.c_str(), wide_value.c_str());
  if (!value.empty()) _wputenv_s(wide_name.c_str(), wide_value.c_str());
}

void RemoveEnvValue(const char* name) {
  std::wstring wide_name = Wide(name);
  SetEnvironmentVariableW(wide_name.c_str(), nullptr);
  _wputenv_s(wide_name.c_str(), L"");
}

// Only a process with a console of its own can send itself Ctrl-C; the
// handlers run on a thread of their own, given time here to do so.
bool RaiseInterrupt() {
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) return false;
  if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) return false;
  Sleep(200);
  return true;
}

// Windows keeps no readable record of the handlers.
bool InterruptHandlingKnown() { return false; }

bool InterruptIsDefault() { return false; }

std::string ShellQuote(const std::string& word) { return "\"" + word + "\""; }

// Through cmd.exe; the whole line quoted once more, as cmd /c strips one
// pair of quotes.
int RunShellCommand(const std::string& command, std::string* out) {
  std::wstring line = Wide("\"" + command + " <NUL 2>&1\"");
  FILE* pipe = _wpopen(line.c_str(), L"rb");
  out->clear();
  if (pipe == nullptr) return -1;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out->append(buffer, n);
  return _pclose(pipe);
}
