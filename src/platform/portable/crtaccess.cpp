#include <cerrno>
#include <string>

#include "crtio.h"
#include "drivemap.h"
#include "fs.h"

// As the Windows runtime answers: a folder is tested for existence alone,
// whatever the mode (no account may be refused a drive because it cannot
// write the folder at its root); a file is readable when it exists and
// writable unless it is read-only. Through the file system in use, as every
// file call of the layer goes.
int _access(const char* path, int mode) {
  if (mode != 0 && mode != 2 && mode != 4 && mode != 6) {
    errno = EINVAL;
    return -1;
  }
  std::string native;
  FsStat st;
  if (path == nullptr || !DriveMapToNative(path, &native) ||
      Fs::Default()->Stat(native, true, &st) != FsError::kNone) {
    errno = ENOENT;
    return -1;
  }
  if ((mode & 2) != 0 && !st.folder && !st.writable) {
    errno = EACCES;
    return -1;
  }
  return 0;
}
