// The SQLite file layer of the host store: a VFS that reaches the disk
// through the platform's file system (Fs::Default()), so that tests can make
// store reads and writes fail on purpose.
#pragma once

// The name of the VFS to give sqlite3_open_v2; it is registered on the
// first call. Never null.
const char* HostVfsName();
