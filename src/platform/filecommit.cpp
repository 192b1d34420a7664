#include "filecommit.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "crtio.h"
#include "drivemap.h"
#include "mbcs.h"
#include "wintypes.h"

namespace {
// The names of the program's own files beside the final names: "~vel",
// eight hexadecimal digits and the ending of their kind.
const char kOwnStart[] = "~vel";
const char kTempEnd[] = ".tmp";     // a file being written
const char kBackupEnd[] = ".bak";   // a previous final file during a commit
const char kJournalEnd[] = ".jnl";  // what an unfinished commit changed
const size_t kOwnDigits = 8;
const char kJournalHead[] = "velor-commit 1";
const char kJournalTail[] = "end";

// A new name of the program's pattern with ending end in the folder part
// folder.
std::string RandomOwnName(const std::string& folder, const char* end) {
  // One generator per thread: exports of a batch name their files at once.
  thread_local std::mt19937 generator{std::random_device{}()};
  char digits[kOwnDigits + 1];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(generator()));
  return folder + kOwnStart + digits + end;
}

// True when the bare name is one of the program's with ending end.
bool IsOwnName(const std::string& name, const char* end) {
  const size_t start = sizeof kOwnStart - 1, end_size = std::strlen(end);
  if (name.size() != start + kOwnDigits + end_size) return false;
  if (name.compare(0, start, kOwnStart) != 0) return false;
  if (name.compare(start + kOwnDigits, end_size, end) != 0) return false;
  for (size_t i = start; i < start + kOwnDigits; ++i) {
    char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// The native path of windows; false (last error set) when it has none.
bool Native(const std::string& windows, std::string* native) {
  if (DriveMapToNative(windows.c_str(), native)) return true;
  Fs::SetLastError(FsError::kNotFound);
  return false;
}

// Forms in *own a new name with ending end beside the Windows path
// final_path, as a Windows path; see FormTempPath.
bool FormOwnPath(const char* final_path, const char* end, std::string* own) {
  size_t length = std::strlen(final_path), slash = MbcsFindLast(final_path, length, '\\');
  std::string folder(final_path, slash == length ? 0 : slash + 1);
  Fs* fs = Fs::Default();
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string name = RandomOwnName(folder, end), native;
    if (name.size() > MAX_PATH) {
      Fs::SetLastError(FsError::kTooLong);
      return false;
    }
    if (!Native(name, &native)) return false;
    FsStat st;
    FsError error = fs->Stat(native, false, &st);
    if (error == FsError::kNotFound) {
      *own = name;
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

// True when the bare name read from a journal names a file in its folder.
bool IsBareName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

// The bare name of the native path (a Windows one may separate with either
// slash).
std::string BareName(const std::string& native) {
  size_t slash = native.find_last_of("/\\");
  return slash == std::string::npos ? native : native.substr(slash + 1);
}

// Flushes the written file native to the medium.
FsError SyncFile(Fs* fs, const std::string& native) {
  std::unique_ptr<FsFile> file;
  FsError error = fs->Open(native, FsOpen::kRead, &file);
  if (error == FsError::kNone) error = file->Sync();
  FsError closed = file != nullptr ? file->Close() : FsError::kNone;
  return error != FsError::kNone ? error : closed;
}

// Writes content as the new file native and makes it and its name durable.
FsError WriteDurably(Fs* fs, const std::string& native, const std::string& content) {
  std::unique_ptr<FsFile> file;
  FsError error = fs->Open(native, FsOpen::kWriteNew, &file);
  if (error == FsError::kNone) error = file->Write(content.data(), content.size());
  if (error == FsError::kNone) error = file->Sync();
  FsError closed = file != nullptr ? file->Close() : FsError::kNone;
  if (error == FsError::kNone) error = closed;
  if (error == FsError::kNone) error = fs->SyncFolder(NativeParentOf(native));
  if (error != FsError::kNone && file != nullptr) fs->Remove(native);
  return error;
}

// One file on its way into place.
struct Step {
  std::string temp, final, backup;  // native; backup empty when none is made
  bool drop = false;                // the final name is only cleared
  bool backedUp = false, placed = false;
};

// The journal of a commit of steps: for each final name, the backup that
// holds its previous file ("B backup final") or that it had none
// ("N final"), between a head and a tail line.
std::string JournalOf(const std::vector<Step>& steps) {
  std::string text = std::string(kJournalHead) + "\n";
  for (const Step& step : steps) {
    text += step.backup.empty() ? "N " : "B " + BareName(step.backup) + " ";
    text += BareName(step.final) + "\n";
  }
  return text + kJournalTail + "\n";
}

// Puts back what the steps done so far changed, last first. False when a
// step could not be undone.
bool RollBack(Fs* fs, std::vector<Step>& steps) {
  bool undone = true;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (step->placed && fs->Rename(step->final, step->temp) != FsError::kNone) undone = false;
    if (step->backedUp && fs->Rename(step->backup, step->final) != FsError::kNone) undone = false;
  }
  return undone;
}

// Undoes the commit that the journal native in folder describes: every
// previous file comes back from its backup, every final name that had none
// is cleared. Removes the journal when all is undone; true then.
bool RollBackJournal(Fs* fs, const std::string& folder, const std::string& native) {
  std::string text;
  if (!ReadNativeFile(native.c_str(), &text)) return false;
  const std::string head = std::string(kJournalHead) + "\n", tail = std::string(kJournalTail) + "\n";
  bool complete = text.size() >= head.size() + tail.size() && text.compare(0, head.size(), head) == 0 &&
                  text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  // An incomplete journal was cut while it was written: nothing was moved.
  bool undone = true;
  for (size_t pos = head.size(); complete && pos < text.size() - tail.size();) {
    size_t lf = text.find('\n', pos);
    std::string line = text.substr(pos, lf - pos);
    pos = lf + 1;
    FsStat st;
    if (line.compare(0, 2, "N ") == 0) {
      std::string final = folder + "/" + line.substr(2);
      if (IsBareName(line.substr(2)) && fs->Stat(final, false, &st) == FsError::kNone &&
          fs->Remove(final) != FsError::kNone) {
        undone = false;
      }
      continue;
    }
    size_t space = line.find(' ', 2);
    if (line.compare(0, 2, "B ") != 0 || space == std::string::npos) continue;
    std::string backup = folder + "/" + line.substr(2, space - 2);
    std::string final = folder + "/" + line.substr(space + 1);
    // Without its backup the previous file was not moved yet.
    if (IsBackupName(line.substr(2, space - 2)) && IsBareName(line.substr(space + 1)) &&
        fs->Stat(backup, false, &st) == FsError::kNone && fs->Rename(backup, final) != FsError::kNone) {
      undone = false;
    }
  }
  return undone && fs->SyncFolder(folder) == FsError::kNone && fs->Remove(native) == FsError::kNone;
}
}  // namespace

bool FormTempPath(const char* final_path, std::string* temp) {
  return FormOwnPath(final_path, kTempEnd, temp);
}

bool IsTempName(const std::string& name) { return IsOwnName(name, kTempEnd); }

bool IsBackupName(const std::string& name) { return IsOwnName(name, kBackupEnd); }

void RemoveStaleTemps(const char* path) {
  std::string folder;
  if (!DriveMapFolderOf(path, &folder)) return;
  Fs* fs = Fs::Default();
  std::vector<std::string> names;
  if (fs->ListFolder(folder, &names) != FsError::kNone) return;
  // Unfinished commits first: they take their backups back. A backup that
  // is left belongs to a finished commit, unless a journal could not be
  // undone: then every backup stays for the next attempt.
  bool undone = true;
  for (const std::string& name : names) {
    if (IsOwnName(name, kJournalEnd) && !RollBackJournal(fs, folder, folder + "/" + name)) {
      undone = false;
    }
  }
  for (const std::string& name : names) {
    FsStat st;
    std::string stale = folder + "/" + name;
    if ((IsTempName(name) || (undone && IsBackupName(name))) &&
        fs->Stat(stale, false, &st) == FsError::kNone && !st.folder) {
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
    // Each final name that holds something gets a backup name, so that a
    // failure or a crash later on can put every previous file back.
    FsError found = fs->Stat(step.final, false, &st);
    if (found == FsError::kNone && st.folder) {
      error = FsError::kNotRegular;  // a folder of that name is never moved
      break;
    }
    if (found == FsError::kNone) {
      std::string backup;
      if (!FormOwnPath(file.final.c_str(), kBackupEnd, &backup) || !Native(backup, &step.backup)) {
        error = Fs::LastError();
        break;
      }
    } else if (found != FsError::kNotFound) {
      error = found;
      break;
    }
    // The journal names them all in one folder, one per line.
    if (step.final.find('\n') != std::string::npos ||
        (!steps.empty() && NativeParentOf(step.final) != NativeParentOf(steps[0].final))) {
      error = FsError::kOther;
      break;
    }
    steps.push_back(step);
  }
  // The journal is durable before the first rename: a run killed anywhere
  // up to its removal is undone by the next run's RemoveStaleTemps.
  std::string journal, folder = steps.empty() ? "" : NativeParentOf(steps[0].final);
  if (error == FsError::kNone && !steps.empty()) {
    std::string windows;
    if (!FormOwnPath(files[0].final.c_str(), kJournalEnd, &windows) || !Native(windows, &journal)) {
      error = Fs::LastError();
    } else {
      error = WriteDurably(fs, journal, JournalOf(steps));
      if (error != FsError::kNone) journal.clear();
    }
  }
  // Every previous file is moved aside before the first new one comes in.
  for (Step& step : steps) {
    if (error != FsError::kNone || step.backup.empty()) continue;
    error = fs->Rename(step.final, step.backup);
    step.backedUp = error == FsError::kNone;
  }
  for (Step& step : steps) {
    if (error != FsError::kNone || step.drop) continue;
    error = fs->Rename(step.temp, step.final);
    step.placed = error == FsError::kNone;
  }
  if (error == FsError::kNone && !steps.empty()) error = fs->SyncFolder(folder);
  // The commit is done once its journal is gone for good.
  if (error == FsError::kNone && !journal.empty()) {
    error = fs->Remove(journal);
    if (error == FsError::kNone) journal.clear();
    if (error == FsError::kNone) error = fs->SyncFolder(folder);
  }
  if (error != FsError::kNone && RollBack(fs, steps) && !journal.empty()) fs->Remove(journal);
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
