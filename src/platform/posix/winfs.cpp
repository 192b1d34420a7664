#include "winfs.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "codepage.h"
#include "drivemap.h"
#include "fs.h"
#include "mbcs.h"

namespace {
// Copies text into buffer of size bytes: its length, or the size needed with
// the NUL (buffer untouched) when it does not fit.
DWORD CopyOrNeed(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

// Appends a backslash unless path already ends in one (not a trail byte).
void EndWithBackslash(std::string* path) {
  size_t length = path->size();
  if (length == 0 || (*path)[length - 1] != '\\' ||
      MbcsKindAt(path->c_str(), length, length - 1) != MBCS_SINGLE) {
    *path += '\\';
  }
}

// Records error as the last error; TRUE when it is none.
BOOL Done(FsError error) {
  Fs::SetLastError(error);
  return error == FsError::kNone ? TRUE : FALSE;
}
}  // namespace

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES) {
  std::string native;
  if (path == nullptr || !DriveMapToNative(path, &native)) return Done(FsError::kNotFound);
  return Done(Fs::Default()->CreateFolder(native));
}

BOOL RemoveDirectoryA(LPCSTR path) {
  std::string native;
  if (path == nullptr || !DriveMapToNative(path, &native)) return Done(FsError::kNotFound);
  return Done(Fs::Default()->RemoveFolder(native));
}

BOOL DeleteFileA(LPCSTR path) {
  std::string native;
  if (path == nullptr || !DriveMapToNative(path, &native)) return Done(FsError::kNotFound);
  return Done(Fs::Default()->Remove(native));
}

BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  std::string native_from, native_to;
  if (from == nullptr || to == nullptr || !DriveMapToNative(from, &native_from) ||
      !DriveMapToNative(to, &native_to)) {
    return Done(FsError::kNotFound);
  }
  Fs* fs = Fs::Default();
  FsStat st;
  if ((flags & MOVEFILE_REPLACE_EXISTING) == 0 && fs->Stat(native_to, false, &st) == FsError::kNone) {
    return Done(FsError::kExists);
  }
  if (!Done(fs->Rename(native_from, native_to))) return FALSE;
  if ((flags & MOVEFILE_WRITE_THROUGH) != 0) return Done(fs->SyncFolder(NativeParentOf(native_to)));
  return TRUE;
}

UINT GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR file) {
  if (path == nullptr || file == nullptr) return 0;
  std::string folder = path;
  EndWithBackslash(&folder);
  std::string start = prefix != nullptr ? prefix : "";
  start.resize(MbcsCutLength(start.c_str(), start.size(), 3));
  auto form = [&](UINT number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", number & 0xFFFFu);
    return folder + start + hex + ".TMP";
  };
  if (unique != 0) {
    std::string name = form(unique);
    if (name.size() + 1 > MAX_PATH) return 0;
    std::memcpy(file, name.c_str(), name.size() + 1);
    return unique;
  }
  std::string native_folder;
  FsStat st;
  Fs* fs = Fs::Default();
  if (!DriveMapToNative(folder.c_str(), &native_folder) ||
      fs->Stat(native_folder, true, &st) != FsError::kNone || !st.folder) {
    return 0;
  }
  UINT first = (static_cast<UINT>(getpid()) * 2654435761u) & 0xFFFFu;
  for (UINT k = 0; k < 0x10000u; ++k) {
    UINT number = ((first + k) & 0xFFFFu) == 0 ? 1 : (first + k) & 0xFFFFu;
    std::string name = form(number);
    std::string native;
    if (name.size() + 1 > MAX_PATH || !DriveMapToNative(name.c_str(), &native)) return 0;
    std::unique_ptr<FsFile> created;
    FsError error = fs->Open(native, FsOpen::kWriteNew, &created);
    if (error == FsError::kNone) {
      error = created->Close();
      if (error != FsError::kNone) fs->Remove(native);  // made, but not cleanly
    }
    if (error == FsError::kNone) {
      std::memcpy(file, name.c_str(), name.size() + 1);
      return number;
    }
    if (error != FsError::kExists) {
      Fs::SetLastError(error);
      return 0;
    }
  }
  return 0;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
  std::error_code ec;
  std::string native = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  std::string windows;
  if (module != nullptr || ec || !DriveMapToWindows(native, &windows) || buffer == nullptr ||
      size == 0) {
    return 0;
  }
  if (windows.size() + 1 <= size) {
    std::memcpy(buffer, windows.c_str(), windows.size() + 1);
    return static_cast<DWORD>(windows.size());
  }
  size_t cut = MbcsCutLength(windows.c_str(), windows.size(), size - 1);
  std::memcpy(buffer, windows.c_str(), cut);
  buffer[cut] = 0;
  return size;
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
