// Helpers of the Win32 calls that hand back texts in the caller's buffer.
#pragma once
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

// Appends a backslash unless path already ends in one (not a trail byte).
inline void EndWithBackslash(std::string* path) {
  size_t length = path->size();
  if (length == 0 || (*path)[length - 1] != '\\' ||
      MbcsKindAt(path->c_str(), length, length - 1) != MBCS_SINGLE) {
    *path += '\\';
  }
}
