#include "fs.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "codepage.h"
#include "win32/wide.h"

namespace {

// The wide form of a native (UTF-8) path; false when it is not UTF-8.
bool WidePath(const std::string& path, std::wstring* wide) {
  return !path.empty() && Utf8ToWide(path, wide);
}

// Waits between two attempts at a lock.
void PauseForLock() { Sleep(20); }

OVERLAPPED At(uint64_t offset) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return at;
}

// The most bytes one ReadFile or WriteFile call moves.
constexpr size_t kChunk = 1u << 30;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

class WinFile : public FsFile {
 public:
  // wide is the file's path; read_only when handle may only read.
  WinFile(HANDLE handle, std::wstring wide, bool read_only)
      : handle_(handle), wide_(std::move(wide)), read_only_(read_only) {}
  ~WinFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  FsError Read(void* buffer, size_t n, size_t* got) override {
    *got = 0;
    FsError error = Resume();
    if (error != FsError::kNone) return error;
    DWORD read = 0;
    if (!ReadFile(handle_, buffer, static_cast<DWORD>(std::min(n, kChunk)), &read, nullptr)) return LastFsError();
    *got = read;
    position_ += read;
    return FsError::kNone;
  }

  // At an offset through the handle's own position: under wine a read or
  // write with an OVERLAPPED offset costs a call to its server each time,
  // and the host store reads every page at an offset.
  FsError ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override {
    *got = 0;
    FsError error = MoveTo(offset);
    if (error != FsError::kNone) return error;
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < n) {
      DWORD read = 0;
      if (!ReadFile(handle_, out + done, static_cast<DWORD>(std::min(n - done, kChunk)), &read, nullptr)) {
        error = LastFsError();
        break;
      }
      if (read == 0) break;
      done += read;
    }
    *got = done;
    return error;
  }

  FsError Write(const void* buffer, size_t n) override {
    FsError error = Resume();
    if (error != FsError::kNone) return error;
    size_t wrote = 0;
    error = WriteHere(buffer, n, &wrote);
    position_ += wrote;
    return error;
  }

  FsError WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    FsError error = MoveTo(offset);
    size_t wrote = 0;
    return error != FsError::kNone ? error : WriteHere(buffer, n, &wrote);
  }

  FsError Truncate(uint64_t size) override {
    FILE_END_OF_FILE_INFO end = {};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return SetFileInformationByHandle(handle_, FileEndOfFileInfo, &end, sizeof end) ? FsError::kNone
                                                                                  : LastFsError();
  }

  FsError Size(uint64_t* size) override {
    LARGE_INTEGER length = {};
    if (!GetFileSizeEx(handle_, &length)) return LastFsError();
    *size = static_cast<uint64_t>(length.QuadPart);
    return FsError::kNone;
  }

  // Windows flushes only through a handle that may write: a file opened for
  // reading is flushed through a second handle of its own.
  FsError Sync() override {
    if (!read_only_) return FlushFileBuffers(handle_) ? FsError::kNone : LastFsError();
    HANDLE writer = CreateFileW(wide_.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE) return LastFsError();
    FsError error = FlushFileBuffers(writer) ? FsError::kNone : LastFsError();
    if (!CloseHandle(writer) && error == FsError::kNone) error = LastFsError();
    return error;
  }

  // Windows locks conflict even between two locks of one handle, and an
  // unlock must name a range exactly as it was locked. The ranges this file
  // holds are kept, so that it behaves as the interface says: its own locks
  // never conflict, a lock of a held range changes its kind, and an unlock
  // gives up whatever part of a held range it covers.
  FsError LockRange(uint64_t start, uint64_t length, Lock lock) override {
    if (length == 0) return FsError::kNone;
    uint64_t end = start + length;
    if (lock != Lock::kUnlock) {
      auto same = held_.find(start);
      if (same != held_.end() && same->second.end == end && same->second.lock == lock) {
        return FsError::kNone;
      }
    }
    std::map<uint64_t, Held> before = held_;
    FsError error = Release(start, end);
    if (error != FsError::kNone || lock == Lock::kUnlock) return error;
    error = Take(start, end, lock);
    if (error == FsError::kNone) return error;
    // Refused: the parts of the range held before are taken back.
    for (const auto& [from, held] : before) {
      uint64_t a = std::max(from, start), b = std::min(held.end, end);
      if (a < b) Take(a, b, held.lock);
    }
    return error;
  }

  FsError Close() override {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    held_.clear();
    if (handle == INVALID_HANDLE_VALUE) return FsError::kOther;
    return CloseHandle(handle) ? FsError::kNone : LastFsError();
  }

 private:
  struct Held {
    uint64_t end;
    Lock lock;
  };

  // Locks [start, end) with the kind lock, without waiting.
  FsError Take(uint64_t start, uint64_t end, Lock lock) {
    OVERLAPPED at = At(start);
    uint64_t length = end - start;
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (lock == Lock::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(handle_, flags, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                    static_cast<DWORD>(length >> 32), &at)) {
      DWORD code = GetLastError();
      return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? FsError::kBusy
                                                                       : FsErrorOfWin32(code);
    }
    held_[start] = Held{end, lock};
    return FsError::kNone;
  }

  // Gives up every held range's part within [start, end); the parts outside
  // stay held.
  FsError Release(uint64_t start, uint64_t end) {
    std::map<uint64_t, Held> cut;
    for (auto it = held_.begin(); it != held_.end();) {
      if (it->first >= end || it->second.end <= start) {
        ++it;
        continue;
      }
      uint64_t from = it->first;
      Held held = it->second;
      OVERLAPPED at = At(from);
      uint64_t length = held.end - from;
      if (!UnlockFileEx(handle_, 0, static_cast<DWORD>(length & 0xFFFFFFFFu),
                        static_cast<DWORD>(length >> 32), &at)) {
        return LastFsError();
      }
      it = held_.erase(it);
      if (from < start) cut[from] = Held{start, held.lock};
      if (held.end > end) cut[end] = Held{held.end, held.lock};
    }
    for (const auto& [from, held] : cut) {
      FsError error = Take(from, held.end, held.lock);
      if (error != FsError::kNone) return error;
    }
    return FsError::kNone;
  }

  HANDLE handle_;
  // Writes all n bytes at the handle's position; *wrote receives how many
  // went, also when it fails.
  FsError WriteHere(const void* buffer, size_t n, size_t* wrote) {
    const auto* in = static_cast<const char*>(buffer);
    while (*wrote < n) {
      DWORD done = 0;
      if (!WriteFile(handle_, in + *wrote, static_cast<DWORD>(std::min(n - *wrote, kChunk)), &done, nullptr)) {
        return LastFsError();
      }
      if (done == 0) return FsError::kDiskFull;
      *wrote += done;
    }
    return FsError::kNone;
  }
  // Puts the handle's position at offset for a call at an offset.
  FsError MoveTo(uint64_t offset) {
    LARGE_INTEGER at = {};
    at.QuadPart = static_cast<LONGLONG>(offset);
    moved_ = true;
    return SetFilePointerEx(handle_, at, nullptr, FILE_BEGIN) ? FsError::kNone : LastFsError();
  }
  // Puts the position of Read and Write back after calls at an offset.
  FsError Resume() {
    if (!moved_) return FsError::kNone;
    FsError error = MoveTo(position_);
    if (error == FsError::kNone) moved_ = false;
    return error;
  }

  std::wstring wide_;
  bool read_only_;
  uint64_t position_ = 0;  // where Read and Write go on
  bool moved_ = false;     // the handle's position is not position_
  std::map<uint64_t, Held> held_;  // by first byte
};

// A held lock whose handle is closed when it goes.
class HandleLock : public FsLock {
 public:
  explicit HandleLock(HANDLE handle) : handle_(handle) {}
  ~HandleLock() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

// The name of the folder lock's file: made when the lock is taken, deleted by
// the system when its handle closes, also when the holder is killed.
const wchar_t kFolderLockName[] = L"\\~velor-folder.lck";

class WinFs : public Fs {
 public:
  FsError Open(const std::string& path, FsOpen mode, std::unique_ptr<FsFile>* file) override {
    file->reset();
    std::wstring wide;
    if (!WidePath(path, &wide)) return FsError::kNotFound;
    DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
    switch (mode) {
      case FsOpen::kRead: break;
      case FsOpen::kReadWrite: access = GENERIC_READ | GENERIC_WRITE; disposition = OPEN_ALWAYS; break;
      case FsOpen::kWriteNew: access = GENERIC_WRITE; disposition = CREATE_NEW; break;
      case FsOpen::kWriteTruncate: access = GENERIC_WRITE; disposition = CREATE_ALWAYS; break;
      case FsOpen::kAppend: access = FILE_APPEND_DATA | SYNCHRONIZE; disposition = OPEN_ALWAYS; break;
    }
    HANDLE handle = CreateFileW(wide.c_str(), access, kShareAll, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      FsError error = LastFsError();
      DWORD attributes = GetFileAttributesW(wide.c_str());
      if (error == FsError::kAccessDenied && attributes != INVALID_FILE_ATTRIBUTES &&
          (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FsError::kNotRegular;
      }
      return error;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
      CloseHandle(handle);
      return FsError::kNotRegular;
    }
    *file = std::make_unique<WinFile>(handle, std::move(wide), mode == FsOpen::kRead);
    return FsError::kNone;
  }

  // Links are reparse points; the attributes read are those of the name.
  // A file's read-only attribute refuses its replacement before this; no
  // other permission goes with the name.
  FsError CopyMode(const std::string&, const std::string&) override { return FsError::kNone; }

  FsError Stat(const std::string& path, bool follow, FsStat* stat) override {
    std::wstring wide;
    if (!WidePath(path, &wide)) return FsError::kNotFound;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return LastFsError();
    stat->symlink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    if (stat->symlink && follow) {
      HANDLE target = CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      if (target == INVALID_HANDLE_VALUE) return LastFsError();
      BY_HANDLE_FILE_INFORMATION info = {};
      BOOL ok = GetFileInformationByHandle(target, &info);
      FsError error = ok ? FsError::kNone : LastFsError();
      CloseHandle(target);
      if (!ok) return error;
      data.dwFileAttributes = info.dwFileAttributes;
      data.nFileSizeHigh = info.nFileSizeHigh;
      data.nFileSizeLow = info.nFileSizeLow;
      data.ftLastWriteTime = info.ftLastWriteTime;
    }
    stat->folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    stat->regular = !stat->folder && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
    stat->size = stat->regular ? (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow : 0;
    stat->writable = stat->folder || (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    stat->modified = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                     data.ftLastWriteTime.dwLowDateTime;
    return FsError::kNone;
  }

  FsError Remove(const std::string& path) override {
    std::wstring wide;
    if (!WidePath(path, &wide)) return FsError::kNotFound;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastFsError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      return FsError::kNotRegular;
    }
    return DeleteFileW(wide.c_str()) ? FsError::kNone : LastFsError();
  }

  // Written through, so the new name is durable when the call returns.
  FsError Rename(const std::string& from, const std::string& to) override {
    std::wstring wide_from, wide_to;
    if (!WidePath(from, &wide_from) || !WidePath(to, &wide_to)) return FsError::kNotFound;
    return MoveFileExW(wide_from.c_str(), wide_to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? FsError::kNone
               : LastFsError();
  }

  // Windows has no flush of a folder's names: renames are written through
  // (Rename), and a created file's name is on the disk with its data after
  // FlushFileBuffers. The folder is only checked to be there.
  FsError SyncFolder(const std::string& folder) override {
    std::wstring wide;
    if (!WidePath(folder, &wide)) return FsError::kNotFound;
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastFsError();
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FsError::kNone : FsError::kNotFound;
  }

  FsError CreateFolder(const std::string& path) override {
    std::wstring wide;
    if (!WidePath(path, &wide)) return FsError::kNotFound;
    return CreateDirectoryW(wide.c_str(), nullptr) ? FsError::kNone : LastFsError();
  }

  FsError RemoveFolder(const std::string& path) override {
    std::wstring wide;
    if (!WidePath(path, &wide)) return FsError::kNotFound;
    return RemoveDirectoryW(wide.c_str()) ? FsError::kNone : LastFsError();
  }

  FsError ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    names->clear();
    std::wstring wide;
    if (!WidePath(folder, &wide)) return FsError::kNotFound;
    if (wide.back() != L'\\' && wide.back() != L'/') wide += L'\\';
    wide += L'*';
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return LastFsError();
    FsError error = FsError::kNone;
    do {
      std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") names->push_back(WideToUtf8(name));
    } while (FindNextFileW(search, &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) error = LastFsError();
    FindClose(search);
    return error;
  }

  // A lock file of its own in the folder, opened for no sharing: a second
  // holder cannot open it. The system deletes it when the handle closes, so
  // nothing stays once the lock is given up or its holder is gone.
  FsError LockFolder(const std::string& folder, int timeout_ms,
                     std::unique_ptr<FsLock>* lock) override {
    std::wstring wide;
    if (!WidePath(folder, &wide)) return FsError::kNotFound;
    while (!wide.empty() && (wide.back() == L'\\' || wide.back() == L'/')) wide.pop_back();
    DWORD attributes = GetFileAttributesW(wide.empty() ? L"\\" : wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastFsError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return FsError::kNotFound;
    wide += kFolderLockName;
    ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeout_ms, 0));
    for (;;) {
      HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        *lock = std::make_unique<HandleLock>(handle);
        return FsError::kNone;
      }
      DWORD code = GetLastError();
      // Held by another, or being deleted as its holder lets go.
      if (code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) return FsErrorOfWin32(code);
      if (GetTickCount64() >= until) return FsError::kBusy;
      PauseForLock();
    }
  }

  // Windows replaces no file that is held open, and the holder replaces
  // the file by a rename: the lock is held on a hidden file beside it (its
  // name + ".lck"), which goes when its last holder lets go. The file itself
  // is made, empty, when it is missing.
  FsError LockFile(const std::string& path, int timeout_ms,
                   std::unique_ptr<FsLock>* lock) override {
    std::wstring wide;
    if (!WidePath(path, &wide)) return FsError::kNotFound;
    HANDLE target = CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) return LastFsError();
    CloseHandle(target);
    const std::wstring lock_name = wide + L".lck";
    ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeout_ms, 0));
    for (;;) {
      HANDLE handle = CreateFileW(lock_name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, kShareAll, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      if (handle != INVALID_HANDLE_VALUE) {
        OVERLAPPED at = At(0);
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
          *lock = std::make_unique<HandleLock>(handle);
          return FsError::kNone;
        }
        DWORD code = GetLastError();
        CloseHandle(handle);
        if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) return FsErrorOfWin32(code);
      } else {
        // Being deleted as its last holder lets go.
        DWORD code = GetLastError();
        if (code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) return FsErrorOfWin32(code);
      }
      if (GetTickCount64() >= until) return FsError::kBusy;
      PauseForLock();
    }
  }

  // The real drive type of the root.
  unsigned DriveType(const char* root) override {
    if (root == nullptr) return GetDriveTypeW(nullptr);
    std::wstring wide;
    if (!Cp932ToWide(root, &wide)) return DRIVE_NO_ROOT_DIR;
    if (wide.empty() || wide.back() != L'\\') wide += L'\\';
    return GetDriveTypeW(wide.c_str());
  }
};

}  // namespace

Fs* Fs::System() {
  static WinFs system;
  return &system;
}
