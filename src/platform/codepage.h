// Conversion between code page 932, the system's own text, and UTF-8, the
// text of the user's screen, of native file names and of the ledger JSON.
#pragma once
#include <string>
#include <string_view>

// Converts code page 932 bytes to UTF-8 into *out. Returns false (and leaves
// *out unspecified) when the bytes are not valid code page 932.
bool Cp932ToUtf8(std::string_view cp932, std::string* out);
// The UTF-8 of code page 932 bytes for showing them: the characters that
// are not valid code page 932 come out as U+FFFD.
std::string Cp932ToUtf8Shown(std::string_view cp932);
// Converts UTF-8 to code page 932 into *out. Returns false when the input is
// not valid UTF-8 or holds a character without a code page 932 form; then
// *bad (when given) receives that character's code point, or 0xFFFD for
// invalid UTF-8.
bool Utf8ToCp932(std::string_view utf8, std::string* out, char32_t* bad = nullptr);
