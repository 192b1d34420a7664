#include "pathapi.h"

#include <cstring>
#include <string>

#include "drivemap.h"
#include "fs.h"
#include "mbcs.h"

namespace {
// First single-byte '\\' of s, never a trail byte; null when none.
char* FindBackslash(const char* s) {
  return reinterpret_cast<char*>(_mbschr(reinterpret_cast<const unsigned char*>(s), '\\'));
}

bool IsDriveRoot(const char* path) {
  return path[0] != 0 && !_ismbblead(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         path[2] == '\\';
}
}  // namespace

LPSTR PathSkipRootA(LPCSTR path) {
  if (path == nullptr || path[0] == 0) return nullptr;
  if (path[0] == '\\' && path[1] == '\\') {
    char* server_end = FindBackslash(path + 2);
    if (server_end == nullptr) return nullptr;
    char* share_end = FindBackslash(server_end + 1);
    return share_end == nullptr ? nullptr : share_end + 1;
  }
  if (IsDriveRoot(path)) return const_cast<LPSTR>(path + 3);
  return nullptr;
}

BOOL PathStripToRootA(LPSTR path) {
  if (path == nullptr || path[0] == 0) return FALSE;
  if (path[0] == '\\' && path[1] == '\\') {
    // "\\server\share" when a share name follows, else "\\server".
    char* server_end = FindBackslash(path + 2);
    if (server_end != nullptr) {
      char* share_end = FindBackslash(server_end + 1);
      if (share_end != nullptr) {
        *share_end = 0;
      } else if (server_end[1] == 0) {
        *server_end = 0;
      }
    }
    return TRUE;
  }
  if (IsDriveRoot(path)) {
    path[3] = 0;
    return TRUE;
  }
  if (path[0] == '\\') {
    path[1] = 0;
    return TRUE;
  }
  return FALSE;
}

BOOL PathFileExistsA(LPCSTR path) {
  std::string native;
  FsStat st;
  return path != nullptr && DriveMapToNative(path, &native) &&
                 Fs::Default()->Stat(native, true, &st) == FsError::kNone
             ? TRUE
             : FALSE;
}

BOOL PathIsDirectoryA(LPCSTR path) {
  std::string native;
  FsStat st;
  return path != nullptr && DriveMapToNative(path, &native) &&
                 Fs::Default()->Stat(native, true, &st) == FsError::kNone && st.folder
             ? TRUE
             : FALSE;
}
