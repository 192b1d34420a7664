#include "filelock.h"

#include <string>

#include "drivemap.h"

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
