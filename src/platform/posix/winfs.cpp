#include "winfs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "codepage.h"
#include "drivemap.h"
#include "mbcs.h"
#include "portable/winstrings.h"

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  std::error_code ec;
  std::string native = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  std::string windows;
  if (module != nullptr || ec || !DriveMapToWindows(native, &windows) || buffer == nullptr ||
      size == 0) {
    return 0;
  }
  return CopyOrCut(windows, buffer, size);
}

DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  std::error_code ec;
  std::string native = std::filesystem::temp_directory_path(ec).string();
  std::string windows;
  if (ec || !DriveMapToWindows(native, &windows)) return 0;
  EndWithBackslash(&windows);
  return CopyOrNeed(windows, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  static const char kWindows[] = "C:\\Windows";
  std::string native;
  struct stat st;
  if (!DriveMapToNative(kWindows, &native) || stat(native.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode)) {
    return 0;
  }
  return CopyOrNeed(kWindows, buffer, size);
}

BOOL GetUserNameA(LPSTR buffer, DWORD* size) {
  if (size == nullptr) return FALSE;
  std::string name;
  struct passwd pw, *found = nullptr;
  char scratch[4096];
  if (getpwuid_r(geteuid(), &pw, scratch, sizeof scratch, &found) == 0 && found != nullptr) {
    name = found->pw_name;
  } else if (const char* login = std::getenv("LOGNAME")) {
    name = login;
  }
  std::string cp932;
  if (name.empty() || !Utf8ToCp932(name, &cp932)) return FALSE;
  DWORD needed = static_cast<DWORD>(cp932.size() + 1);
  bool fits = buffer != nullptr && needed <= *size;
  if (fits) std::memcpy(buffer, cp932.c_str(), needed);
  *size = needed;
  return fits ? TRUE : FALSE;
}
