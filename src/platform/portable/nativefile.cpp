// Whole native files read and put in place through the file-system interface,
// so that tests can make each step fail.
#include <memory>
#include <string>

#include "crtio.h"
#include "drivemap.h"
#include "filecommit.h"
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
  WholeFileStep step;
  FsError error = ReplaceWholeFile(native, bytes, &step);
  if (error == FsError::kNone) return true;
  *why = step == WholeFileStep::kBeside ? std::string("cannot create a file beside it: ") + FsErrorText(error)
                                         : std::string(FsErrorText(error));
  return false;
}
