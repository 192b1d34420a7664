#include "outputpath_store.h"

#include <cstring>

#include "ClConditionEntry.h"
#include "ClFileMgr.h"
#include "cfile.h"
#include "pathapi.h"
#include "pathfuncs.h"
#include "winfmt.h"
#include "winfs.h"

namespace {
const char kSettingsFileName[] = "Velorant.env";
constexpr size_t kKeyBufferSize = 512;  // the key and the line

// Index of the first line of content that begins with key; npos when none.
size_t FindKeyLine(const std::string& content, const std::string& key, size_t from = 0) {
  for (size_t pos = from; pos < content.size();) {
    if (content.compare(pos, key.size(), key) == 0) return pos;
    size_t lf = content.find('\n', pos);
    if (lf == std::string::npos) break;
    pos = lf + 1;
  }
  return std::string::npos;
}

// The settings file's path and the key of user and data ID; FALSE when they
// do not fit their buffers.
BOOL FormFileAndKey(const char* user, const char* data_id, char* file, char* key) {
  char folder[kPathBufferSize] = {};
  ClFileMgr::Inst()->GetAppFolderPath(1, folder);
  return _snprintf(file, kPathBufferSize, "%s%s", folder, kSettingsFileName) >= 0 &&
         _snprintf(key, kKeyBufferSize, "%.64s/%.34s:", user, data_id) >= 0;
}
}  // namespace

BOOL FindStoredPath(const std::string& content, const std::string& key, char* buffer) {
  size_t pos = FindKeyLine(content, key);
  if (pos == std::string::npos) return FALSE;
  size_t start = pos + key.size();
  size_t end = content.find('\n', start);
  if (end == std::string::npos) end = content.size();
  if (end - start > MAX_PATH) return FALSE;
  std::memcpy(buffer, content.data() + start, end - start);
  buffer[end - start] = 0;
  return TRUE;
}

std::string ReplaceStoredLine(const std::string& content, const std::string& key,
                              const std::string& line) {
  std::string kept;
  size_t copied = 0;
  for (size_t pos = FindKeyLine(content, key); pos != std::string::npos;
       pos = FindKeyLine(content, key, copied)) {
    kept.append(content, copied, pos - copied);
    size_t lf = content.find('\n', pos);
    copied = lf == std::string::npos ? content.size() : lf + 1;
  }
  kept.append(content, copied, std::string::npos);
  if (!kept.empty() && kept.back() != '\n') kept += '\n';
  return kept + line;
}

BOOL ReadSettingsFile(const char* file, unsigned int mode, std::string* content) {
  CFile f;
  if (!f.Open(file, mode | CFile::shareDenyWrite)) return FALSE;
  try {
    ULONGLONG length = f.GetLength();
    if (length > kSettingsFileLimit) return FALSE;
    content->assign(static_cast<size_t>(length), '\0');
    UINT got = f.Read(content->data(), static_cast<UINT>(length));
    content->resize(got);
    f.Close();
  } catch (CFileException* e) {
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

BOOL ReplaceSettingsFile(const char* file, const std::string& content) {
  std::string folder = GetFolderPart(file);
  char temp[MAX_PATH];
  if (folder.empty() || GetTempFileNameA(folder.c_str(), "Vel", 0, temp) == 0) return FALSE;
  BOOL written = FALSE;
  {
    CFile f;
    if (f.Open(temp, CFile::modeCreate | CFile::modeWrite)) {
      try {
        f.Write(content.data(), static_cast<UINT>(content.size()));
        f.Flush();
        f.Close();
        written = TRUE;
      } catch (CFileException* e) {
        e->Delete();
      }
    }
  }
  if (written &&
      MoveFileExA(temp, file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return TRUE;
  }
  DeleteFileA(temp);
  return FALSE;
}

BOOL ClConditionEntry::LoadOutputPath(char* buffer) {
  char file[kPathBufferSize], key[kKeyBufferSize];
  if (!FormFileAndKey(m_szUserID, m_szDataID, file, key)) return FALSE;
  CFileStatus status;
  if (!CFile::GetStatus(file, status)) return FALSE;
  std::string content;
  if (!ReadSettingsFile(file, CFile::modeRead, &content)) return FALSE;
  return FindStoredPath(content, key, buffer);
}

BOOL ClConditionEntry::SaveOutputPath(const char* path) {
  char folder[kPathBufferSize] = {};
  ClFileMgr::Inst()->GetAppFolderPath(1, folder);
  char folder_dir[kPathBufferSize];
  std::memcpy(folder_dir, folder, sizeof folder);
  bool exists = folder[0] != 0 && GetDirPart(folder_dir) && PathIsDirectoryA(folder_dir);
  if (!exists && !CreateFolders(folder)) return FALSE;

  char file[kPathBufferSize], key[kKeyBufferSize], line[kKeyBufferSize];
  // A line feed in the path would split its entry in two.
  if (std::strchr(path, '\n') != nullptr ||
      !FormFileAndKey(m_szUserID, m_szDataID, file, key) ||
      _snprintf(line, sizeof line, "%s%s\n", key, path) < 0) {
    return FALSE;
  }
  std::string content;
  CFileStatus status;
  if (CFile::GetStatus(file, status) && !ReadSettingsFile(file, CFile::modeReadWrite, &content)) {
    return FALSE;
  }
  return ReplaceSettingsFile(file, ReplaceStoredLine(content, key, line));
}
