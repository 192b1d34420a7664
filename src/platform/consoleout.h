// Text for the user's console: the programs' messages, prompts and progress
// line, written so that a console shows them whatever its code page.
#pragma once
#include <cstdio>
#include <string_view>

// The formats are those of the C99 runtime (mingw-w64's own on Windows).
#ifdef __MINGW32__
#define VELOR_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define VELOR_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#endif

// Writes the UTF-8 text to stream. A Windows console receives it through the
// wide console calls (text that is not valid UTF-8 goes as bytes); any other
// stream, and every stream on POSIX, receives the bytes. False when not all
// of it was written.
bool ConsoleWrite(FILE* stream, std::string_view utf8);
// Formats as std::fprintf does and writes the result with ConsoleWrite;
// returns the number of bytes formatted, or -1 when formatting or writing
// failed.
int ConsolePrintf(FILE* stream, const char* format, ...) VELOR_PRINTF_FORMAT(2, 3);
// The width in columns of the terminal (console window) that stream writes
// to; 0 when it is none or its width cannot be read.
int ConsoleColumns(FILE* stream);
