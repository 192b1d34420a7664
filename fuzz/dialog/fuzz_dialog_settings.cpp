// The settings-file reader and rewriter on any content: the first line of
// the input is the key, the rest the file. The value read stays within its
// buffer; after a rewrite the key's entry is the last line and reads back
// (when the key can key a line at all).
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "settingsfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t lf = input.find('\n');
  if (lf == std::string::npos || lf == 0) return 0;
  std::string key = input.substr(0, lf);
  std::string content = input.substr(lf + 1);

  char buffer[kPathBufferSize + 16];
  std::memset(buffer, 0x55, sizeof buffer);
  if (FindStoredPath(content, key, buffer)) {
    size_t n = std::strlen(buffer);
    if (n > MAX_PATH) std::abort();
    for (size_t i = kPathBufferSize; i < sizeof buffer; ++i) {
      if (buffer[i] != 0x55) std::abort();
    }
  }

  std::string line = key + "C:\\new.csv\n";
  std::string out = ReplaceStoredLine(content, key, line);
  if (out.size() < line.size() || out.compare(out.size() - line.size(), line.size(), line) != 0) {
    std::abort();
  }
  // No kept line begins with the key, so the new one is found; a key with
  // control characters is never found (it would split or forge a line).
  if (FindStoredPath(out, key, buffer) != IsSettingsKey(key)) std::abort();
  if (IsSettingsKey(key) && std::strcmp(buffer, "C:\\new.csv") != 0) std::abort();
  return 0;
}
