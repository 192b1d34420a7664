// Comparison of code page 932 text without regard to letter case, under the
// C runtime names: only single-byte ASCII letters are folded; both bytes of
// a double-byte character are compared as they are.
#pragma once
#include <cstddef>

#ifdef _WIN32
// The system's text is code page 932 whatever the process's code page.
#define _mbsicmp VelorMbsICmp
#define _mbsnbicmp VelorMbsNbICmp
#endif
// <0, 0 or >0 as s1 sorts before, equal to or after s2 (case folded).
int _mbsicmp(const unsigned char* s1, const unsigned char* s2);
// As _mbsicmp over at most the first count bytes of each text.
int _mbsnbicmp(const unsigned char* s1, const unsigned char* s2, size_t count);
