#include "cfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "drivemap.h"

namespace {
int CauseOf(int error) {
  switch (error) {
    case ENOENT: return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return CFileException::badPath;
    case EMFILE:
    case ENFILE: return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS: return CFileException::accessDenied;
    case ENOSPC:
    case EDQUOT: return CFileException::diskFull;
    case EIO: return CFileException::hardIO;
    default: return CFileException::genericException;
  }
}

[[noreturn]] void ThrowError(int error) { throw new CFileException(CauseOf(error), error); }
}  // namespace

CFile::~CFile() {
  if (fd_ >= 0) close(fd_);
}

BOOL CFile::Open(LPCSTR name, UINT flags, CFileException* error) {
  auto fail = [error](int cause, int os_error) {
    if (error != nullptr) *error = CFileException(cause, os_error);
    return FALSE;
  };
  if (fd_ >= 0) return fail(CFileException::genericException, -1);
  std::string native;
  if (name == nullptr || !DriveMapToNative(name, &native)) {
    return fail(CFileException::badPath, ENOENT);
  }
  int mode;
  switch (flags & 3u) {
    case modeRead: mode = O_RDONLY; break;
    case modeWrite: mode = O_WRONLY; break;
    default: mode = O_RDWR; break;
  }
  if ((flags & modeCreate) != 0) {
    mode |= O_CREAT;
    if ((flags & modeNoTruncate) == 0) mode |= O_TRUNC;
  }
  int fd = open(native.c_str(), mode | O_CLOEXEC, 0666);
  if (fd < 0) return fail(CauseOf(errno), errno);
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return fail(CFileException::accessDenied, EISDIR);
  }
  fd_ = fd;
  return TRUE;
}

UINT CFile::Read(void* buffer, UINT count) {
  auto* out = static_cast<char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = read(fd_, out + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowError(errno);
    if (n == 0) break;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) {
  const auto* in = static_cast<const char*>(buffer);
  UINT done = 0;
  while (done < count) {
    ssize_t n = write(fd_, in + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ThrowError(n < 0 ? errno : ENOSPC);
    done += static_cast<UINT>(n);
  }
}

void CFile::Flush() {
  if (fsync(fd_) != 0) ThrowError(errno);
}

ULONGLONG CFile::GetLength() const {
  struct stat st;
  if (fstat(fd_, &st) != 0) ThrowError(errno);
  return static_cast<ULONGLONG>(st.st_size);
}

void CFile::Close() {
  int fd = fd_;
  fd_ = -1;
  if (fd >= 0 && close(fd) != 0) ThrowError(errno);
}

BOOL CFile::GetStatus(LPCSTR name, CFileStatus& status) {
  std::string native;
  struct stat st;
  if (name == nullptr || !DriveMapToNative(name, &native) || stat(native.c_str(), &st) != 0) {
    return FALSE;
  }
  bool folder = S_ISDIR(st.st_mode);
  status.m_size = folder ? 0 : static_cast<ULONGLONG>(st.st_size);
  status.m_attribute = folder ? directory : normal;
  if (access(native.c_str(), W_OK) != 0) status.m_attribute |= readOnly;
  return TRUE;
}

void CFile::Remove(LPCSTR name) {
  std::string native;
  if (name == nullptr || !DriveMapToNative(name, &native)) ThrowError(ENOENT);
  struct stat st;
  if (lstat(native.c_str(), &st) != 0) ThrowError(errno);
  if (S_ISDIR(st.st_mode)) ThrowError(EISDIR);
  if (unlink(native.c_str()) != 0) ThrowError(errno);
}
