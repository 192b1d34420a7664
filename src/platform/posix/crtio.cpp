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
  FsError error = Fs::Default()->Open(native, FsOpen::kRead, &file);
  char buffer[8192];
  for (size_t n = 1; error == FsError::kNone && n > 0;) {
    error = file->Read(buffer, sizeof buffer, &n);
    if (error == FsError::kNone) bytes->append(buffer, n);
  }
  if (error == FsError::kNone) error = file->Close();
  if (error != FsError::kNone) Fs::SetLastError(error);
  return error == FsError::kNone;
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
  // Through the file-system interface, so tests can make each step fail.
  Fs* fs = Fs::Default();
  std::string temp;
  std::unique_ptr<FsFile> file;
  FsError error = FsError::kExists;
  for (unsigned attempt = 0; attempt < 16 && error == FsError::kExists; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%u.%u.tmp", static_cast<unsigned>(getpid()), attempt);
    temp = std::string(native) + suffix;
    error = fs->Open(temp, FsOpen::kWriteNew, &file);
  }
  if (error != FsError::kNone) {
    *why = std::string("cannot create a file beside it: ") + FsErrorText(error);
    return false;
  }
  error = file->Write(bytes.data(), bytes.size());
  if (error == FsError::kNone) error = file->Sync();
  FsError closed = file->Close();
  if (error == FsError::kNone) error = closed;
  if (error == FsError::kNone) error = fs->Rename(temp, native);
  if (error != FsError::kNone) {
    fs->Remove(temp);
    *why = FsErrorText(error);
    return false;
  }
  return true;
}
