// Path functions of the condition dialog and the settings file: character
// rules, splitting into folder and file, closing a folder with a backslash,
// the drive check, and the creation of missing folders with its rollback.
// Paths are Windows paths in code page 932; every search in them is
// multibyte-aware, so a trail byte 0x5C is never taken for a backslash.
#pragma once
#include <cstddef>
#include <string>

#include "wintypes.h"

// kPathBufferSize (wintypes.h) is the size of every path buffer here.

// FALSE when path holds two consecutive backslashes (for a "\\" network path:
// from its fourth character on), a control character (0x01 to 0x1F, 0x7F)
// anywhere, or, after its drive or server part, a refused character (/ : , ;
// * ? " > < |) anywhere but in the first position.
BOOL CheckPathChars(const char* path);
// TRUE when a folder or the file of path (after its drive or server part)
// is a device name of Windows: CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to
// LPT9, CONIN$ or CONOUT$, in any letter case, alone or before a dot, with
// or without spaces after it.
BOOL HasDeviceName(const char* path);
// The text of path up to and including its last backslash; "" when none.
std::string GetFolderPart(const char* path);
// The text of path after its last backslash; the whole path when none.
std::string GetFilePart(const char* path);
// TRUE when byte index of text (scanned from its start) is the lead or the
// trail byte of a double-byte character; FALSE past the end.
BOOL IsDbcsPosition(const char* text, size_t index);
// Makes text (a buffer of capacity bytes) end in a backslash: TRUE when it
// already does, or when one was appended; FALSE for an empty text, a text
// ending in a lead byte without its trail byte, or when there is no room.
BOOL AddBackslash(char* text, size_t capacity);
// Replaces path by its drive and directory, ended by a backslash. FALSE for
// an empty path or an empty drive and directory.
BOOL GetDirPart(char* path);
// Closes path (a buffer of kPathBufferSize bytes) with a backslash: TRUE when
// it ends in one afterwards; FALSE for an empty path or one of 260 bytes or
// more that does not end in one.
BOOL ClosePath(char* path);
// TRUE when the drive or share of path may be written to: a "\\server\share"
// root must be readable and writable; a drive letter's root is judged by its
// drive type (unknown, CD-ROM and RAM disks refused; removable, fixed and
// remote drives must be readable and writable; drives without root pass).
BOOL CheckDrive(const char* path);
// Creates every missing level of the folder of path (path up to its last
// backslash), upper levels first. TRUE when all exist afterwards; FALSE, with
// the levels it created removed again, when one cannot be created.
BOOL CreateFolders(const char* path);
// Removes, deepest first, the folders between the level failed (included) and
// existing, the deepest folder that existed before; neither existing nor any
// folder above it is touched. FALSE when the two do not share root and upper
// levels, or a removal fails.
BOOL RemoveCreatedFolders(const char* failed, const char* existing);
