// File and folder calls of Win32 and the login name, under the Win32 names.
// Paths are Windows paths in code page 932, reached through the drive map.
#pragma once
#include "wintypes.h"

#ifdef _WIN32
// The system's paths are code page 932 whatever the process's code page: its
// calls go to the project's own, which convert and call the wide API.
#define CreateDirectoryA VelorCreateDirectoryA
#define RemoveDirectoryA VelorRemoveDirectoryA
#define DeleteFileA VelorDeleteFileA
#define MoveFileExA VelorMoveFileExA
#define GetTempFileNameA VelorGetTempFileNameA
#define GetModuleFileNameA VelorGetModuleFileNameA
#define GetTempPathA VelorGetTempPathA
#define GetWindowsDirectoryA VelorGetWindowsDirectoryA
#define GetUserNameA VelorGetUserNameA
#else
typedef struct _SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;  // ignored here
typedef struct HINSTANCE__* HMODULE;                         // null: the program

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_WRITE_THROUGH 0x00000008u
#endif

// Creates the folder path (its parent must exist). FALSE when it cannot be
// made, also when something of that name exists.
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES security);
// Removes the empty folder path. FALSE when it is not an empty folder or
// cannot be removed.
BOOL RemoveDirectoryA(LPCSTR path);
// Deletes the file path. FALSE when it is no file or cannot be deleted.
BOOL DeleteFileA(LPCSTR path);
// Renames the file from to to, in one step. An existing to is replaced only
// with MOVEFILE_REPLACE_EXISTING; MOVEFILE_WRITE_THROUGH also makes the new
// name durable before returning. FALSE when it was not done.
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
// Forms path\<first 3 bytes of prefix><hex number>.TMP in file (MAX_PATH
// bytes). With unique 0 it picks a number whose file does not exist and
// creates that file empty; otherwise it only forms the name with unique.
// Returns the number used; 0 when path is no folder or no file was made.
UINT GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR file);
// Writes the program's own path in Windows form into buffer (size bytes).
// Returns its length; size (with the text cut) when it does not fit; 0 when
// it has no Windows form or module is not null.
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
// Writes the Windows form of the temporary folder (TMPDIR, else /tmp), ended
// by a backslash, into buffer. Returns its length; the size needed (with
// the NUL) when size is too small; 0 when it has no Windows form.
DWORD GetTempPathA(DWORD size, LPSTR buffer);
// Writes the Windows folder into buffer: "C:\Windows" when the drive map has
// drive C: and that folder exists there. Returns its length; the size needed
// (with the NUL) when size is too small; 0 when there is none.
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
// Writes the login name (code page 932) into buffer; *size takes the buffer's
// size and receives the length with the NUL. FALSE (*size: the size needed)
// when it does not fit or the name cannot be found.
BOOL GetUserNameA(LPSTR buffer, DWORD* size);
