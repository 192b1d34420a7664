// Conversions between the system's texts and the wide API's UTF-16, and the
// file-system error of a Win32 error code: what every call of this folder
// needs at its edge.
#pragma once
#include <string>
#include <string_view>

#include "fs.h"
#include "wintypes.h"

// Code page 932 bytes as UTF-16 in *wide; false when they are not valid code
// page 932 (then *wide is unspecified).
bool Cp932ToWide(std::string_view cp932, std::wstring* wide);
// UTF-16 as code page 932 in *cp932; false when a character has no code
// page 932 form (then *bad, when given, receives its code point) or the
// UTF-16 is malformed (*bad 0xFFFD).
bool WideToCp932(std::wstring_view wide, std::string* cp932, char32_t* bad = nullptr);
// UTF-8 as UTF-16 in *wide; false when it is not valid UTF-8.
bool Utf8ToWide(std::string_view utf8, std::wstring* wide);
// UTF-16 as UTF-8; malformed UTF-16 comes out as U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
// The file-system error that the Win32 error code error stands for.
FsError FsErrorOfWin32(DWORD error);
// FsErrorOfWin32(GetLastError()).
FsError LastFsError();
