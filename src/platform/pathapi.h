// Path tests and root handling of the shell's path library, under the Win32
// names. Paths are Windows paths in code page 932 ("C:\dir\file",
// "\\server\share\dir"); those that touch the disk reach it through the
// drive map. They are the project's own on every platform (the shell's
// library is not used). Every search for '\\' or ':' is multibyte-aware.
#pragma once
#include "wintypes.h"

// TRUE when path names an existing file or folder.
BOOL PathFileExistsA(LPCSTR path);
// TRUE (a non-zero value) when path names an existing folder; a share root
// "\\server\share" counts when its share folder exists.
BOOL PathIsDirectoryA(LPCSTR path);
// Pointer just past the root of path: after "X:\" or after
// "\\server\share\"; null for any other path (also "X:dir", a relative path
// and a share without a backslash after its name).
LPSTR PathSkipRootA(LPCSTR path);
// Cuts path in place down to its root: "X:\", "\\server\share", "\\server"
// or "\". FALSE (path unchanged) when it has none.
BOOL PathStripToRootA(LPSTR path);
