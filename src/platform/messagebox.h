// Message boxes under the Win32 name. The box is shown by the front end in
// use (console, desktop, or a scripted one in tests).
#pragma once
#include "wintypes.h"

#ifdef _WIN32
// The box goes to the front end in use here too.
#define MessageBoxA VelorMessageBoxA
#else
#define MB_OK 0x00000000u
#define MB_YESNO 0x00000004u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONINFORMATION 0x00000040u
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
#endif

// Shows text (code page 932) under caption with the buttons and icon of
// type, owned by owner (null: none); returns the button chosen (IDOK, IDYES,
// IDNO).
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
