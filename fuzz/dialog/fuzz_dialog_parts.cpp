// GetFolderPart and GetFilePart split a path in two at its last real
// backslash: together they are the path, and the file part holds none.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mbcs.h"
#include "pathfuncs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path(reinterpret_cast<const char*>(data), size);
  path.resize(std::strlen(path.c_str()));
  std::string folder = GetFolderPart(path.c_str());
  std::string file = GetFilePart(path.c_str());
  if (folder + file != path) std::abort();
  if (!folder.empty() && (folder.back() != '\\' ||
                          MbcsKindAt(folder.data(), folder.size(), folder.size() - 1) != MBCS_SINGLE)) {
    std::abort();
  }
  if (MbcsFindLast(path.data(), path.size(), '\\') != path.size() &&
      MbcsFindLast(file.data(), file.size(), '\\') != file.size()) {
    std::abort();
  }
  return 0;
}
