#include "wxtrace.h"

#include <cstdio>
#include <cstdlib>

bool DesktopTraceOn() {
  const char* path = std::getenv("VELOR_DESKTOP_TRACE");
  return path != nullptr && *path != '\0';
}

void DesktopTrace(const std::string& line) {
  const char* path = std::getenv("VELOR_DESKTOP_TRACE");
  if (path == nullptr || *path == '\0') return;
  if (std::FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s\n", line.c_str());
    std::fclose(f);
  }
}

std::string TraceEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += "\\n";
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += c;
    }
  }
  return out;
}
