#include "programstart.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "win32/wide.h"

std::vector<std::string> ProgramArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return args;
  for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

namespace {
UINT g_old_output_cp = 0;

void RestoreConsole() {
  if (g_old_output_cp != 0) SetConsoleOutputCP(g_old_output_cp);
}

bool IsConsole(DWORD which) {
  DWORD mode = 0;
  HANDLE handle = GetStdHandle(which);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return false;
  // The progress line's carriage return and erase-to-end sequence.
  SetConsoleMode(handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
  return true;
}
}  // namespace

void PrepareConsole() {
  bool out = IsConsole(STD_OUTPUT_HANDLE), err = IsConsole(STD_ERROR_HANDLE);
  if (!out && !err) return;
  UINT old = GetConsoleOutputCP();
  if (old == CP_UTF8 || !SetConsoleOutputCP(CP_UTF8)) return;
  g_old_output_cp = old;
  std::atexit(RestoreConsole);
}
