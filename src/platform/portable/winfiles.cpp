// The file and folder calls of Win32 over the file-system interface, so that
// a test's file system (ScopedFs) sees them on every platform.
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "drivemap.h"
#include "fs.h"
#include "mbcs.h"
#include "portable/winstrings.h"
#include "winfs.h"

namespace {
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
  UINT first = static_cast<UINT>(std::random_device{}()) & 0xFFFFu;
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

