#include "filecommit.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "drivemap.h"
#include "mbcs.h"
#include "wintypes.h"

namespace {
const char kTempStart[] = "~vel";
const char kTempEnd[] = ".tmp";
const size_t kTempDigits = 8;

// A new name of the temporary pattern in the folder part folder.
std::string RandomTempName(const std::string& folder) {
  static std::mt19937 generator{std::random_device{}()};
  char digits[kTempDigits + 1];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(generator()));
  return folder + kTempStart + digits + kTempEnd;
}

// The native path of windows; false (last error set) when it has none.
bool Native(const std::string& windows, std::string* native) {
  if (DriveMapToNative(windows.c_str(), native)) return true;
  Fs::SetLastError(FsError::kNotFound);
  return false;
}

// Flushes the written file native to the medium.
FsError SyncFile(Fs* fs, const std::string& native) {
  std::unique_ptr<FsFile> file;
  FsError error = fs->Open(native, FsOpen::kRead, &file);
  if (error == FsError::kNone) error = file->Sync();
  FsError closed = file != nullptr ? file->Close() : FsError::kNone;
  return error != FsError::kNone ? error : closed;
}

// One file on its way into place.
struct Step {
  std::string temp, final, backup;  // native; backup empty when none is made
  bool drop = false;                // the final name is only cleared
  bool backedUp = false, placed = false;
};

// Puts back what the steps done so far changed, last first.
void RollBack(Fs* fs, std::vector<Step>& steps) {
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (step->placed) fs->Rename(step->final, step->temp);
    if (step->backedUp) fs->Rename(step->backup, step->final);
  }
}
}  // namespace

bool FormTempPath(const char* final_path, std::string* temp) {
  size_t length = std::strlen(final_path), slash = MbcsFindLast(final_path, length, '\\');
  std::string folder(final_path, slash == length ? 0 : slash + 1);
  Fs* fs = Fs::Default();
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string name = RandomTempName(folder), native;
    if (name.size() > MAX_PATH) {
      Fs::SetLastError(FsError::kTooLong);
      return false;
    }
    if (!Native(name, &native)) return false;
    FsStat st;
    FsError error = fs->Stat(native, false, &st);
    if (error == FsError::kNotFound) {
      *temp = name;
      return true;
    }
    if (error != FsError::kNone) {
      Fs::SetLastError(error);
      return false;
    }
  }
  Fs::SetLastError(FsError::kExists);
  return false;
}

bool IsTempName(const std::string& name) {
  const size_t start = sizeof kTempStart - 1, end = sizeof kTempEnd - 1;
  if (name.size() != start + kTempDigits + end) return false;
  if (name.compare(0, start, kTempStart) != 0) return false;
  if (name.compare(start + kTempDigits, end, kTempEnd) != 0) return false;
  for (size_t i = start; i < start + kTempDigits; ++i) {
    char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

void RemoveStaleTemps(const char* path) {
  std::string folder;
  if (!DriveMapFolderOf(path, &folder)) return;
  Fs* fs = Fs::Default();
  std::vector<std::string> names;
  if (fs->ListFolder(folder, &names) != FsError::kNone) return;
  for (const std::string& name : names) {
    FsStat st;
    std::string stale = folder + "/" + name;
    if (IsTempName(name) && fs->Stat(stale, false, &st) == FsError::kNone && !st.folder) {
      fs->Remove(stale);
    }
  }
}

FsError CommitFiles(const std::vector<FileCommit>& files) {
  Fs* fs = Fs::Default();
  std::vector<Step> steps;
  FsError error = FsError::kNone;
  for (const FileCommit& file : files) {
    Step step;
    if (!Native(file.temp, &step.temp) || !Native(file.final, &step.final)) {
      error = FsError::kNotFound;
      break;
    }
    FsStat st;
    error = fs->Stat(step.temp, false, &st);
    if (error != FsError::kNone) break;
    step.drop = file.dropWhenEmpty && st.size == 0;
    if (!step.drop) error = SyncFile(fs, step.temp);
    if (error != FsError::kNone) break;
    steps.push_back(step);
  }
  // Each final name that holds something is first moved to a backup, so a
  // failure later on can put every previous file back.
  for (size_t i = 0; error == FsError::kNone && i < steps.size(); ++i) {
    Step& step = steps[i];
    FsStat st;
    FsError found = fs->Stat(step.final, false, &st);
    if (found == FsError::kNone && st.folder) {
      error = FsError::kNotRegular;  // a folder of that name is never moved
      break;
    }
    if (found == FsError::kNone) {
      std::string backup;
      if (!FormTempPath(files[i].final.c_str(), &backup) || !Native(backup, &step.backup)) {
        error = Fs::LastError();
        break;
      }
      error = fs->Rename(step.final, step.backup);
      if (error != FsError::kNone) break;
      step.backedUp = true;
    } else if (found != FsError::kNotFound) {
      error = found;
      break;
    }
    if (!step.drop) {
      error = fs->Rename(step.temp, step.final);
      if (error != FsError::kNone) break;
      step.placed = true;
    }
  }
  for (size_t i = 0; error == FsError::kNone && i < steps.size(); ++i) {
    error = fs->SyncFolder(NativeParentOf(steps[i].final));
  }
  if (error != FsError::kNone) RollBack(fs, steps);
  for (const Step& step : steps) {
    if (error == FsError::kNone && step.backedUp) fs->Remove(step.backup);
  }
  DiscardFiles(files);
  return error;
}

void DiscardFiles(const std::vector<FileCommit>& files) {
  Fs* fs = Fs::Default();
  for (const FileCommit& file : files) {
    std::string native;
    FsStat st;
    if (DriveMapToNative(file.temp.c_str(), &native) &&
        fs->Stat(native, false, &st) == FsError::kNone) {
      fs->Remove(native);
    }
  }
}
