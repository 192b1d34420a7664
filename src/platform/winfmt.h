// Formatting with the Windows C runtime's rules. It differs from the C
// library here in one way the system relies on: a zero flag with a width on
// a text conversion ("%06s", "%08s") pads the text on the left with the
// digit 0 ("12AB" in "%08s" gives "000012AB"); a longer text is written whole.
#pragma once
#include <cstdarg>
#include <cstddef>

#ifdef _WIN32
#include <stdio.h>
// The runtime's own forms neither always end the text nor write exponents
// and roundings as this contract says.
#define _snprintf VelorSnprintf
#define _vsnprintf VelorVsnprintf
#endif
// Formats into buffer[0..count) and always NUL-terminates it when count > 0.
// Returns the number of bytes written without the NUL, or -1 when the output
// was cut to fit (the buffer then holds the first count - 1 bytes).
// Supports the conversions d i u x X o c s f e g p % with flags, widths,
// precisions, '*' and the length modifiers h l ll z. (No printf format
// attribute: the compiler would warn about the zero flag on text.)
int _snprintf(char* buffer, size_t count, const char* format, ...);
// _snprintf with a va_list.
int _vsnprintf(char* buffer, size_t count, const char* format, va_list args);
