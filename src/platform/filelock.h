// Locks between runs of the program, on Windows paths in code page 932
// reached through the drive map, and the removal of the temporary files that
// a killed run leaves behind them.
#pragma once
#include <memory>

#include "fs.h"

// Locks the folder of path (the text up to its last backslash; the current
// folder when there is none) against other holders (see Fs::LockFolder),
// waiting up to timeout_ms. The error when it cannot be had.
FsError LockFolderOf(const char* path, int timeout_ms, std::unique_ptr<FsLock>* lock);
// Locks the file path exclusively (see Fs::LockFile: created empty when
// missing), waiting up to timeout_ms. The error when it cannot be had.
FsError LockFileByName(const char* path, int timeout_ms, std::unique_ptr<FsLock>* lock);
// Removes from folder (ending in a backslash) the files that
// GetTempFileNameA makes with prefix: its first three bytes, one to four
// hexadecimal digits, ".TMP". Requires a lock that keeps their writers out.
void RemoveStaleTempFileNames(const char* folder, const char* prefix);
