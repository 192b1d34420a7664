#include "crtio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "drivemap.h"
#include "fs.h"

int _access(const char* path, int mode) {
  int bits;
  switch (mode) {
    case 0: bits = F_OK; break;
    case 2: bits = W_OK; break;
    case 4: bits = R_OK; break;
    case 6: bits = R_OK | W_OK; break;
    default: errno = EINVAL; return -1;
  }
  std::string native;
  if (path == nullptr || !DriveMapToNative(path, &native)) {
    errno = ENOENT;
    return -1;
  }
  return access(native.c_str(), bits) == 0 ? 0 : -1;
}

char* _getcwd(char* buffer, int size) {
  char native[4096];
  std::string windows;
  if (buffer == nullptr || size <= 0 || getcwd(native, sizeof native) == nullptr ||
      !DriveMapToWindows(native, &windows)) {
    errno = ENOENT;
    return nullptr;
  }
  if (windows.size() + 1 > static_cast<size_t>(size)) {
    errno = ERANGE;
    return nullptr;
  }
  std::memcpy(buffer, windows.c_str(), windows.size() + 1);
  return buffer;
}

int _chdir(const char* path) {
  std::string native;
  if (path == nullptr || !DriveMapToNative(path, &native)) {
    errno = ENOENT;
    return -1;
  }
  return chdir(native.c_str()) == 0 ? 0 : -1;
}

int _isatty(int fd) { return isatty(fd); }

int _fileno(FILE* stream) { return fileno(stream); }

bool ReadNativeFile(const char* native, std::string* bytes) {
  bytes->clear();
  std::unique_ptr<FsFile> file;
  if (Fs::Default()->Open(native, FsOpen::kRead, &file) != FsError::kNone) return false;
  char buffer[8192];
  for (;;) {
    size_t n = 0;
    if (file->Read(buffer, sizeof buffer, &n) != FsError::kNone) return false;
    if (n == 0) break;
    bytes->append(buffer, n);
  }
  return file->Close() == FsError::kNone;
}

std::string NativeAbsolutePath(const std::string& native) {
  if (!native.empty() && native[0] == '/') return native;
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr) return native;
  std::string absolute = std::string(cwd) + "/" + native;
  std::free(cwd);
  return absolute;
}

bool ReplaceNativeFile(const char* native, const std::string& bytes, std::string* why) {
  std::string temp = std::string(native) + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    *why = std::string("cannot create a file beside it: ") + std::strerror(errno);
    return false;
  }
  const char* p = bytes.data();
  size_t left = bytes.size();
  int error = 0;
  while (left > 0 && error == 0) {
    ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : EIO;
    } else {
      p += n;
      left -= static_cast<size_t>(n);
    }
  }
  // mkstemp makes the file its owner's only; a new file is as the umask says.
  mode_t mask = umask(0);
  umask(mask);
  if (error == 0 && fchmod(fd, 0666 & ~mask) != 0) error = errno;
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), native) != 0) error = errno;
  if (error != 0) {
    unlink(temp.c_str());
    *why = std::strerror(error);
    return false;
  }
  return true;
}
