#include "outputpaths.h"

#include <cstring>

#include "mbcs.h"
#include "mbscase.h"

const char kKindFileName[] = "syurui.SSC";
const char kLogFileName[] = "VelrixSysErr.txt";

bool DeriveSiblingPath(const char* assetPath, const char* name, char* out) {
  out[0] = '\0';
  size_t length = strnlen(assetPath, kPathBufferSize);
  if (length >= kPathBufferSize) return false;
  size_t slash = MbcsFindLast(assetPath, length, '\\');
  if (slash == length) return false;
  size_t folder = slash + 1, nameLength = std::strlen(name);
  if (folder + nameLength >= kPathBufferSize) return false;
  const auto* file = reinterpret_cast<const unsigned char*>(assetPath + folder);
  if (_mbsicmp(file, reinterpret_cast<const unsigned char*>(name)) == 0) return false;
  std::memcpy(out, assetPath, folder);
  std::memcpy(out + folder, name, nameLength + 1);
  return true;
}
