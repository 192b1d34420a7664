// The file system as the system reaches it: one interface for opening,
// reading, writing, flushing and closing files, their status, removal,
// renaming, folders and locks. Paths are native paths (UTF-8 here); the
// Windows-named calls of the platform layer map their paths and come here.
// Fs::Default() is the operating system's; tests put another in its place
// with ScopedFs. Results are FsError values, never operating-system codes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Why a file-system call failed.
enum class FsError {
  kNone = 0,      // done
  kNotFound,      // the path or a folder on it does not exist
  kExists,        // something of that name exists already
  kAccessDenied,  // the permissions or a read-only medium refuse it
  kDiskFull,      // no room left on the medium (or the quota is used up)
  kIoError,       // the medium failed to read or write
  kBusy,          // locked by another holder
  kNotRegular,    // not a regular file (a folder, a device, a pipe)
  kTooLong,       // the path or a name on it is too long
  kTooLarge,      // the file is larger than the program reads
  kOther,         // any other failure
};

// A short English reason for error (UTF-8, never null), for messages.
const char* FsErrorText(FsError error);

class Fs;
// Creates the native folder and the missing folders above it through fs.
// kNone when it is a folder afterwards, else the error of the level that
// failed (the levels made before it stay). *made, when given, receives the
// folders created, the outermost first.
FsError CreateNativeFolders(Fs* fs, const std::string& native, std::vector<std::string>* made = nullptr);

// How Fs::Open opens a file.
enum class FsOpen {
  kRead,           // an existing regular file, for reading
  kReadWrite,      // an existing file, or a new one, for reading and writing
  kWriteNew,       // a new file; an existing name is refused (kExists)
  kWriteTruncate,  // a new file, or an existing one emptied
  kAppend,         // a new file, or an existing one written at its end
};

// What Fs::Stat reports about a path.
struct FsStat {
  bool regular = false;   // a regular file
  bool folder = false;    // a folder
  bool symlink = false;   // the name itself is a symbolic link
  bool writable = false;  // the caller may write it (a file with no write
                          // permission at all counts as read-only)
  uint64_t size = 0;      // bytes of a regular file
  uint64_t modified = 0;  // last change of its data, in 100 ns units; later is larger
};

// An open file. Destroying it closes it, ignoring any failure.
class FsFile {
 public:
  virtual ~FsFile() = default;
  // Reads up to n bytes at the current position into buffer; *got receives
  // how many (0 at the end).
  virtual FsError Read(void* buffer, size_t n, size_t* got) = 0;
  // Reads up to n bytes at offset without moving the position.
  virtual FsError ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) = 0;
  // Writes all n bytes at the current position (at the end for kAppend).
  virtual FsError Write(const void* buffer, size_t n) = 0;
  // Writes all n bytes at offset without moving the position.
  virtual FsError WriteAt(uint64_t offset, const void* buffer, size_t n) = 0;
  // Cuts or extends the file to size bytes.
  virtual FsError Truncate(uint64_t size) = 0;
  // The file's length in *size.
  virtual FsError Size(uint64_t* size) = 0;
  // Makes everything written durable on the medium.
  virtual FsError Sync() = 0;
  // Takes (exclusive or shared) or gives up (unlock) a lock of the byte
  // range [start, start+length), without waiting: kBusy when another open
  // file holds a conflicting lock. Locks of one open file never conflict.
  enum class Lock { kShared, kExclusive, kUnlock };
  virtual FsError LockRange(uint64_t start, uint64_t length, Lock lock) = 0;
  // Closes the file; further calls fail. Reports a failure of the close.
  virtual FsError Close() = 0;
};

// A held lock; destroying it releases it.
class FsLock {
 public:
  virtual ~FsLock() = default;
};

class Fs {
 public:
  virtual ~Fs() = default;

  // The file system in use: the innermost ScopedFs, else the operating
  // system's. Never null.
  static Fs* Default();
  // The operating system's file system. Never null.
  static Fs* System();
  // The error of the last failed call of the platform layer's Windows-named
  // file calls on this thread (like the last-error value of Win32).
  static FsError LastError();
  // Records error as the last error of this thread.
  static void SetLastError(FsError error);

  // Opens path with mode into *file (null on failure). kRead refuses what is
  // not a regular file (kNotRegular).
  virtual FsError Open(const std::string& path, FsOpen mode, std::unique_ptr<FsFile>* file) = 0;
  // The status of path in *stat. A symbolic link is followed when follow is
  // true (symlink still tells that the name is one), else reported as
  // itself. kNotFound when nothing has that name (or the link's target).
  virtual FsError Stat(const std::string& path, bool follow, FsStat* stat) = 0;
  // Removes the file or symbolic link path (never a folder: kNotRegular).
  virtual FsError Remove(const std::string& path) = 0;
  // Gives the file to the permissions of the file from (which a new file
  // replacing from keeps). Nothing to do where files carry none (Windows).
  virtual FsError CopyMode(const std::string& from, const std::string& to) = 0;
  // Renames from to to in one step, replacing a file or symbolic link at to
  // (the link itself, never its target).
  virtual FsError Rename(const std::string& from, const std::string& to) = 0;
  // Makes the names in folder (created, renamed, removed) durable.
  virtual FsError SyncFolder(const std::string& folder) = 0;
  // Creates the folder path; its parent must exist.
  virtual FsError CreateFolder(const std::string& path) = 0;
  // Removes the empty folder path.
  virtual FsError RemoveFolder(const std::string& path) = 0;
  // The names in folder (without "." and "..") in *names, in no order.
  virtual FsError ListFolder(const std::string& folder, std::vector<std::string>* names) = 0;
  // Locks the folder exclusively against every other holder of a folder
  // lock on it, waiting up to timeout_ms milliseconds (kBusy after that).
  // The lock leaves nothing in the folder.
  virtual FsError LockFolder(const std::string& folder, int timeout_ms,
                             std::unique_ptr<FsLock>* lock) = 0;
  // Locks the file path exclusively, creating it empty when it is missing,
  // waiting up to timeout_ms milliseconds (kBusy after that). The lock holds
  // the name: a file renamed over path while waiting is locked instead.
  virtual FsError LockFile(const std::string& path, int timeout_ms,
                           std::unique_ptr<FsLock>* lock) = 0;
  // The type of the drive or share whose root is the Windows path root
  // (code page 932: "X:\", "X:" or "\\server\share", a final backslash
  // allowed; null: the current folder's), as GetDriveTypeA reports it
  // (DRIVE_*); DRIVE_NO_ROOT_DIR (1) when there is none or root is no root.
  virtual unsigned DriveType(const char* root) = 0;
};

// Makes fs the file system of Fs::Default() while it lives; the previous one
// comes back when it is destroyed. Requires fs to outlive it.
class ScopedFs {
 public:
  explicit ScopedFs(Fs* fs);
  ~ScopedFs();
  ScopedFs(const ScopedFs&) = delete;
  ScopedFs& operator=(const ScopedFs&) = delete;

 private:
  Fs* previous_;
};
