#include "desktoptrace.h"

#include <cstdio>
#include <cstdlib>

#include "codepage.h"
#include "messagebox.h"

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

void TraceMessageBox(UINT type, bool owned, const std::string& caption, const std::string& text) {
  if (!DesktopTraceOn()) return;
  char head[64];
  std::snprintf(head, sizeof head, "messagebox type=0x%x owner=%s caption=", type, owned ? "dialog" : "none");
  DesktopTrace(head + Cp932ToUtf8Shown(caption) + " text=" + TraceEscape(Cp932ToUtf8Shown(text)));
}

void TraceAnswer(int answer) {
  const char* name = "ok";
  if (answer == IDYES) name = "yes";
  if (answer == IDNO) name = "no";
  if (answer == IDCANCEL) name = "cancel";
  DesktopTrace(std::string("answer ") + name);
}
