#include <cstdarg>
#include <string>

#include "consoleout.h"

int ConsolePrintf(FILE* stream, const char* format, ...) {
  va_list args, again;
  va_start(args, format);
  va_copy(again, args);
  char small[512];
  int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  std::string text;
  if (n >= 0 && static_cast<size_t>(n) >= sizeof small) {
    text.resize(static_cast<size_t>(n) + 1);
    n = std::vsnprintf(text.data(), text.size(), format, again);
    if (n >= 0) text.resize(static_cast<size_t>(n));
  } else if (n >= 0) {
    text.assign(small, static_cast<size_t>(n));
  }
  va_end(again);
  if (n < 0) return -1;
  return ConsoleWrite(stream, text) ? n : -1;
}
