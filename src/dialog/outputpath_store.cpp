// The remembered output path: the members of the condition dialog that read
// and write its entry in the settings file.
#include "ClConditionEntry.h"

#include <cstring>
#include <memory>
#include <string>

#include "ClFileMgr.h"
#include "cfile.h"
#include "drivemap.h"
#include "fs.h"
#include "filelock.h"
#include "pathapi.h"
#include "pathfuncs.h"
#include "settingsfile.h"
#include "winfmt.h"
#include "winfs.h"

namespace {
const char kSettingsFileName[] = "Velorant.env";
constexpr size_t kKeyBufferSize = 512;  // the key and the line

// The settings file's path and the key of user and data ID; FALSE (the
// reason in Fs::LastError()) when the path cannot be had or they do not fit
// their buffers.
BOOL FormFileAndKey(const char* user, const char* data_id, char* file, char* key) {
  if (!ClConditionEntry::GetSettingsFilePath(file)) return FALSE;
  if (_snprintf(key, kKeyBufferSize, "%.64s/%.34s:", user, data_id) < 0) {
    Fs::SetLastError(FsError::kTooLong);
    return FALSE;
  }
  // A control character (a line break of a store edited by hand) would
  // split the line and forge another entry.
  if (IsSettingsKey(key)) return TRUE;
  Fs::SetLastError(FsError::kOther);
  return FALSE;
}

// A failed save: error (kOther when none is known) becomes the last error.
BOOL SaveFailed(FsError error) {
  Fs::SetLastError(error != FsError::kNone ? error : FsError::kOther);
  return FALSE;
}
}  // namespace

BOOL ClConditionEntry::GetSettingsFilePath(char* file) {
  char folder[kPathBufferSize] = {};
  // Without the folder the name alone would be a file in the current
  // folder, the program's own: that is never the settings file.
  if (ClFileMgr::Inst()->GetAppFolderPath(1, folder) != 0 || folder[0] == '\0') {
    file[0] = '\0';
    Fs::SetLastError(FsError::kIoError);
    return FALSE;
  }
  if (_snprintf(file, kPathBufferSize, "%s%s", folder, kSettingsFileName) >= 0) return TRUE;
  Fs::SetLastError(FsError::kTooLong);
  return FALSE;
}

BOOL ClConditionEntry::SettingsFolderWritable(char* folder) {
  std::memset(folder, 0, kPathBufferSize);
  ClFileMgr::Inst()->GetAppFolderPath(1, folder);
  std::string native;
  // A folder on no drive of the map is left to the save, which names it.
  if (folder[0] == '\0' || !DriveMapToNative(folder, &native)) return TRUE;
  // The folder itself, not its separator ("/", "C:\\" stay whole).
  while (native.size() > 1 && (native.back() == '/' || native.back() == '\\') &&
         native[native.size() - 2] != ':') {
    native.pop_back();
  }
  for (;;) {
    FsStat st;
    FsError error = Fs::Default()->Stat(native, true, &st);
    if (error == FsError::kNone) return st.folder && st.writable ? TRUE : FALSE;
    if (error != FsError::kNotFound) return FALSE;
    std::string parent = NativeParentOf(native);
    if (parent == native) return FALSE;
    native = parent;
  }
}

BOOL ClConditionEntry::LoadOutputPath(char* buffer) {
  char file[kPathBufferSize], key[kKeyBufferSize];
  if (!FormFileAndKey(m_szUserID, m_szDataID, file, key)) return FALSE;
  CFileStatus status;
  if (!CFile::GetStatus(file, status)) return FALSE;
  std::string content;
  if (!ReadSettingsFile(file, &content)) return FALSE;
  return FindStoredPath(content, key, buffer);
}

BOOL ClConditionEntry::SaveOutputPath(const char* path) {
  // The folder is read from the store once: the file is saved where the
  // path names it, or not at all.
  char file[kPathBufferSize], key[kKeyBufferSize], line[kKeyBufferSize];
  Fs::SetLastError(FsError::kNone);
  if (!FormFileAndKey(m_szUserID, m_szDataID, file, key)) return SaveFailed(Fs::LastError());
  // A line feed in the path would split its entry in two.
  if (std::strpbrk(path, "\r\n") != nullptr || _snprintf(line, sizeof line, "%s%s\n", key, path) < 0) {
    return SaveFailed(FsError::kTooLong);
  }
  const std::string folder = GetFolderPart(file);
  char folder_dir[kPathBufferSize];
  std::memcpy(folder_dir, folder.c_str(), folder.size() + 1);
  bool exists = GetDirPart(folder_dir) && PathIsDirectoryA(folder_dir);
  Fs::SetLastError(FsError::kNone);
  if (!exists && !CreateFolders(folder.c_str())) return SaveFailed(Fs::LastError());

  // Other runs save their entries into the same file: the whole read and
  // rewrite happens under the file's lock, so that none of them is lost.
  // The lock makes the file when it is missing; a save that fails then
  // takes that empty file away again.
  // A file whose status cannot be read is not taken for a missing one: its
  // entries would be lost.
  std::string native;
  if (!DriveMapToNative(file, &native)) return SaveFailed(FsError::kNotFound);
  Fs* fs = Fs::Default();
  FsStat st;
  FsError found = fs->Stat(native, true, &st);
  if (found != FsError::kNone && found != FsError::kNotFound) return SaveFailed(found);
  const bool existed = found == FsError::kNone;
  // A settings file the user marked read-only is not replaced.
  if (existed && !st.writable) return SaveFailed(FsError::kAccessDenied);
  std::unique_ptr<FsLock> lock;
  FsError locked = LockFileByName(file, kSettingsLockWaitMs, &lock);
  if (locked != FsError::kNone) return SaveFailed(locked);
  auto failed = [&](FsError error) {
    CFileStatus now;
    // A removal that fails leaves an empty file, which reads as no entries.
    if (!existed && CFile::GetStatus(file, now) && now.m_size == 0) DeleteFileA(file);
    return SaveFailed(error);
  };
  std::string content;
  // The old file is only read: the new content replaces it by a rename.
  // (Read whenever it is there: another run may have made it meanwhile.)
  found = fs->Stat(native, true, &st);
  if (found == FsError::kNone) {
    Fs::SetLastError(FsError::kNone);
    if (!ReadSettingsFile(file, &content)) return failed(Fs::LastError());
  } else if (found != FsError::kNotFound) {
    return failed(found);
  }
  FsError replaced = ReplaceSettingsFile(file, ReplaceStoredLine(content, key, line));
  return replaced == FsError::kNone ? TRUE : failed(replaced);
}
