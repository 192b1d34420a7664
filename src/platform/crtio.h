// File and folder calls of the C runtime, under their runtime names. Paths
// are Windows paths in code page 932, reached through the drive map.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <stdlib.h>
// The runtime's own forms take paths in the ANSI code page and split without
// regard to code page 932; the system's calls go to the project's own.
#define _access VelorAccess
#define _splitpath VelorSplitPath
#define _getcwd VelorGetCwd
#define _chdir VelorChdir
// The runtime's _isatty is true of every character device, the empty device
// NUL among them; a terminal is a console.
#define _isatty VelorIsatty
#else
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256
#endif

// 0 when path exists and allows mode: 0 existence only, 2 writing, 4
// reading, 6 both; -1 otherwise (also for any other mode). As on Windows, a
// folder is tested for existence whatever the mode, and a file refuses
// writing only when it is read-only. A share root "\\server\share" is
// tested on its share folder.
int _access(const char* path, int mode);
// Splits path into drive ("X:"), directory (up to and including the last '\\'
// or '/'), file name and extension (from the last '.' of the name on), as
// the runtime does under code page 932: a trail byte 0x5C is no separator.
// Any output may be null; the others take _MAX_DRIVE, _MAX_DIR, _MAX_FNAME
// and _MAX_EXT bytes. A part that does not fit empties every output.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
// Writes the current folder in Windows form (no closing backslash except
// after a drive) into buffer of size bytes; returns buffer, or null when it
// does not fit or has no Windows form.
char* _getcwd(char* buffer, int size);
// Makes the Windows path the current folder; 0 on success, -1 otherwise.
int _chdir(const char* path);
// Non-zero when the file descriptor fd is a terminal (on Windows a console).
int _isatty(int fd);
#ifndef _WIN32
// The file descriptor of stream.
int _fileno(FILE* stream);
#endif

// The native path (UTF-8) native made absolute against the current folder;
// native itself when it is absolute or the current folder cannot be read.
std::string NativeAbsolutePath(const std::string& native);
// Reads the whole file at the native path (UTF-8 here) into *bytes; false
// (the reason in Fs::LastError()) when it cannot be read.
bool ReadNativeFile(const char* native, std::string* bytes);
// Whether ReplaceNativeFile may put a file at the native path: its folder
// exists and may be written, and the path is no folder. False with a
// one-line reason (UTF-8) in *why otherwise; nothing is created.
bool NativeFileReplaceable(const char* native, std::string* why);
// Puts bytes in place as the file at the native path in one step, as
// ReplaceWholeFile (filecommit.h) does. False with a one-line reason (UTF-8)
// in *why when that failed; then the file at native is as it was.
bool ReplaceNativeFile(const char* native, const std::string& bytes, std::string* why);
