#include "consoleout.h"

// A terminal here takes UTF-8 as it is.
bool ConsoleWrite(FILE* stream, std::string_view utf8) {
  return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}
