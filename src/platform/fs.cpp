#include "fs.h"

#include "drivemap.h"

namespace {
Fs* g_current = nullptr;
thread_local FsError g_last_error = FsError::kNone;
}  // namespace

Fs* Fs::Default() { return g_current != nullptr ? g_current : System(); }

FsError Fs::LastError() { return g_last_error; }

void Fs::SetLastError(FsError error) { g_last_error = error; }

const char* FsErrorText(FsError error) {
  switch (error) {
    case FsError::kNone: return "no error";
    case FsError::kNotFound: return "no such file or folder";
    case FsError::kExists: return "the name is in use";
    case FsError::kAccessDenied: return "access denied";
    case FsError::kDiskFull: return "no space left on the disk";
    case FsError::kIoError: return "input/output error";
    case FsError::kBusy: return "locked by another program";
    case FsError::kNotRegular: return "not a regular file";
    case FsError::kTooLong: return "the path is too long";
    case FsError::kTooLarge: return "the file is too large";
    case FsError::kOther: break;
  }
  return "the file system refused it";
}

FsError CreateNativeFolders(Fs* fs, const std::string& native, std::vector<std::string>* made) {
  std::vector<std::string> missing;
  FsStat st;
  FsError found = FsError::kNotFound;
  // Up to the first level that is there, or the top ("/", "X:\\", ".").
  for (std::string level = native; !level.empty(); ) {
    found = fs->Stat(level, true, &st);
    if (found != FsError::kNotFound) break;
    missing.push_back(level);
    std::string parent = NativeParentOf(level);
    if (parent == level) break;
    level = parent;
  }
  if (found != FsError::kNone && found != FsError::kNotFound) return found;
  if (found == FsError::kNone && !st.folder) return FsError::kExists;
  for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
    FsError error = fs->CreateFolder(*level);
    if (error != FsError::kNone) return error;
    if (made != nullptr) made->push_back(*level);
  }
  return FsError::kNone;
}

ScopedFs::ScopedFs(Fs* fs) : previous_(g_current) { g_current = fs; }

ScopedFs::~ScopedFs() { g_current = previous_; }
