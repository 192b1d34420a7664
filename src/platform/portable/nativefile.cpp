// Whole native files read and put in place through the file-system interface,
// so that tests can make each step fail.
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "crtio.h"
#include "drivemap.h"
#include "fs.h"

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

bool NativeFileReplaceable(const char* native, std::string* why) {
  Fs* fs = Fs::Default();
  const std::string folder = NativeParentOf(native);
  FsStat st;
  FsError error = fs->Stat(folder, true, &st);
  if (error != FsError::kNone) {
    *why = "its folder " + folder + ": " + FsErrorText(error);
    return false;
  }
  if (!st.folder || !st.writable) {
    *why = "its folder " + folder + (st.folder ? " may not be written" : " is not a folder");
    return false;
  }
  if (fs->Stat(native, true, &st) == FsError::kNone && st.folder) {
    *why = "it is a folder";
    return false;
  }
  return true;
}

bool ReplaceNativeFile(const char* native, const std::string& bytes, std::string* why) {
  // Through the file-system interface, so tests can make each step fail.
  Fs* fs = Fs::Default();
  std::string temp;
  std::unique_ptr<FsFile> file;
  FsError error = FsError::kExists;
  // A number of this attempt's own, so that two programs seldom meet.
  unsigned tag = std::random_device{}() & 0xFFFFFu;
  for (unsigned attempt = 0; attempt < 16 && error == FsError::kExists; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%u.%u.tmp", tag, attempt);
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
