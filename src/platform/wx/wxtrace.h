// A trace of what the desktop front end shows and what the user does, for
// tests that drive real windows: when VELOR_DESKTOP_TRACE names a file,
// each event appends one UTF-8 line to it.
#pragma once
#include <string>

// True when tracing is on.
bool DesktopTraceOn();
// Appends line (UTF-8, no newline) to the trace file when tracing is on.
void DesktopTrace(const std::string& line);
// The text with '\n' written as "\\n" and '\\' as "\\\\", for one trace line.
std::string TraceEscape(const std::string& text);
