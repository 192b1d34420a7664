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

namespace {
const char kSettingsFileName[] = "Velorant.env";
constexpr size_t kKeyBufferSize = 512;  // the key and the line

// The settings file's path and the key of user and data ID; FALSE when they
// do not fit their buffers.
BOOL FormFileAndKey(const char* user, const char* data_id, char* file, char* key) {
  return ClConditionEntry::GetSettingsFilePath(file) &&
         _snprintf(key, kKeyBufferSize, "%.64s/%.34s:", user, data_id) >= 0;
}

// A failed save: error (kOther when none is known) becomes the last error.
BOOL SaveFailed(FsError error) {
  Fs::SetLastError(error != FsError::kNone ? error : FsError::kOther);
  return FALSE;
}
}  // namespace

BOOL ClConditionEntry::GetSettingsFilePath(char* file) {
  char folder[kPathBufferSize] = {};
  ClFileMgr::Inst()->GetAppFolderPath(1, folder);
  return _snprintf(file, kPathBufferSize, "%s%s", folder, kSettingsFileName) >= 0;
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
  char folder[kPathBufferSize] = {};
  ClFileMgr::Inst()->GetAppFolderPath(1, folder);
  char folder_dir[kPathBufferSize];
  std::memcpy(folder_dir, folder, sizeof folder);
  bool exists = folder[0] != 0 && GetDirPart(folder_dir) && PathIsDirectoryA(folder_dir);
  Fs::SetLastError(FsError::kNone);
  if (!exists && !CreateFolders(folder)) return SaveFailed(Fs::LastError());

  char file[kPathBufferSize], key[kKeyBufferSize], line[kKeyBufferSize];
  // A line feed in the path would split its entry in two.
  if (std::strchr(path, '\n') != nullptr ||
      !FormFileAndKey(m_szUserID, m_szDataID, file, key) ||
      _snprintf(line, sizeof line, "%s%s\n", key, path) < 0) {
    return SaveFailed(FsError::kTooLong);
  }
  // Other runs save their entries into the same file: the whole read and
  // rewrite happens under the file's lock, so that none of them is lost.
  std::unique_ptr<FsLock> lock;
  FsError locked = LockFileByName(file, kSettingsLockWaitMs, &lock);
  if (locked != FsError::kNone) return SaveFailed(locked);
  RemoveStaleTempFileNames(folder, kSettingsTempPrefix);
  std::string content;
  CFileStatus status;
  // The old file is only read: the new content replaces it by a rename.
  if (CFile::GetStatus(file, status)) {
    Fs::SetLastError(FsError::kNone);
    if (!ReadSettingsFile(file, &content)) return SaveFailed(Fs::LastError());
  }
  Fs::SetLastError(FsError::kNone);
  if (!ReplaceSettingsFile(file, ReplaceStoredLine(content, key, line))) {
    return SaveFailed(Fs::LastError());
  }
  return TRUE;
}
