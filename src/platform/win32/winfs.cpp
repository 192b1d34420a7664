#include "winfs.h"

#include <cstring>
#include <string>

#include "mbcs.h"
#include "portable/winstrings.h"
#include "win32/wide.h"

namespace {
// The wide text a call of the form call(buffer, size) -> length writes, or
// empty when it fails.
template <typename Call>
std::wstring WideResult(Call call) {
  std::wstring text(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = call(text.data(), static_cast<DWORD>(text.size()));
    if (n == 0) return L"";
    if (n < text.size()) {
      text.resize(n);
      return text;
    }
    if (text.size() >= 32768) return L"";
    text.resize(text.size() * 2);
  }
}
}  // namespace

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  std::wstring wide = WideResult([module](wchar_t* b, DWORD n) {
    DWORD got = GetModuleFileNameW(module, b, n);
    return got >= n ? n : got;  // cut: the buffer was too small
  });
  std::string windows;
  if (wide.empty() || !WideToCp932(wide, &windows) || buffer == nullptr || size == 0) return 0;
  return CopyOrCut(windows, buffer, size);
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  std::wstring wide = WideResult([](wchar_t* b, DWORD n) {
    DWORD got = GetTempPathW(n, b);
    return got >= n ? n : got;
  });
  std::string windows;
  if (wide.empty() || !WideToCp932(wide, &windows)) return 0;
  EndWithBackslash(&windows);
  return CopyOrNeed(windows, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  std::wstring wide = WideResult([](wchar_t* b, DWORD n) {
    UINT got = GetWindowsDirectoryW(b, n);
    return got >= n ? n : got;
  });
  std::string windows;
  if (wide.empty() || !WideToCp932(wide, &windows)) return 0;
  return CopyOrNeed(windows, buffer, size);
}

BOOL GetUserNameA(LPSTR buffer, DWORD* size) {
  if (size == nullptr) return FALSE;
  wchar_t wide[257];
  DWORD n = 257;
  std::string cp932;
  if (!GetUserNameW(wide, &n) || n == 0 || !WideToCp932(std::wstring_view(wide, n - 1), &cp932) ||
      cp932.empty()) {
    return FALSE;
  }
  DWORD needed = static_cast<DWORD>(cp932.size() + 1);
  bool fits = buffer != nullptr && needed <= *size;
  if (fits) std::memcpy(buffer, cp932.c_str(), needed);
  *size = needed;
  return fits ? TRUE : FALSE;
}
