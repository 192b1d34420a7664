#include "fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "drivemap.h"

namespace {

FsError ErrorOf(int error) {
  switch (error) {
    case 0: return FsError::kNone;
    case ENOENT:
    case ENOTDIR: return FsError::kNotFound;
    case EEXIST:
    case ENOTEMPTY: return FsError::kExists;
    case EACCES:
    case EPERM:
    case EROFS: return FsError::kAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return FsError::kDiskFull;
    case EIO: return FsError::kIoError;
    case EAGAIN:
    case EBUSY: return FsError::kBusy;
    case EISDIR: return FsError::kNotRegular;
    case ENAMETOOLONG: return FsError::kTooLong;
    default: return FsError::kOther;
  }
}

FsError LastErrno() { return ErrorOf(errno); }

// Milliseconds of the monotonic clock.
int64_t NowMs() {
  struct timespec now = {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Waits between two attempts at a lock.
void PauseForLock() {
  struct timespec pause = {0, 20 * 1000000};
  nanosleep(&pause, nullptr);
}

class PosixFile : public FsFile {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  FsError Read(void* buffer, size_t n, size_t* got) override {
    ssize_t r;
    do {
      r = ::read(fd_, buffer, n);
    } while (r < 0 && errno == EINTR);
    *got = r > 0 ? static_cast<size_t>(r) : 0;
    return r < 0 ? LastErrno() : FsError::kNone;
  }

  FsError ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override {
    auto* out = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < n) {
      ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
      if (r < 0 && errno == EINTR) continue;
      if (r < 0) {
        *got = done;
        return LastErrno();
      }
      if (r == 0) break;
      done += static_cast<size_t>(r);
    }
    *got = done;
    return FsError::kNone;
  }

  FsError Write(const void* buffer, size_t n) override {
    const auto* in = static_cast<const char*>(buffer);
    while (n > 0) {
      ssize_t w = ::write(fd_, in, n);
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return LastErrno();
      if (w == 0) return FsError::kDiskFull;
      in += w;
      n -= static_cast<size_t>(w);
      written_ += static_cast<uint64_t>(w);
    }
    StartWriteBack();
    return FsError::kNone;
  }

  FsError WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    const auto* in = static_cast<const char*>(buffer);
    while (n > 0) {
      ssize_t w = ::pwrite(fd_, in, n, static_cast<off_t>(offset));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) return LastErrno();
      if (w == 0) return FsError::kDiskFull;
      in += w;
      offset += static_cast<uint64_t>(w);
      n -= static_cast<size_t>(w);
    }
    return FsError::kNone;
  }

  FsError Truncate(uint64_t size) override {
    return ::ftruncate(fd_, static_cast<off_t>(size)) == 0 ? FsError::kNone : LastErrno();
  }

  FsError Size(uint64_t* size) override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) return LastErrno();
    *size = static_cast<uint64_t>(st.st_size);
    return FsError::kNone;
  }

  FsError Sync() override { return ::fsync(fd_) == 0 ? FsError::kNone : LastErrno(); }

  // Open file description locks: held per open file, released on close,
  // and in conflict with the record locks of other programs.
  FsError LockRange(uint64_t start, uint64_t length, Lock lock) override {
    struct flock fl = {};
    fl.l_type = lock == Lock::kShared ? F_RDLCK : lock == Lock::kExclusive ? F_WRLCK : F_UNLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(start);
    fl.l_len = static_cast<off_t>(length);
    if (::fcntl(fd_, F_OFD_SETLK, &fl) == 0) return FsError::kNone;
    return errno == EACCES || errno == EAGAIN ? FsError::kBusy : LastErrno();
  }

  FsError Close() override {
    int fd = fd_;
    fd_ = -1;
    if (fd < 0) return FsError::kOther;
    return ::close(fd) == 0 || errno == EINTR ? FsError::kNone : LastErrno();
  }

 private:
  static constexpr uint64_t kWriteBackStep = 8u << 20;

  // Asks the kernel to start writing each further 8 MiB of a long file out,
  // without waiting, so that a later Sync finds little left to do.
  void StartWriteBack() {
    if (written_ - queued_ < kWriteBackStep) return;
    ::sync_file_range(fd_, static_cast<off_t>(queued_), static_cast<off_t>(written_ - queued_),
                      SYNC_FILE_RANGE_WRITE);
    queued_ = written_;
  }

  int fd_;
  uint64_t written_ = 0;  // bytes written at the position so far
  uint64_t queued_ = 0;   // of them, those whose writing out was started
};

// A lock of flock(2) kind on an open descriptor; closing it releases it.
class DescriptorLock : public FsLock {
 public:
  explicit DescriptorLock(int fd) : fd_(fd) {}
  ~DescriptorLock() override { ::close(fd_); }

 private:
  int fd_;
};

// Takes flock(2)'s exclusive lock on fd, retrying until timeout_ms passed.
FsError FlockWithin(int fd, int timeout_ms) {
  int64_t until = NowMs() + timeout_ms;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return FsError::kNone;
    if (errno != EWOULDBLOCK && errno != EINTR) return LastErrno();
    if (NowMs() >= until) return FsError::kBusy;
    PauseForLock();
  }
}

// In a folder shared by a group (group-writable, usually set-group-ID too),
// what this account creates is made group-writable as well, so that every
// member can replace it later: the mode follows the folder. fd is the new
// entry, opened; a file system without modes (FAT) is left as it is.
FsError FollowFolderMode(const std::string& path, int fd) {
  struct stat folder, own;
  if (::stat(NativeParentOf(path).c_str(), &folder) != 0) return LastErrno();
  if ((folder.st_mode & S_IWGRP) == 0) return FsError::kNone;
  if (::fstat(fd, &own) != 0) return LastErrno();
  mode_t shared = S_IRGRP | S_IWGRP | (S_ISDIR(own.st_mode) ? S_IXGRP : 0);
  if (own.st_uid != ::geteuid() || (own.st_mode & shared) == shared) return FsError::kNone;
  if (::fchmod(fd, (own.st_mode & 07777) | shared) == 0) return FsError::kNone;
  return errno == EPERM || errno == ENOTSUP || errno == EROFS ? FsError::kNone : LastErrno();
}

class PosixFs : public Fs {
 public:
  FsError Open(const std::string& path, FsOpen mode, std::unique_ptr<FsFile>* file) override {
    file->reset();
    // Without blocking: a FIFO or a device at the path would otherwise hold
    // the open until another program came.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
      case FsOpen::kRead: flags |= O_RDONLY; break;
      case FsOpen::kReadWrite: flags |= O_RDWR | O_CREAT; break;
      case FsOpen::kWriteNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
      case FsOpen::kWriteTruncate: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
      case FsOpen::kAppend: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
    }
    int fd;
    do {
      fd = ::open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return LastErrno();
    struct stat st;
    if (::fstat(fd, &st) != 0) {
      FsError error = LastErrno();
      ::close(fd);
      return error;
    }
    if (S_ISDIR(st.st_mode) || (mode == FsOpen::kRead && !S_ISREG(st.st_mode))) {
      ::close(fd);
      return FsError::kNotRegular;
    }
    int status = ::fcntl(fd, F_GETFL);
    if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
      FsError error = LastErrno();
      ::close(fd);
      return error;
    }
    if (mode != FsOpen::kRead && st.st_size == 0) {
      FsError shared = FollowFolderMode(path, fd);
      if (shared != FsError::kNone) {
        ::close(fd);
        return shared;
      }
    }
    *file = std::make_unique<PosixFile>(fd);
    return FsError::kNone;
  }

  FsError Stat(const std::string& path, bool follow, FsStat* stat) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return LastErrno();
    stat->symlink = S_ISLNK(st.st_mode);
    if (stat->symlink && follow && ::stat(path.c_str(), &st) != 0) return LastErrno();
    stat->regular = S_ISREG(st.st_mode);
    stat->folder = S_ISDIR(st.st_mode);
    stat->size = stat->regular ? static_cast<uint64_t>(st.st_size) : 0;
    stat->modified = static_cast<uint64_t>(st.st_mtim.tv_sec) * 10000000u +
                     static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100u;
    // A file without any write permission is read-only also to the
    // superuser, as a file with the read-only attribute is on Windows.
    stat->writable = ::access(path.c_str(), W_OK) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) != 0);
    return FsError::kNone;
  }

  FsError CopyMode(const std::string& from, const std::string& to) override {
    struct stat st;
    if (::stat(from.c_str(), &st) != 0) return LastErrno();
    return ::chmod(to.c_str(), st.st_mode & 07777) == 0 ? FsError::kNone : LastErrno();
  }

  FsError Remove(const std::string& path) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return LastErrno();
    if (S_ISDIR(st.st_mode)) return FsError::kNotRegular;
    return ::unlink(path.c_str()) == 0 ? FsError::kNone : LastErrno();
  }

  FsError Rename(const std::string& from, const std::string& to) override {
    return std::rename(from.c_str(), to.c_str()) == 0 ? FsError::kNone : LastErrno();
  }

  FsError SyncFolder(const std::string& folder) override {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastErrno();
    FsError error = ::fsync(fd) == 0 ? FsError::kNone : LastErrno();
    ::close(fd);
    return error;
  }

  FsError CreateFolder(const std::string& path) override {
    if (::mkdir(path.c_str(), 0777) != 0) return LastErrno();
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastErrno();
    FsError shared = FollowFolderMode(path, fd);
    ::close(fd);
    return shared;
  }

  FsError RemoveFolder(const std::string& path) override {
    return ::rmdir(path.c_str()) == 0 ? FsError::kNone : LastErrno();
  }

  FsError ListFolder(const std::string& folder, std::vector<std::string>* names) override {
    names->clear();
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return LastErrno();
    errno = 0;
    while (struct dirent* entry = ::readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != "..") names->push_back(name);
    }
    FsError error = LastErrno();
    ::closedir(dir);
    return error;
  }

  // flock(2) on the folder itself: nothing is created, and a killed holder's
  // lock goes with its process.
  FsError LockFolder(const std::string& folder, int timeout_ms,
                     std::unique_ptr<FsLock>* lock) override {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return LastErrno();
    FsError error = FlockWithin(fd, timeout_ms);
    if (error != FsError::kNone) {
      ::close(fd);
      return error;
    }
    *lock = std::make_unique<DescriptorLock>(fd);
    return FsError::kNone;
  }

  // The file is replaced by renames, so the lock taken is checked to be on
  // the file that has the name now; if not, the new one is locked instead.
  FsError LockFile(const std::string& path, int timeout_ms,
                   std::unique_ptr<FsLock>* lock) override {
    int64_t until = NowMs() + timeout_ms;
    for (;;) {
      // Not through a link that leads nowhere (that would make its target),
      // and without blocking on a FIFO; only a regular file is locked.
      struct stat link;
      if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        struct stat target;
        if (::stat(path.c_str(), &target) != 0) return FsError::kNotRegular;
      }
      int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
      if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
      }
      if (fd < 0) return LastErrno();
      struct stat opened;
      FsError kind = ::fstat(fd, &opened) != 0      ? LastErrno()
                     : !S_ISREG(opened.st_mode) ? FsError::kNotRegular
                     : opened.st_size == 0      ? FollowFolderMode(path, fd)
                                                : FsError::kNone;
      if (kind != FsError::kNone) {
        ::close(fd);
        return kind;
      }
      int64_t left = until - NowMs();
      FsError error = FlockWithin(fd, left > 0 ? static_cast<int>(left) : 0);
      struct stat held, named;
      if (error == FsError::kNone && ::fstat(fd, &held) == 0 &&
          ::stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
          held.st_dev == named.st_dev) {
        *lock = std::make_unique<DescriptorLock>(fd);
        return FsError::kNone;
      }
      ::close(fd);
      if (error != FsError::kNone) return error;
    }
  }

  // The drive types of the drive map's entries.
  unsigned DriveType(const char* root) override { return DriveMapTypeOf(root); }
};

}  // namespace

Fs* Fs::System() {
  static PosixFs system;
  return &system;
}
