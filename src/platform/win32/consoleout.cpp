#include "consoleout.h"

#include <io.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "win32/wide.h"

bool ConsoleWrite(FILE* stream, std::string_view utf8) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  std::wstring wide;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode) || !Utf8ToWide(utf8, &wide)) {
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  }
  // What the stream holds still goes first.
  if (std::fflush(stream) != 0) return false;
  for (size_t at = 0; at < wide.size();) {
    DWORD wrote = 0;
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - at, 8192));
    if (!WriteConsoleW(handle, wide.data() + at, chunk, &wrote, nullptr) || wrote == 0) return false;
    at += wrote;
  }
  return true;
}

int ConsoleColumns(FILE* stream) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleScreenBufferInfo(handle, &info)) return 0;
  return info.srWindow.Right - info.srWindow.Left + 1;
}
