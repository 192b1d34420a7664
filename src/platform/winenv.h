// Environment variables, under the Win32 name.
#pragma once
#include "wintypes.h"

#ifndef _WIN32
// Copies the value of the variable name (bytes as the environment holds them,
// UTF-8 here) into buffer and returns its length without the NUL. Returns 0
// when the variable is not set, and the size needed (with the NUL) when
// buffer holds fewer than that many bytes, leaving buffer unchanged.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
#endif
