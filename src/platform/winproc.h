// Process creation under the Win32 names. The program that is started is
// named in Windows form and reached through the drive map; the text viewer
// (a program named "Notepad.exe") is replaced on this platform: by the
// command in VELOR_VIEWER (its words, no shell), else by xdg-open when the
// front end is on a desktop; either is given a UTF-8 copy of each file (in a
// private temporary folder, under the file's own name), as native viewers
// read UTF-8. When neither is there or it cannot be started, the front end
// shows the file's text itself (FrontEnd::ShowTextFile).
#pragma once
#include "winframe.h"
#include "wintypes.h"

#ifdef _WIN32
// Started through the wide API with the command line converted from code
// page 932; the text viewer is the real Notepad.
#define CreateProcessA VelorCreateProcessA
#else
typedef void* HANDLE;
typedef void* LPVOID;

#define CREATE_NEW_CONSOLE 0x00000010u
#define STARTF_USESHOWWINDOW 0x00000001u
#define SW_SHOWNORMAL 1

struct SECURITY_ATTRIBUTES;

// How a started process's window appears.
struct STARTUPINFOA {
  DWORD cb;
  DWORD dwFlags;      // STARTF_USESHOWWINDOW: wShowWindow applies
  WORD wShowWindow;   // SW_SHOWNORMAL
};

// What CreateProcessA gives back; close both handles with CloseHandle.
struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
#endif

// Starts the program of command_line (its first word, quoted or not; or
// application when given) with the rest as arguments, in current_dir
// (Windows form; null: the current directory). Does not wait for it.
// Returns TRUE and fills *info, or FALSE when it cannot be started.
BOOL CreateProcessA(LPCSTR application, LPSTR command_line, SECURITY_ATTRIBUTES* process_attr,
                    SECURITY_ATTRIBUTES* thread_attr, BOOL inherit_handles, DWORD flags,
                    LPVOID environment, LPCSTR current_dir, STARTUPINFOA* startup,
                    PROCESS_INFORMATION* info);
#ifndef _WIN32
// Releases a handle from CreateProcessA; TRUE when it was one.
BOOL CloseHandle(HANDLE handle);
#endif

// Turns the viewer off (false) or on for the process: while off,
// CreateProcessA of the text viewer starts nothing and returns TRUE.
void SetTextViewerEnabled(bool enabled);
