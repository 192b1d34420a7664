#include "pathfuncs.h"

#include <cstring>
#include <vector>

#include "crtio.h"
#include "drivemap.h"
#include "mbcs.h"
#include "mbscase.h"
#include "pathapi.h"
#include "winfs.h"

namespace {
const char kRefusedChars[] = "/:,;*?\"><|";

// Length of the character at t[i]: 2 for a lead byte with its trail, else 1.
size_t CharLen(const char* t, size_t i) {
  const auto* u = reinterpret_cast<const unsigned char*>(t);
  return (_ismbblead(u[i]) && u[i + 1] != 0 && _ismbbtrail(u[i + 1])) ? 2 : 1;
}

// Index of the first single-byte c of s at or after from (a character
// boundary of s, counted from its start); npos when none.
size_t FindChar(const char* s, size_t from, char c) {
  for (size_t i = 0; s[i] != 0; i += CharLen(s, i)) {
    if (i >= from && CharLen(s, i) == 1 && s[i] == c) return i;
  }
  return std::string::npos;
}

// True when two single-byte backslashes follow each other in s, the first at
// index from or later.
bool HasDoubleBackslash(const char* s, size_t from) {
  for (size_t i = 0; s[i] != 0; i += CharLen(s, i)) {
    if (i >= from && s[i] == '\\' && s[i + 1] == '\\' && CharLen(s, i) == 1) return true;
  }
  return false;
}

bool IsUncPath(const char* path) { return path[0] == '\\' && path[1] == '\\'; }

const unsigned char* Bytes(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

// Copies text into a path buffer and reduces it to its closed folder.
bool ToClosedFolder(const char* text, char* buffer) {
  size_t length = std::strlen(text);
  if (length == 0 || length >= kPathBufferSize) return false;
  std::memcpy(buffer, text, length + 1);
  return GetDirPart(buffer) && ClosePath(buffer);
}

// Splits the closed folder into its closed root and the rest after it.
bool SplitRoot(const char* folder, char* root, const char** rest) {
  *rest = PathSkipRootA(folder);
  if (*rest == nullptr) return false;
  std::memcpy(root, folder, std::strlen(folder) + 1);
  return PathStripToRootA(root) && root[0] != 0 && ClosePath(root);
}

// Writes root followed by rest[0..n), closed, into level.
bool FormLevel(const char* root, const char* rest, size_t n, char* level) {
  size_t root_length = std::strlen(root);
  if (root_length + n >= kPathBufferSize) return false;
  std::memcpy(level, root, root_length);
  std::memcpy(level + root_length, rest, n);
  level[root_length + n] = 0;
  return ClosePath(level);
}

// TRUE when the folder that level names is an existing directory.
bool LevelExists(const char* level) {
  char dir[kPathBufferSize];
  std::memcpy(dir, level, std::strlen(level) + 1);
  return GetDirPart(dir) && PathIsDirectoryA(dir);
}
}  // namespace

BOOL CheckPathChars(const char* path) {
  for (const char* p = path; *p != 0; ++p) {
    if ((*p > 0 && *p < 0x20) || *p == 0x7F) return FALSE;
  }
  const char* rest;
  if (IsUncPath(path)) {
    if (HasDoubleBackslash(path, 3)) return FALSE;
    rest = path + 2;
  } else {
    if (HasDoubleBackslash(path, 0)) return FALSE;
    size_t colon = FindChar(path, 0, ':');
    rest = colon == std::string::npos ? path : path + colon + 1;
  }
  if (rest[0] == 0) return TRUE;
  for (size_t i = CharLen(rest, 0); rest[i] != 0; i += CharLen(rest, i)) {
    if (CharLen(rest, i) == 1 && std::strchr(kRefusedChars, rest[i]) != nullptr) return FALSE;
  }
  return TRUE;
}

BOOL HasDeviceName(const char* path) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  // After the root, or after the drive of a path relative to it ("X:name").
  const char* rest = PathSkipRootA(path);
  if (rest == nullptr) rest = path[0] != 0 && path[1] == ':' ? path + 2 : path;
  size_t start = 0;
  for (size_t i = 0;; i += CharLen(rest, i)) {
    if (rest[i] != 0 && !(CharLen(rest, i) == 1 && rest[i] == '\\')) continue;
    // The name's part before its first dot, without the spaces after it.
    std::string base(rest + start, i - start);
    size_t dot = base.find('.');
    if (dot != std::string::npos) base.resize(dot);
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    for (const char* device : kDevices) {
      if (base == device) return TRUE;
    }
    if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
        base[3] >= '1' && base[3] <= '9') {
      return TRUE;
    }
    if (rest[i] == 0) return FALSE;
    start = i + 1;
  }
}

std::string GetFolderPart(const char* path) {
  size_t length = std::strlen(path);
  size_t last = MbcsFindLast(path, length, '\\');
  return last == length ? std::string() : std::string(path, last + 1);
}

std::string GetFilePart(const char* path) {
  size_t length = std::strlen(path);
  size_t last = MbcsFindLast(path, length, '\\');
  return last == length ? std::string(path) : std::string(path + last + 1);
}

BOOL IsDbcsPosition(const char* text, size_t index) {
  size_t length = std::strlen(text);
  if (index >= length) return FALSE;
  return MbcsKindAt(text, length, index) != MBCS_SINGLE ? TRUE : FALSE;
}

BOOL AddBackslash(char* text, size_t capacity) {
  size_t length = std::strlen(text);
  if (length == 0) return FALSE;
  bool dbcs = IsDbcsPosition(text, length - 1);
  if (!dbcs && text[length - 1] == '\\') return TRUE;
  // After a lead byte without its trail byte a backslash would become that
  // trail byte, so the text cannot be closed.
  if (!dbcs && _ismbblead(static_cast<unsigned char>(text[length - 1]))) return FALSE;
  if (length + 1 >= capacity) return FALSE;
  text[length] = '\\';
  text[length + 1] = 0;
  return TRUE;
}

BOOL GetDirPart(char* path) {
  size_t length = std::strlen(path);
  if (length == 0) return FALSE;
  char drive[_MAX_DRIVE];
  char dir[_MAX_DIR];
  _splitpath(path, drive, dir, nullptr, nullptr);
  // drive and dir are a prefix of path, so they fit where it was.
  size_t drive_length = std::strlen(drive);
  size_t dir_length = std::strlen(dir);
  std::memmove(path, drive, drive_length);
  std::memmove(path + drive_length, dir, dir_length + 1);
  if (path[0] == 0) return FALSE;
  return AddBackslash(path, length + 1);
}

BOOL ClosePath(char* path) { return AddBackslash(path, kPathBufferSize); }

BOOL CheckDrive(const char* path) {
  if (IsUncPath(path)) {
    size_t server_end = FindChar(path, 3, '\\');
    if (server_end == std::string::npos) return FALSE;
    size_t share_end = FindChar(path, server_end + 1, '\\');
    if (share_end == std::string::npos) return FALSE;
    std::string root(path, share_end);
    return _access(root.c_str(), 6) == 0 ? TRUE : FALSE;
  }
  if (HasDoubleBackslash(path, 0)) return FALSE;
  char letter = path[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return FALSE;
  char root[4] = {letter, ':', '\\', 0};
  switch (GetDriveTypeA(root)) {
    case DRIVE_UNKNOWN:
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
      return FALSE;
    case DRIVE_REMOVABLE:
    case DRIVE_FIXED:
    case DRIVE_REMOTE:
      return _access(root, 6) == 0 ? TRUE : FALSE;
    default:
      return TRUE;
  }
}

BOOL CreateFolders(const char* path) {
  char work[kPathBufferSize];
  if (!ToClosedFolder(path, work)) return FALSE;
  char root[kPathBufferSize];
  const char* rest;
  if (!SplitRoot(work, root, &rest)) return FALSE;
  char deepest[kPathBufferSize];
  std::memcpy(deepest, root, std::strlen(root) + 1);
  for (size_t i = 0; rest[i] != 0; i += CharLen(rest, i)) {
    if (CharLen(rest, i) != 1 || rest[i] != '\\') continue;
    // A level is shorter than work, so it always has room to be closed.
    char level[kPathBufferSize];
    if (!FormLevel(root, rest, i, level)) {
      RemoveCreatedFolders(work, deepest);
      return FALSE;
    }
    if (LevelExists(level)) {
      std::memcpy(deepest, level, std::strlen(level) + 1);
    } else if (!CreateDirectoryA(level, nullptr)) {
      RemoveCreatedFolders(level, deepest);
      return FALSE;
    }
  }
  return TRUE;
}

BOOL RemoveCreatedFolders(const char* failed, const char* existing) {
  char failed_dir[kPathBufferSize], existing_dir[kPathBufferSize];
  if (!ToClosedFolder(failed, failed_dir) || !ToClosedFolder(existing, existing_dir)) {
    return FALSE;
  }
  char failed_root[kPathBufferSize], existing_root[kPathBufferSize];
  const char *failed_rest, *existing_rest;
  if (!SplitRoot(failed_dir, failed_root, &failed_rest) ||
      !SplitRoot(existing_dir, existing_root, &existing_rest)) {
    return FALSE;
  }
  size_t existing_length = std::strlen(existing_rest);
  if (_mbsicmp(Bytes(failed_root), Bytes(existing_root)) != 0 ||
      _mbsnbicmp(Bytes(failed_rest), Bytes(existing_rest), existing_length) != 0) {
    return FALSE;
  }
  // The backslashes of the failed rest after its first byte, deepest last.
  std::vector<size_t> offsets;
  for (size_t i = 0; failed_rest[i] != 0; i += CharLen(failed_rest, i)) {
    if (i > 0 && CharLen(failed_rest, i) == 1 && failed_rest[i] == '\\') offsets.push_back(i);
  }
  for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) {
    // The existing rest is a prefix of the failed one, so their first p bytes
    // are equal exactly when p does not pass its end: from here up, the
    // folders existed before.
    size_t p = *it;
    if (p <= existing_length) return TRUE;
    char level[kPathBufferSize];
    if (!FormLevel(failed_root, failed_rest, p, level)) return FALSE;
    if (PathIsDirectoryA(level) && !RemoveDirectoryA(level)) return FALSE;
  }
  return TRUE;
}
