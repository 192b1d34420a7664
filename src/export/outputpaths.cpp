#include "outputpaths.h"

#include <cstring>

#include "mbcs.h"

const char kKindFileName[] = "syurui.SSC";
const char kLogFileName[] = "VelrixSysErr.txt";

namespace {
// True when a[0..n) and b[0..n) are equal without regard to ASCII case.
bool SameIgnoringCase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}
}  // namespace

bool DeriveSiblingPath(const char* assetPath, const char* name, char* out) {
  out[0] = '\0';
  size_t length = strnlen(assetPath, kPathBufferSize);
  if (length >= kPathBufferSize) return false;
  size_t slash = MbcsFindLast(assetPath, length, '\\');
  if (slash == length) return false;
  size_t folder = slash + 1, nameLength = std::strlen(name);
  if (folder + nameLength >= kPathBufferSize) return false;
  if (folder + nameLength == length && SameIgnoringCase(assetPath + folder, name, nameLength))
    return false;
  std::memcpy(out, assetPath, folder);
  std::memcpy(out + folder, name, nameLength + 1);
  return true;
}
