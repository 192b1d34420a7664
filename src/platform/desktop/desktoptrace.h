// A trace of what the desktop front end shows and what the user does, for
// tests that drive real windows: when VELOR_DESKTOP_TRACE names a file,
// each event appends one UTF-8 line to it. Both desktop front ends write
// the same lines for the same events.
#pragma once
#include <string>

#include "wintypes.h"

// True when tracing is on.
bool DesktopTraceOn();
// Appends line (UTF-8, no newline) to the trace file when tracing is on.
void DesktopTrace(const std::string& line);
// The text with '\n' written as "\\n" and '\\' as "\\\\", for one trace line.
std::string TraceEscape(const std::string& text);
// Traces a message box about to be shown: its type (MB_*), whether a window
// of the program owns it, and its caption and text (code page 932).
void TraceMessageBox(UINT type, bool owned, const std::string& caption, const std::string& text);
// Traces the user's answer to a message box (IDOK, IDYES, IDNO, IDCANCEL).
void TraceAnswer(int answer);
