// Locks between runs of the program, on Windows paths in code page 932
// reached through the drive map.
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
