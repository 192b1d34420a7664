// AddBackslash with any capacity and GetDirPart and ClosePath on any text of
// up to 260 bytes: they stay inside their buffers and keep what they promise.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mbcs.h"
#include "pathfuncs.h"

namespace {
bool EndsInBackslash(const char* s) {
  size_t n = std::strlen(s);
  return n > 0 && s[n - 1] == '\\' && MbcsKindAt(s, n, n - 1) == MBCS_SINGLE;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  size_t capacity = data[0] + 1;  // 1 to 256
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  text.resize(std::strlen(text.c_str()));
  if (text.size() >= capacity) text.resize(capacity - 1);

  // Exactly capacity bytes, so the sanitizer sees any write past them.
  char* buf = new char[capacity];
  std::memcpy(buf, text.c_str(), text.size() + 1);
  if (AddBackslash(buf, capacity) && !EndsInBackslash(buf)) std::abort();
  delete[] buf;

  if (text.size() <= MAX_PATH) {
    char path[kPathBufferSize];
    std::memcpy(path, text.c_str(), text.size() + 1);
    if (GetDirPart(path)) {
      if (!EndsInBackslash(path) || std::strlen(path) > text.size()) std::abort();
    }
    std::memcpy(path, text.c_str(), text.size() + 1);
    if (ClosePath(path) && !EndsInBackslash(path)) std::abort();
  }
  return 0;
}
