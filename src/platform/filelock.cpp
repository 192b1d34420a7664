#include "filelock.h"

#include <cstring>
#include <string>
#include <vector>

#include "drivemap.h"

namespace {
bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
}  // namespace

FsError LockFolderOf(const char* path, int timeout_ms, std::unique_ptr<FsLock>* lock) {
  std::string folder;
  if (!DriveMapFolderOf(path, &folder)) return FsError::kNotFound;
  return Fs::Default()->LockFolder(folder, timeout_ms, lock);
}

FsError LockFileByName(const char* path, int timeout_ms, std::unique_ptr<FsLock>* lock) {
  std::string native;
  if (!DriveMapToNative(path, &native)) return FsError::kNotFound;
  return Fs::Default()->LockFile(native, timeout_ms, lock);
}

void RemoveStaleTempFileNames(const char* folder, const char* prefix) {
  std::string native;
  if (!DriveMapFolderOf(folder, &native)) return;
  std::string start(prefix, strnlen(prefix, 3));
  Fs* fs = Fs::Default();
  std::vector<std::string> names;
  if (fs->ListFolder(native, &names) != FsError::kNone) return;
  for (const std::string& name : names) {
    if (name.size() < start.size() + 5 || name.size() > start.size() + 8 ||
        name.compare(0, start.size(), start) != 0 || name.compare(name.size() - 4, 4, ".TMP") != 0) {
      continue;
    }
    size_t digits = name.size() - start.size() - 4;
    bool hex = true;
    for (size_t i = start.size(); i < start.size() + digits; ++i) hex = hex && IsHexDigit(name[i]);
    FsStat st;
    std::string stale = native + "/" + name;
    if (hex && fs->Stat(stale, false, &st) == FsError::kNone && st.regular) fs->Remove(stale);
  }
}
