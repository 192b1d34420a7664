#include "consoleout.h"

#include <sys/ioctl.h>

// A terminal here takes UTF-8 as it is.
bool ConsoleWrite(FILE* stream, std::string_view utf8) {
  return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
}

int ConsoleColumns(FILE* stream) {
  struct winsize size;
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) != 0) return 0;
  return size.ws_col;
}
