#include <cstring>

#include "crtio.h"
#include "mbcs.h"

namespace {
// Copies text[0..n) with a terminator into out (size bytes) when out is
// given; false when it does not fit.
bool Put(char* out, size_t size, const char* text, size_t n) {
  if (out == nullptr) return true;
  if (n + 1 > size) return false;
  std::memcpy(out, text, n);
  out[n] = 0;
  return true;
}

void Clear(char* out) {
  if (out != nullptr) out[0] = 0;
}
}  // namespace

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  Clear(drive);
  Clear(dir);
  Clear(fname);
  Clear(ext);
  if (path == nullptr) return;
  size_t length = std::strlen(path);
  size_t start = 0;
  if (length >= 2 && path[1] == ':' && !_ismbblead(static_cast<unsigned char>(path[0]))) start = 2;
  // End of the directory: one past the last separator; the extension begins
  // at the last '.' after it.
  size_t dir_end = start;
  size_t dot = length;
  const auto* t = reinterpret_cast<const unsigned char*>(path);
  for (size_t p = start; p < length;) {
    if (_ismbblead(t[p]) && p + 1 < length && _ismbbtrail(t[p + 1])) {
      p += 2;
      continue;
    }
    if (t[p] == '\\' || t[p] == '/') {
      dir_end = p + 1;
      dot = length;
    } else if (t[p] == '.') {
      dot = p;
    }
    ++p;
  }
  bool fits = Put(drive, _MAX_DRIVE, path, start) &&
              Put(dir, _MAX_DIR, path + start, dir_end - start) &&
              Put(fname, _MAX_FNAME, path + dir_end, dot - dir_end) &&
              Put(ext, _MAX_EXT, path + dot, length - dot);
  if (!fits) {
    Clear(drive);
    Clear(dir);
    Clear(fname);
    Clear(ext);
  }
}
