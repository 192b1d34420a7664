// The text the Win32 windows show for the system's code page 932 text.
#pragma once
#include <string>

// The UTF-16 form of code page 932 text; bytes without a code page 932
// meaning show as U+FFFD.
std::wstring ScreenText(const std::string& cp932);
// The UTF-16 form of UTF-8 text (invalid UTF-8 shows as U+FFFD).
std::wstring ScreenTextOfUtf8(const std::string& utf8);
