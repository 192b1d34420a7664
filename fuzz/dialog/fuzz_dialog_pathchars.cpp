// CheckPathChars on any text: never reads past the terminator, and a text
// that passes holds no refused character after the first one of its rest.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mbcs.h"
#include "pathfuncs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path(reinterpret_cast<const char*>(data), size);
  path.resize(std::strlen(path.c_str()));
  if (!CheckPathChars(path.c_str())) return 0;
  // A passing path with no drive or server part holds no '*' after its
  // first character, unless it is inside a double-byte character.
  if (path.find(':') == std::string::npos && path.rfind("\\\\", 0) != 0) {
    for (size_t i = 1; i < path.size(); ++i) {
      if (path[i] == '*' && MbcsKindAt(path.data(), path.size(), i) == MBCS_SINGLE) std::abort();
    }
  }
  return 0;
}
