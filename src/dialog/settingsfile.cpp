#include "settingsfile.h"

#include <cstring>

#include "cfile.h"
#include "pathfuncs.h"
#include "winfs.h"

const char kSettingsTempPrefix[] = "Vel";

namespace {
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

BOOL ReadSettingsFile(const char* file, std::string* content) {
  CFile f;
  if (!f.Open(file, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
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
  if (folder.empty() || GetTempFileNameA(folder.c_str(), kSettingsTempPrefix, 0, temp) == 0) return FALSE;
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
  FsError cause = Fs::LastError();  // the removal must not hide why
  DeleteFileA(temp);
  Fs::SetLastError(cause);
  return FALSE;
}

