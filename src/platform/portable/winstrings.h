// Helpers of the Win32 calls that hand back texts in the caller's buffer.
#pragma once
#include <cerrno>
#include <cstring>
#include <string>

#include "mbcs.h"
#include "wintypes.h"

// Copies text into buffer of size bytes: its length, or the size needed with
// the NUL (buffer untouched) when it does not fit.
inline DWORD CopyOrNeed(const std::string& text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || text.size() + 1 > size) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

// Copies text into buffer of size bytes (buffer not null, size > 0), cut at
// a whole character when it does not fit: its length, or size when cut.
inline DWORD CopyOrCut(const std::string& text, LPSTR buffer, DWORD size) {
  if (text.size() + 1 <= size) {
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
  }
  size_t cut = MbcsCutLength(text.c_str(), text.size(), size - 1);
  std::memcpy(buffer, text.c_str(), cut);
  buffer[cut] = 0;
  return size;
}

// Copies text with its NUL into buffer of size bytes (buffer not null, size
// > 0): buffer, or nullptr with errno ERANGE when it does not fit.
inline char* CopyOrRange(const std::string& text, char* buffer, int size) {
  if (text.size() + 1 > static_cast<size_t>(size)) {
    errno = ERANGE;
    return nullptr;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return buffer;
}

// Appends a backslash unless path already ends in one (not a trail byte).
inline void EndWithBackslash(std::string* path) {
  size_t length = path->size();
  if (length == 0 || (*path)[length - 1] != '\\' ||
      MbcsKindAt(path->c_str(), length, length - 1) != MBCS_SINGLE) {
    *path += '\\';
  }
}
