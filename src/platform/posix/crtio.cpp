#include "crtio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include <cerrno>
#include <cstring>
#include <string>

#include "drivemap.h"
#include "portable/winstrings.h"

char* _getcwd(char* buffer, int size) {
  char native[4096];
  std::string windows;
  if (buffer == nullptr || size <= 0 || getcwd(native, sizeof native) == nullptr ||
      !DriveMapToWindows(native, &windows)) {
    errno = ENOENT;
    return nullptr;
  }
  return CopyOrRange(windows, buffer, size);
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

std::string NativeAbsolutePath(const std::string& native) {
  if (!native.empty() && native[0] == '/') return native;
  char* cwd = getcwd(nullptr, 0);
  if (cwd == nullptr) return native;
  std::string absolute = std::string(cwd) + "/" + native;
  std::free(cwd);
  return absolute;
}

