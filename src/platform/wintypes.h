// Basic Windows types and constants, as the rest of the system names them.
// A Windows build takes them from <windows.h>; here they are defined to the
// same sizes (LONG and DWORD are 32 bits, as on Windows).
#pragma once
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// <windows.h> names its calls' code-page forms by macros (MessageBox for
// MessageBoxA) that would rename the framework classes' own members.
#undef MessageBox
#undef SendMessage
#undef SetWindowText
#undef GetWindowText
#undef GetFileTitle
#undef DrawText
#undef LoadString
#undef CreateDialog
#undef GetObject
#else
#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef unsigned int UINT;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef struct HWND__* HWND;  // an opaque window handle; null means no owner

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define MAX_PATH 260

// A currency value: the amount times 10,000 in a signed 64-bit integer.
typedef struct tagCY {
  LONGLONG int64;
} CY;
#endif

#include <cstddef>
// Size of a path buffer: MAX_PATH bytes and the terminator.
constexpr std::size_t kPathBufferSize = MAX_PATH + 1;
