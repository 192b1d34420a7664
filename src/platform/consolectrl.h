// The console's Ctrl-C under the Win32 names.
#pragma once
#include "wintypes.h"

#ifndef _WIN32
#define CTRL_C_EVENT 0u

// A console control handler: gets the event and returns TRUE when it has
// handled it. Here it runs inside a signal handler, so it may only set a flag.
typedef BOOL (*PHANDLER_ROUTINE)(DWORD ctrl_type);

// add TRUE: handler takes Ctrl-C (SIGINT) in place of ending the process;
// add FALSE: handler is removed and Ctrl-C ends the process again. One
// handler at a time here. FALSE when it could not be done.
BOOL SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
#endif
