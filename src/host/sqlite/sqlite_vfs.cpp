#include "sqlite_vfs.h"

#include <sqlite3.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "drivemap.h"
#include "fs.h"

namespace {

// The lock bytes every SQLite program uses, so that locks agree with theirs.
constexpr uint64_t kPendingByte = 0x40000000;
constexpr uint64_t kReservedByte = kPendingByte + 1;
constexpr uint64_t kSharedFirst = kPendingByte + 2;
constexpr uint64_t kSharedSize = 510;

using Lock = FsFile::Lock;

// One open file of the VFS. SQLite gives the memory; the object is built in
// place by Open and destroyed by Close.
struct VfsFile {
  sqlite3_file base;  // first: SQLite sees the object through it
  std::unique_ptr<FsFile> file;
  std::string path;
  bool deleteOnClose = false;
  int level = SQLITE_LOCK_NONE;
};

VfsFile* Of(sqlite3_file* file) { return reinterpret_cast<VfsFile*>(file); }

sqlite3_vfs* g_system = nullptr;  // the default VFS, for names, time and temp files

int IoError(FsError error, int code) {
  if (error == FsError::kDiskFull) return SQLITE_FULL;
  if (error == FsError::kBusy) return SQLITE_BUSY;
  return code;
}

int Close(sqlite3_file* file) {
  VfsFile* f = Of(file);
  FsError error = f->file != nullptr ? f->file->Close() : FsError::kNone;
  if (f->deleteOnClose) Fs::Default()->Remove(f->path);
  f->~VfsFile();
  return error == FsError::kNone ? SQLITE_OK : SQLITE_IOERR_CLOSE;
}

int Read(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
  size_t got = 0;
  FsError error = Of(file)->file->ReadAt(static_cast<uint64_t>(offset), buffer,
                                         static_cast<size_t>(amount), &got);
  if (error != FsError::kNone) return IoError(error, SQLITE_IOERR_READ);
  if (got < static_cast<size_t>(amount)) {
    // SQLite requires the rest zeroed on a short read.
    std::memset(static_cast<char*>(buffer) + got, 0, static_cast<size_t>(amount) - got);
    return SQLITE_IOERR_SHORT_READ;
  }
  return SQLITE_OK;
}

int Write(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
  FsError error = Of(file)->file->WriteAt(static_cast<uint64_t>(offset), buffer,
                                          static_cast<size_t>(amount));
  return error == FsError::kNone ? SQLITE_OK : IoError(error, SQLITE_IOERR_WRITE);
}

int Truncate(sqlite3_file* file, sqlite3_int64 size) {
  FsError error = Of(file)->file->Truncate(static_cast<uint64_t>(size));
  return error == FsError::kNone ? SQLITE_OK : IoError(error, SQLITE_IOERR_TRUNCATE);
}

int Sync(sqlite3_file* file, int) {
  FsError error = Of(file)->file->Sync();
  return error == FsError::kNone ? SQLITE_OK : IoError(error, SQLITE_IOERR_FSYNC);
}

int FileSize(sqlite3_file* file, sqlite3_int64* size) {
  uint64_t bytes = 0;
  FsError error = Of(file)->file->Size(&bytes);
  *size = static_cast<sqlite3_int64>(bytes);
  return error == FsError::kNone ? SQLITE_OK : IoError(error, SQLITE_IOERR_FSTAT);
}

// The result of a lock step: busy, or an I/O error of locking.
int LockResult(FsError error) {
  if (error == FsError::kNone) return SQLITE_OK;
  return error == FsError::kBusy ? SQLITE_BUSY : SQLITE_IOERR_LOCK;
}

// SQLite's locking levels over the lock bytes: SHARED reads the shared
// range, RESERVED holds the reserved byte, PENDING the pending byte, and
// EXCLUSIVE writes the whole shared range.
int LockFile(sqlite3_file* file, int level) {
  VfsFile* f = Of(file);
  if (f->level >= level) return SQLITE_OK;
  FsFile* fs = f->file.get();
  if (level == SQLITE_LOCK_SHARED) {
    // The pending byte held for reading bars new readers while a writer waits.
    FsError error = fs->LockRange(kPendingByte, 1, Lock::kShared);
    if (error == FsError::kNone) {
      error = fs->LockRange(kSharedFirst, kSharedSize, Lock::kShared);
      fs->LockRange(kPendingByte, 1, Lock::kUnlock);
    }
    if (error == FsError::kNone) f->level = SQLITE_LOCK_SHARED;
    return LockResult(error);
  }
  if (level == SQLITE_LOCK_RESERVED) {
    FsError error = fs->LockRange(kReservedByte, 1, Lock::kExclusive);
    if (error == FsError::kNone) f->level = SQLITE_LOCK_RESERVED;
    return LockResult(error);
  }
  // PENDING on the way to EXCLUSIVE.
  if (f->level < SQLITE_LOCK_PENDING) {
    FsError error = fs->LockRange(kPendingByte, 1, Lock::kExclusive);
    if (error != FsError::kNone) return LockResult(error);
    f->level = SQLITE_LOCK_PENDING;
  }
  if (level == SQLITE_LOCK_EXCLUSIVE) {
    FsError error = fs->LockRange(kSharedFirst, kSharedSize, Lock::kExclusive);
    if (error != FsError::kNone) return LockResult(error);
    f->level = SQLITE_LOCK_EXCLUSIVE;
  }
  return SQLITE_OK;
}

int UnlockFile(sqlite3_file* file, int level) {
  VfsFile* f = Of(file);
  if (f->level <= level) return SQLITE_OK;
  FsFile* fs = f->file.get();
  FsError error = FsError::kNone;
  if (level == SQLITE_LOCK_SHARED) {
    if (f->level == SQLITE_LOCK_EXCLUSIVE) error = fs->LockRange(kSharedFirst, kSharedSize, Lock::kShared);
    if (error == FsError::kNone) fs->LockRange(kPendingByte, 2, Lock::kUnlock);  // pending and reserved
  } else {
    error = fs->LockRange(kPendingByte, 2 + kSharedSize, Lock::kUnlock);
  }
  // A lock that cannot be lowered is still held as it was (a failed change
  // keeps the old lock, or takes it back), which keeps the store safe: other
  // processes wait until it goes with the file. It is no failure of the
  // store's data, so SQLite is not told of one: a commit that has ended is
  // reported as done, not as failed.
  if (error == FsError::kNone) f->level = level;
  return SQLITE_OK;
}

int CheckReservedLock(sqlite3_file* file, int* reserved) {
  VfsFile* f = Of(file);
  *reserved = 0;
  if (f->level >= SQLITE_LOCK_RESERVED) {
    *reserved = 1;
    return SQLITE_OK;
  }
  FsError error = f->file->LockRange(kReservedByte, 1, Lock::kShared);
  if (error == FsError::kBusy) {
    *reserved = 1;
    return SQLITE_OK;
  }
  if (error != FsError::kNone) return SQLITE_IOERR_CHECKRESERVEDLOCK;
  f->file->LockRange(kReservedByte, 1, Lock::kUnlock);
  return SQLITE_OK;
}

int FileControl(sqlite3_file*, int, void*) { return SQLITE_NOTFOUND; }

int SectorSize(sqlite3_file*) { return 4096; }

int DeviceCharacteristics(sqlite3_file*) { return 0; }

const sqlite3_io_methods kMethods = {
    1, Close, Read, Write, Truncate, Sync, FileSize, LockFile, UnlockFile, CheckReservedLock,
    FileControl, SectorSize, DeviceCharacteristics,
    nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int Open(sqlite3_vfs* vfs, sqlite3_filename name, sqlite3_file* file, int flags, int* out_flags) {
  file->pMethods = nullptr;
  // Nameless temporary files (sorting, temporary tables) stay with the
  // default VFS; they hold no store data.
  if (name == nullptr) return g_system->xOpen(g_system, name, file, flags, out_flags);
  Fs* fs = Fs::Default();
  FsStat st;
  FsError found = fs->Stat(name, true, &st);
  if ((flags & SQLITE_OPEN_EXCLUSIVE) != 0 && found == FsError::kNone) return SQLITE_CANTOPEN;
  if ((flags & SQLITE_OPEN_CREATE) == 0 && found != FsError::kNone) return SQLITE_CANTOPEN;
  bool readonly = (flags & SQLITE_OPEN_READONLY) != 0;
  std::unique_ptr<FsFile> opened;
  FsError error = fs->Open(name, readonly ? FsOpen::kRead : FsOpen::kReadWrite, &opened);
  if (error != FsError::kNone) return SQLITE_CANTOPEN;
  auto* f = new (file) VfsFile;
  f->file = std::move(opened);
  f->path = name;
  f->deleteOnClose = (flags & SQLITE_OPEN_DELETEONCLOSE) != 0;
  f->base.pMethods = &kMethods;
  if (out_flags != nullptr) *out_flags = flags;
  (void)vfs;
  return SQLITE_OK;
}

int Delete(sqlite3_vfs*, const char* name, int sync_folder) {
  Fs* fs = Fs::Default();
  FsError error = fs->Remove(name);
  if (error == FsError::kNotFound) return SQLITE_IOERR_DELETE_NOENT;
  if (error != FsError::kNone) return SQLITE_IOERR_DELETE;
  if (sync_folder != 0 && fs->SyncFolder(NativeParentOf(name)) != FsError::kNone) {
    return SQLITE_IOERR_DIR_FSYNC;
  }
  return SQLITE_OK;
}

int Access(sqlite3_vfs*, const char* name, int what, int* result) {
  FsStat st;
  FsError error = Fs::Default()->Stat(name, true, &st);
  if (error != FsError::kNone && error != FsError::kNotFound) return SQLITE_IOERR_ACCESS;
  bool exists = error == FsError::kNone;
  *result = what == SQLITE_ACCESS_READWRITE ? exists && st.writable : exists;
  return SQLITE_OK;
}

int FullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
  return g_system->xFullPathname(g_system, name, size, out);
}
void* DlOpen(sqlite3_vfs*, const char* name) { return g_system->xDlOpen(g_system, name); }
void DlError(sqlite3_vfs*, int size, char* out) { g_system->xDlError(g_system, size, out); }
void (*DlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
  return g_system->xDlSym(g_system, handle, symbol);
}
void DlClose(sqlite3_vfs*, void* handle) { g_system->xDlClose(g_system, handle); }
int Randomness(sqlite3_vfs*, int size, char* out) { return g_system->xRandomness(g_system, size, out); }
int Sleep(sqlite3_vfs*, int microseconds) { return g_system->xSleep(g_system, microseconds); }
int CurrentTime(sqlite3_vfs*, double* now) { return g_system->xCurrentTime(g_system, now); }
int GetLastError(sqlite3_vfs*, int size, char* out) {
  return g_system->xGetLastError != nullptr ? g_system->xGetLastError(g_system, size, out) : 0;
}
int CurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
  return g_system->xCurrentTimeInt64(g_system, now);
}

const char kVfsName[] = "velor";

}  // namespace

const char* HostVfsName() {
  static std::once_flag registered;
  static sqlite3_vfs vfs;
  std::call_once(registered, [] {
    g_system = sqlite3_vfs_find(nullptr);
    vfs.iVersion = 2;
    vfs.szOsFile = static_cast<int>(sizeof(VfsFile)) > g_system->szOsFile ? static_cast<int>(sizeof(VfsFile))
                                                                           : g_system->szOsFile;
    vfs.mxPathname = g_system->mxPathname;
    vfs.zName = kVfsName;
    vfs.xOpen = Open;
    vfs.xDelete = Delete;
    vfs.xAccess = Access;
    vfs.xFullPathname = FullPathname;
    vfs.xDlOpen = DlOpen;
    vfs.xDlError = DlError;
    vfs.xDlSym = DlSym;
    vfs.xDlClose = DlClose;
    vfs.xRandomness = Randomness;
    vfs.xSleep = Sleep;
    vfs.xCurrentTime = CurrentTime;
    vfs.xGetLastError = GetLastError;
    vfs.xCurrentTimeInt64 = g_system->iVersion >= 2 && g_system->xCurrentTimeInt64 != nullptr
                                ? CurrentTimeInt64
                                : nullptr;
    sqlite3_vfs_register(&vfs, 0);
  });
  return kVfsName;
}
