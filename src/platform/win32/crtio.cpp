#include "crtio.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "codepage.h"
#include "drivemap.h"
#include "fs.h"
#include "portable/winstrings.h"
#include "win32/wide.h"

char* _getcwd(char* buffer, int size) {
  wchar_t wide[32768];
  DWORD n = GetCurrentDirectoryW(32768, wide);
  std::string windows;
  if (buffer == nullptr || size <= 0 || n == 0 || n >= 32768 ||
      !WideToCp932(std::wstring_view(wide, n), &windows)) {
    errno = ENOENT;
    return nullptr;
  }
  return CopyOrRange(windows, buffer, size);
}

int _chdir(const char* path) {
  std::wstring wide;
  if (path == nullptr || !Cp932ToWide(path, &wide) || wide.empty()) {
    errno = ENOENT;
    return -1;
  }
  if (!SetCurrentDirectoryW(wide.c_str())) {
    errno = ENOENT;
    return -1;
  }
  return 0;
}

std::string NativeAbsolutePath(const std::string& native) {
  std::wstring wide;
  if (!Utf8ToWide(native, &wide) || wide.empty()) return native;
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return native;
  std::wstring full(n, L'\0');
  DWORD got = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (got == 0 || got >= n) return native;
  full.resize(got);
  return WideToUtf8(full);
}

int _isatty(int fd) {
  auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? 1 : 0;
}
