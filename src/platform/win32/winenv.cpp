#include "winenv.h"

#include <cstring>
#include <string>

#include "win32/wide.h"

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  std::wstring wide_name;
  if (name == nullptr || !Utf8ToWide(name, &wide_name) || wide_name.empty()) return 0;
  DWORD n = GetEnvironmentVariableW(wide_name.c_str(), nullptr, 0);
  if (n == 0) return 0;
  std::wstring value(n, L'\0');
  DWORD got = GetEnvironmentVariableW(wide_name.c_str(), value.data(), n);
  if (got == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return 0;
  if (got >= n) return 0;  // changed between the two calls
  value.resize(got);
  std::string utf8 = WideToUtf8(value);
  if (buffer == nullptr || utf8.size() + 1 > size) return static_cast<DWORD>(utf8.size() + 1);
  std::memcpy(buffer, utf8.c_str(), utf8.size() + 1);
  return static_cast<DWORD>(utf8.size());
}
