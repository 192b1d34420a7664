#include "filecommit.h"

#include <algorithm>
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
// The list of an export's temporary files: this head, one bare name a line,
// then kJournalTail.
const char kTempListHead[] = "velor-temps 1";
// The record of a finished commit: this head, then "J journal" and one
// "B backup" line for each backup to remove, then kJournalTail.
const char kDoneHead[] = "velor-done 1";

// A new name of the program's pattern with ending end in the folder part
// folder.
std::string RandomOwnName(const std::string& folder, const char* end) {
  // One generator per thread: exports of a batch name their files at once.
  thread_local std::mt19937 generator{std::random_device{}()};
  char digits[kOwnDigits + 1];
  std::snprintf(digits, sizeof digits, "%08X", static_cast<unsigned>(generator()));
  return folder + kOwnStart + digits + end;
}

// ASCII c in upper case.
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when the bare name is one of the program's with ending end; with
// anyCase, also in other letter cases.
bool IsOwnName(const std::string& name, const char* end, bool anyCase = false) {
  const size_t start = sizeof kOwnStart - 1, end_size = std::strlen(end);
  if (name.size() != start + kOwnDigits + end_size) return false;
  auto same = [&](size_t at, const char* part, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (anyCase ? Upper(name[at + i]) != Upper(part[i]) : name[at + i] != part[i]) return false;
    }
    return true;
  };
  if (!same(0, kOwnStart, start) || !same(start + kOwnDigits, end, end_size)) return false;
  for (size_t i = start; i < start + kOwnDigits; ++i) {
    char c = anyCase ? Upper(name[i]) : name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  return true;
}

// The native path of windows in *native; kNotFound when it has none.
FsError Native(const std::string& windows, std::string* native) {
  return DriveMapToNative(windows.c_str(), native) ? FsError::kNone : FsError::kNotFound;
}

// Forms in *bare a new bare name with ending end in the native folder, none
// in use there yet; kTooLong when prefix (the folder's part of the path the
// caller names it by) and the name would be longer than MAX_PATH.
FsError FormOwnName(Fs* fs, const std::string& folder, size_t prefix, const char* end,
                    std::string* bare) {
  for (int attempt = 0; attempt < 16; ++attempt) {
    std::string name = RandomOwnName("", end);
    if (prefix + name.size() > MAX_PATH) return FsError::kTooLong;
    FsStat st;
    FsError error = fs->Stat(folder + "/" + name, false, &st);
    if (error == FsError::kNotFound) {
      *bare = name;
      return FsError::kNone;
    }
    if (error != FsError::kNone) return error;
  }
  return FsError::kExists;
}

// The Windows folder part of final_path (up to and including its last
// backslash) in *windows and its native folder in *native.
FsError FolderOf(const char* final_path, std::string* windows, std::string* native) {
  size_t length = std::strlen(final_path), slash = MbcsFindLast(final_path, length, '\\');
  windows->assign(final_path, slash == length ? 0 : slash + 1);
  return DriveMapFolderOf(final_path, native) ? FsError::kNone : FsError::kNotFound;
}

// Forms in *own a new name with ending end beside the Windows path
// final_path, as a Windows path, and its native path in *native.
FsError FormOwnPath(const char* final_path, const char* end, std::string* own, std::string* native) {
  std::string windows, folder, bare;
  FsError error = FolderOf(final_path, &windows, &folder);
  if (error == FsError::kNone) error = FormOwnName(Fs::Default(), folder, windows.size(), end, &bare);
  if (error != FsError::kNone) return error;
  *own = windows + bare;
  *native = folder + "/" + bare;
  return FsError::kNone;
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
  bool stranded = false;            // the previous file could not be put back
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

// Puts the previous file at backup back at final when a rename cannot: a
// copy of its bytes, made durable, then the backup removed.
bool CopyBack(Fs* fs, const std::string& backup, const std::string& final) {
  std::string bytes;
  FsStat st;
  if (!ReadNativeFile(backup.c_str(), &bytes)) return false;
  // A new file that did not take the final name's place is moved aside.
  if (fs->Stat(final, false, &st) == FsError::kNone && fs->Remove(final) != FsError::kNone) return false;
  if (WriteDurably(fs, final, bytes) != FsError::kNone) return false;
  fs->Remove(backup);  // named by the journal, which puts it over final again
  return true;
}

// Puts back what the steps done so far changed, last first. False when a
// step could not be undone; the steps whose previous file stays at its
// backup are marked stranded.
bool RollBack(Fs* fs, std::vector<Step>& steps) {
  bool undone = true;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (step->placed && fs->Rename(step->final, step->temp) != FsError::kNone) undone = false;
    if (step->backedUp && fs->Rename(step->backup, step->final) != FsError::kNone &&
        !CopyBack(fs, step->backup, step->final)) {
      step->stranded = true;
      undone = false;
    }
  }
  return undone;
}

// Undoes the commit that the journal native in folder, holding text,
// describes: every previous file comes back from its backup, every final
// name that had none is cleared. Removes the journal when all is undone.
void RollBackJournal(Fs* fs, const std::string& folder, const std::string& native,
                     const std::string& text) {
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
    if (IsOwnName(line.substr(2, space - 2), kBackupEnd) && IsBareName(line.substr(space + 1)) &&
        fs->Stat(backup, false, &st) == FsError::kNone && fs->Rename(backup, final) != FsError::kNone) {
      undone = false;
    }
  }
  if (undone && fs->SyncFolder(folder) == FsError::kNone) fs->Remove(native);
}

// The lines of text between its head line head and its tail line; false
// when text is not complete in that form.
bool ListLines(const std::string& text, const char* head_line, std::vector<std::string>* lines) {
  const std::string head = std::string(head_line) + "\n", tail = std::string(kJournalTail) + "\n";
  if (text.size() < head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
      text.compare(text.size() - tail.size(), tail.size(), tail) != 0) {
    return false;
  }
  for (size_t pos = head.size(); pos < text.size() - tail.size();) {
    size_t lf = text.find('\n', pos);
    lines->push_back(text.substr(pos, lf - pos));
    pos = lf + 1;
  }
  return true;
}

// The bare names a complete list of ReserveTempPaths (text) names; false
// for a text that is no such list.
bool ListedTemps(const std::string& text, std::vector<std::string>* names) {
  if (!ListLines(text, kTempListHead, names)) return false;
  for (const std::string& name : *names) {
    if (!IsOwnName(name, kTempEnd)) return false;
  }
  return true;
}

// The record that the commit of steps, whose journal is the native path
// journal, is done.
std::string DoneRecordOf(const std::string& journal, const std::vector<Step>& steps) {
  std::string text = std::string(kDoneHead) + "\nJ " + BareName(journal) + "\n";
  for (const Step& step : steps) {
    if (step.backedUp) text += "B " + BareName(step.backup) + "\n";
  }
  return text + kJournalTail + "\n";
}

// Finishes the commit that the record native in folder (its lines) says is
// done: its journal and backups are removed, then the record once none of
// them is left.
void FinishDoneCommit(Fs* fs, const std::string& folder, const std::string& native,
                      const std::vector<std::string>& lines) {
  bool gone = true;
  for (const std::string& line : lines) {
    std::string name = line.size() > 2 ? line.substr(2) : std::string();
    bool ours = (line.compare(0, 2, "J ") == 0 && IsOwnName(name, kJournalEnd)) ||
                (line.compare(0, 2, "B ") == 0 && IsOwnName(name, kBackupEnd));
    FsStat st;
    std::string path = folder + "/" + name;
    FsError found = ours ? fs->Stat(path, false, &st) : FsError::kNotFound;
    if (found == FsError::kNotFound) continue;
    if (found != FsError::kNone || st.folder || fs->Remove(path) != FsError::kNone) gone = false;
  }
  if (gone && fs->SyncFolder(folder) == FsError::kNone) fs->Remove(native);
}

// Removes the temporary files the list native in folder names (with
// removeFiles; else they are only looked for), then the list once none of
// them is left.
void RemoveListedTemps(Fs* fs, const std::string& folder, const std::string& native,
                       const std::vector<std::string>& names, bool removeFiles) {
  bool gone = true;
  for (const std::string& name : names) {
    FsStat st;
    std::string temp = folder + "/" + name;
    FsError found = fs->Stat(temp, false, &st);
    if (found == FsError::kNotFound) continue;
    if (found != FsError::kNone || st.folder || !removeFiles || fs->Remove(temp) != FsError::kNone) {
      gone = false;
    }
  }
  if (gone) fs->Remove(native);
}

// True when text is where a journal or list of the program was cut while
// it was written: a beginning of its head line, and nothing else.
bool IsCutHead(const std::string& text) {
  for (const char* head : {kJournalHead, kTempListHead, kDoneHead}) {
    const std::string line = std::string(head) + "\n";
    if (text.size() < line.size() && line.compare(0, text.size(), text) == 0) return true;
  }
  return false;
}
}  // namespace

namespace {
// Forms count new temporary names in the native folder (bare names in
// *bares) and writes the durable list of them (*list, native); see
// ReserveTempPaths. prefix as for FormOwnName.
FsError ReserveNames(Fs* fs, const std::string& folder, size_t prefix, size_t count,
                     std::vector<std::string>* bares, std::string* list) {
  std::vector<std::string> names;
  std::string text = std::string(kTempListHead) + "\n";
  while (names.size() < count) {
    std::string bare;
    FsError error = FormOwnName(fs, folder, prefix, kTempEnd, &bare);
    if (error != FsError::kNone) return error;
    if (std::find(names.begin(), names.end(), bare) != names.end()) continue;
    names.push_back(bare);
    text += bare + "\n";
  }
  std::string bare;
  FsError error = FormOwnName(fs, folder, prefix, kJournalEnd, &bare);
  if (error == FsError::kNone) error = WriteDurably(fs, folder + "/" + bare, text + kJournalTail + "\n");
  if (error != FsError::kNone) return error;
  *bares = std::move(names);
  *list = folder + "/" + bare;
  return FsError::kNone;
}

// Removes the native list of ReserveNames once none of the files it names
// is left.
void ReleaseNames(Fs* fs, const std::string& list) {
  std::string text;
  std::vector<std::string> names;
  if (ReadNativeFile(list.c_str(), &text) && ListedTemps(text, &names)) {
    RemoveListedTemps(fs, NativeParentOf(list), list, names, false);
  }
}

// The clean-up of RemoveStaleTemps in the native folder.
void RemoveStaleTempsIn(Fs* fs, const std::string& folder) {
  std::vector<std::string> names;
  if (fs->ListFolder(folder, &names) != FsError::kNone) return;
  // Finished commits first: their journals and backups go. Then unfinished
  // commits: they take their backups back. Then the lists of temporary
  // files; a list is kept while a file it names cannot be removed. Whatever
  // no journal or list names stays.
  std::vector<std::pair<std::string, std::string>> journals;  // native path, text
  for (const std::string& name : names) {
    std::string native = folder + "/" + name, text;
    FsStat st;
    if (IsOwnName(name, kJournalEnd) && fs->Stat(native, false, &st) == FsError::kNone &&
        !st.folder && ReadNativeFile(native.c_str(), &text)) {
      journals.emplace_back(native, text);
    }
  }
  for (const auto& [native, text] : journals) {
    std::vector<std::string> lines;
    if (ListLines(text, kDoneHead, &lines)) FinishDoneCommit(fs, folder, native, lines);
  }
  for (const auto& [native, text] : journals) {
    FsStat st;
    std::vector<std::string> temps;
    if (text.compare(0, sizeof kJournalHead, std::string(kJournalHead) + "\n") == 0) {
      if (fs->Stat(native, false, &st) == FsError::kNone) RollBackJournal(fs, folder, native, text);
    } else if (ListedTemps(text, &temps)) {
      RemoveListedTemps(fs, folder, native, temps, true);
    } else if (IsCutHead(text) ||
               (text.compare(0, sizeof kDoneHead, std::string(kDoneHead) + "\n") == 0 &&
                !ListLines(text, kDoneHead, &temps))) {
      fs->Remove(native);  // cut while it was written
    }
  }
}
}  // namespace

FsError ReserveTempPaths(const char* final_path, size_t count, std::vector<std::string>* temps,
                         std::string* list) {
  std::string windows, folder, native;
  std::vector<std::string> bares;
  FsError error = FolderOf(final_path, &windows, &folder);
  if (error == FsError::kNone) {
    error = ReserveNames(Fs::Default(), folder, windows.size(), count, &bares, &native);
  }
  if (error != FsError::kNone) return error;
  temps->clear();
  for (const std::string& bare : bares) temps->push_back(windows + bare);
  *list = windows + BareName(native);
  return FsError::kNone;
}

void ReleaseTempPaths(const std::string& list) {
  std::string native;
  if (!list.empty() && Native(list, &native) == FsError::kNone) ReleaseNames(Fs::Default(), native);
}

bool IsOwnFileName(const std::string& name) {
  return IsOwnName(name, kTempEnd, true) || IsOwnName(name, kBackupEnd, true) ||
         IsOwnName(name, kJournalEnd, true);
}

void RemoveStaleTemps(const char* path) {
  std::string folder;
  if (DriveMapFolderOf(path, &folder)) RemoveStaleTempsIn(Fs::Default(), folder);
}

FsError CommitFiles(const std::vector<FileCommit>& files, std::vector<LeftFile>* left) {
  Fs* fs = Fs::Default();
  std::vector<Step> steps;
  FsError error = FsError::kNone;
  for (const FileCommit& file : files) {
    Step step;
    error = Native(file.temp, &step.temp);
    if (error == FsError::kNone) error = Native(file.final, &step.final);
    if (error != FsError::kNone) break;
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
    // A file the user marked read-only is not replaced (as Windows refuses
    // to); a file that is replaced passes its permissions on.
    if (found == FsError::kNone && st.regular && !st.writable) {
      error = FsError::kAccessDenied;
      break;
    }
    if (found == FsError::kNone && st.regular && !step.drop) {
      error = fs->CopyMode(step.final, step.temp);
      if (error != FsError::kNone) break;
    }
    if (found == FsError::kNone) {
      std::string backup;
      error = FormOwnPath(file.final.c_str(), kBackupEnd, &backup, &step.backup);
      if (error != FsError::kNone) break;
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
    error = FormOwnPath(files[0].final.c_str(), kJournalEnd, &windows, &journal);
    if (error == FsError::kNone) error = WriteDurably(fs, journal, JournalOf(steps));
    if (error != FsError::kNone) journal.clear();
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
  // The commit is done once its journal is gone for good, or, when there
  // are backups to remove, once a durable record says so: that record names
  // the journal and the backups, and goes last, when they are all gone.
  std::string done;
  bool backups = false;
  for (const Step& step : steps) backups = backups || step.backedUp;
  if (error == FsError::kNone && !journal.empty() && backups) {
    std::string windows;
    error = FormOwnPath(files[0].final.c_str(), kJournalEnd, &windows, &done);
    if (error == FsError::kNone) error = WriteDurably(fs, done, DoneRecordOf(journal, steps));
    if (error != FsError::kNone) done.clear();
  }
  if (error == FsError::kNone && !journal.empty()) {
    FsError removed = fs->Remove(journal);
    if (done.empty()) {
      error = removed;
      if (error == FsError::kNone) error = fs->SyncFolder(folder);
    }
    if (removed == FsError::kNone) journal.clear();
  }
  if (error != FsError::kNone && RollBack(fs, steps) && !journal.empty()) fs->Remove(journal);
  bool gone = journal.empty();
  for (size_t i = 0; i < steps.size(); ++i) {
    const Step& step = steps[i];
    bool stays = error != FsError::kNone
                     ? step.stranded
                     : step.backedUp && fs->Remove(step.backup) != FsError::kNone;
    gone = gone && !stays;
    if (stays && left != nullptr) {
      std::string windows = files[i].final;
      size_t slash = MbcsFindLast(windows.c_str(), windows.size(), '\\');
      windows.resize(slash == windows.size() ? 0 : slash + 1);
      left->push_back({windows + BareName(step.backup), files[i].final});
    }
  }
  // What the record names and stays is removed by the next clean-up.
  if (!done.empty() && gone) fs->Remove(done);
  DiscardFiles(files);
  return error;
}

void DiscardFiles(const std::vector<FileCommit>& files, std::vector<LeftFile>* left) {
  Fs* fs = Fs::Default();
  for (const FileCommit& file : files) {
    std::string native;
    FsStat st;
    if (DriveMapToNative(file.temp.c_str(), &native) &&
        fs->Stat(native, false, &st) == FsError::kNone && fs->Remove(native) != FsError::kNone &&
        left != nullptr) {
      left->push_back({file.temp, file.final});
    }
  }
}

FsError ReplaceWholeFile(const std::string& native, const std::string& bytes, WholeFileStep* step) {
  Fs* fs = Fs::Default();
  const std::string folder = NativeParentOf(native);
  WholeFileStep failed = WholeFileStep::kBeside;
  // Under the folder's lock the clean-up of the folder cannot take the
  // temporary file of another writer, nor another writer's this one.
  std::unique_ptr<FsLock> lock;
  FsError error = fs->LockFolder(folder, kWholeFileLockWaitMs, &lock);
  if (error == FsError::kNone) RemoveStaleTempsIn(fs, folder);
  std::vector<std::string> bares;
  std::string list, temp;
  if (error == FsError::kNone) error = ReserveNames(fs, folder, 0, 1, &bares, &list);
  std::unique_ptr<FsFile> file;
  if (error == FsError::kNone) {
    temp = folder + "/" + bares[0];
    error = fs->Open(temp, FsOpen::kWriteNew, &file);
  }
  if (error == FsError::kNone) {
    failed = WholeFileStep::kWrite;
    error = file->Write(bytes.data(), bytes.size());
    if (error == FsError::kNone) error = file->Sync();
    FsError closed = file->Close();
    if (error == FsError::kNone) error = closed;
  }
  // The new file keeps the permissions of the one it replaces.
  FsStat st;
  if (error == FsError::kNone && fs->Stat(native, false, &st) == FsError::kNone && st.regular) {
    error = fs->CopyMode(native, temp);
  }
  if (error == FsError::kNone) {
    failed = WholeFileStep::kPlace;
    error = fs->Rename(temp, native);
    if (error == FsError::kNone) error = fs->SyncFolder(folder);
  }
  if (error != FsError::kNone && file != nullptr) fs->Remove(temp);
  if (!list.empty()) ReleaseNames(fs, list);
  if (step != nullptr) *step = error == FsError::kNone ? WholeFileStep::kNone : failed;
  return error;
}
