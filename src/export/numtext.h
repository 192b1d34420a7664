// Number texts: separator removal, the reading of a decimal number text and
// of the leading digits of a text.
#pragma once
#include <cstddef>

// Copies text into out (size bytes, size > 0) without its "," and " " bytes,
// NUL-terminated; a result longer than size - 1 bytes is cut there. out may
// be text itself.
void StripSeparators(const char* text, char* out, size_t size);
// Reads the longest prefix of text that is a decimal number: blanks, an
// optional sign, digits with an optional point and decimals (at least one
// digit), an optional exponent. 0 when there is none. Hexadecimal, infinity
// and NaN forms are no numbers here ("0x1" reads 0). Out-of-range values
// read as +-HUGE_VAL or 0, as the C library's conversion gives them.
double ReadDecimalNumber(const char* text);
// The decimal value of the leading digits of text after blanks and a sign,
// as the runtime's atoi reads it, but held below 10^11 instead of wrapping: a
// level of many digits stays a large level. 0 when there are no digits.
long long LeadingNumber(const char* text);
