// Code page 932 (Shift-JIS as Windows writes it) character tests.
// Lead bytes are 0x81-0x9F and 0xE0-0xFC; trail bytes 0x40-0x7E and
// 0x80-0xFC. A lead byte followed by a trail byte is one double-byte
// character; a lead byte without a valid trail byte counts as a single byte.
// The trail byte of a double-byte character may equal '\\' (0x5C), so every
// search for a single-byte character in system text goes through these.
#pragma once
#include <cstddef>

#include "wintypes.h"

#ifdef _WIN32
// The runtime's and Win32's forms follow the process's code page; the
// system's text is always code page 932, so its calls go to the project's own.
#define _ismbblead VelorIsMbbLead
#define _ismbbtrail VelorIsMbbTrail
#define IsDBCSLeadByte VelorIsDbcsLeadByte
#define _mbsrchr VelorMbsRChr
#define _mbschr VelorMbsChr
#endif
// Non-zero when c is a lead byte of code page 932 (C runtime name).
int _ismbblead(unsigned int c);
// Non-zero when c can be a trail byte of code page 932 (C runtime name).
int _ismbbtrail(unsigned int c);
// TRUE when b is a lead byte of code page 932 (Win32 name).
BOOL IsDBCSLeadByte(BYTE b);
// Last occurrence of the single-byte character c in the NUL-terminated text
// s, never the trail byte of a double-byte character; null when none.
unsigned char* _mbsrchr(const unsigned char* s, unsigned int c);
// First such occurrence of c in s; null when none.
unsigned char* _mbschr(const unsigned char* s, unsigned int c);

// What the byte at index i of text[0..length) is, scanning from the start.
enum MbcsByteKind { MBCS_SINGLE = 0, MBCS_LEAD = 1, MBCS_TRAIL = 2 };
// Kind of the byte at index i (requires i < length).
MbcsByteKind MbcsKindAt(const char* text, size_t length, size_t i);
// The longest prefix of text[0..length) of at most limit bytes that ends at
// a whole character: limit itself, or limit - 1 when the byte at limit - 1
// is the lead byte of a character. Returns length when length <= limit.
size_t MbcsCutLength(const char* text, size_t length, size_t limit);
// Index where the last keep bytes of text[0..length) begin, moved one byte
// on when that byte is the trail byte of a character. 0 when length <= keep.
size_t MbcsTailStart(const char* text, size_t length, size_t keep);
// Index of the last single-byte c in text[0..length), or length when none.
size_t MbcsFindLast(const char* text, size_t length, char c);
// Index of the first byte of text[0..length) that is no character of code
// page 932, scanning whole characters from the start: 0x80, 0xA0, 0xFD to
// 0xFF, or a lead byte without a trail byte after it. length when none.
size_t MbcsInvalidAt(const char* text, size_t length);
