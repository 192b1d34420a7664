// Reading a value of an INI file, under the Win32 name.
#pragma once
#include "wintypes.h"

#ifdef _WIN32
// The project's own reader, over code page 932 paths and contents.
#define GetPrivateProfileStringA VelorGetPrivateProfileStringA
#endif
// Copies the value of key in [section] of the INI file (a Windows path; code
// page 932 content, lines ended by CR LF or LF) into buffer of size bytes,
// blanks around it and one pair of enclosing quotes removed. Section and key
// names match without regard to case; lines beginning with ';' are comments;
// the first section and key of a name count. When the file, section or key
// is missing, default_value (null: "") is copied instead. Returns the length
// copied; a longer value is cut to size - 1 bytes at a whole character.
// section and key must not be null (0 and an empty buffer otherwise).
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_value,
                               LPSTR buffer, DWORD size, LPCSTR file);
