#include "rowfields.h"

#include <cstdarg>

#include "ClCSVEdit.h"
#include "_CDecimal.h"
#include "mbcs.h"
#include "winfmt.h"

void FormatCodeTail(const char* text, size_t length, int keep, char* out) {
  size_t start = MbcsTailStart(text, length, static_cast<size_t>(keep));
  char kept[16] = {};
  size_t n = length - start;
  if (n > sizeof kept - 1) n = sizeof kept - 1;
  std::memcpy(kept, text + start, n);
  _snprintf(out, static_cast<size_t>(keep) + 1, "%0*s", keep, kept);
}

size_t CopyWholeChars(const char* text, size_t length, size_t limit, char* out) {
  size_t n = MbcsCutLength(text, length, limit);
  std::memcpy(out, text, n);
  out[n] = '\0';
  return n;
}

int64_t HundredthsToCurrency(int32_t ratio) {
  return (_CDecimal(WholeToCurrency(ratio)) / _CDecimal(WholeToCurrency(100))).ToCurrency();
}

void LogEntry(ClCSVEdit* edit, const char* format, ...) {
  // Room for the longest entry (a 192-byte name in its message); the log
  // keeps 152 bytes of it.
  char entry[512];
  va_list args;
  va_start(args, format);
  _vsnprintf(entry, sizeof entry, format, args);
  va_end(args);
  edit->WriteLog(entry);
}
