// The drive map: how the Windows paths the system works with (code page 932,
// drive letters, backslashes, \\server\share roots) reach native files.
// VELOR_DRIVES lists the entries, separated by ';': "X:=/native/folder" with
// an optional "@fixed", "@removable", "@remote", "@cdrom" or "@ramdisk" after
// the folder (fixed when absent), or "\\server\share=/native/folder". Z: is
// "Z:=/" (the whole native file system) unless an entry assigns Z: itself.
// Letters, server and share names are matched without regard to case; the
// first entry for a root wins. Native names are UTF-8. The map follows the
// variable's current value.
// Under Windows there is no map (VELOR_DRIVES means nothing there): a Windows
// path is its own native path, converted from code page 932 to UTF-8, and
// drive types and shares are the real ones.
#pragma once
#include <string>

#include "wintypes.h"

#ifdef _WIN32
// The system's code page 932 paths go through the project's own call.
#define GetDriveTypeA VelorGetDriveTypeA
#else
// Drive types, as GetDriveTypeA returns them.
#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

// The type of the drive whose root is "X:\" (or "X:"), or of the share whose
// root is "\\server\share" (with or without the final backslash): the type of
// its map entry (DRIVE_REMOTE for shares), DRIVE_NO_ROOT_DIR when the map has
// no entry for it or root is not a root. Null asks for the current folder's.
UINT DriveMapTypeOf(LPCSTR root);
#endif

// The type of the drive or share of root as the file system in use reports
// it (Fs::DriveType): "X:\" or "\\server\share"; null for the current folder's.
UINT GetDriveTypeA(LPCSTR root);

// Turns the Windows path (NUL-terminated code page 932) into the native path
// *native. A drive path "X:\a\b" or a UNC path "\\s\share\a" goes below its
// entry's folder, with "." and ".." resolved so that it never leaves that
// folder; "\a" is taken on the drive of the current folder; a relative path
// stays relative with '\' turned into '/'. False when the root has no entry
// or the path is not valid code page 932 (such a path cannot be opened).
bool DriveMapToNative(const char* windows, std::string* native);

// Turns the native absolute path (UTF-8) into its Windows form *windows
// (code page 932) through the entry whose folder is the longest that contains
// it. False when no entry contains it or it has no code page 932 form.
bool DriveMapToWindows(const std::string& native, std::string* windows);

// Checks the entries of VELOR_DRIVES: true when every one is well formed and
// maps a root that no earlier entry maps (an unset variable passes); else
// false with *entry the first bad entry and *problem (UTF-8) saying why.
bool DriveMapCheck(std::string* entry, std::string* problem);
// True where Windows paths go through the drive map (natively); false under
// Windows.
bool DriveMapInUse();
// The roots the drive map holds, in its order ("C:, Z:, \\\\srv\\share",
// UTF-8); empty under Windows.
std::string DriveMapRoots();
// The native folder that holds the native path native: "." for a bare name,
// "/" for a name at the top.
std::string NativeParentOf(const std::string& native);
// The native folder that holds the file of the Windows path (its text up to
// the last backslash, never a trail byte; the current folder when there is
// none) in *folder. False when it cannot be mapped.
bool DriveMapFolderOf(const char* windows, std::string* folder);

#ifndef _WIN32
// The native folder of the share entry for the UNC root "\\server\share"
// (code page 932, a final backslash allowed). False when there is none.
bool DriveMapFindShare(const char* root, std::string* native);
#endif
