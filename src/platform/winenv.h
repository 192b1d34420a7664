// Environment variables, under the Win32 name.
#pragma once
#include "wintypes.h"

#ifdef _WIN32
#define GetEnvironmentVariableA VelorGetEnvironmentVariableA
#endif
// Copies the value of the variable name (UTF-8; under Windows converted from
// the wide environment) into buffer and returns its length without the NUL. Returns 0
// when the variable is not set, and the size needed (with the NUL) when
// buffer holds fewer than that many bytes, leaving buffer unchanged.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
