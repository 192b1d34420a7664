// IsDbcsPosition against a scan of the whole text: double-byte positions
// come in lead-trail pairs and agree with the scan for every index.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mbcs.h"
#include "pathfuncs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::strlen(text.c_str()));
  size_t run = 0;
  for (size_t i = 0; i <= text.size() + 1; ++i) {
    bool dbcs = IsDbcsPosition(text.c_str(), i);
    if (i >= text.size() && dbcs) std::abort();
    if (i < text.size() && dbcs != (MbcsKindAt(text.data(), text.size(), i) != MBCS_SINGLE)) {
      std::abort();
    }
    if (dbcs) {
      ++run;
    } else {
      if (run % 2 != 0) std::abort();
      run = 0;
    }
  }
  return 0;
}
