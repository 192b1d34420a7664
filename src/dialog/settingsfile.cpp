#include "settingsfile.h"

#include <cstring>

#include "cfile.h"
#include "drivemap.h"
#include "filecommit.h"
#include "pathfuncs.h"
#include "winfs.h"

namespace {
// Where the line of content at pos ends: its first CR or LF, else the end.
size_t LineEnd(const std::string& content, size_t pos) {
  size_t end = content.find_first_of("\r\n", pos);
  return end == std::string::npos ? content.size() : end;
}

// Where the line after the one at pos begins: after its CR LF, LF or CR;
// npos when it is the last.
size_t NextLine(const std::string& content, size_t pos) {
  size_t end = LineEnd(content, pos);
  if (end == content.size()) return std::string::npos;
  return content.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
}

// Index of the first line of content that begins with key; npos when none.
size_t FindKeyLine(const std::string& content, const std::string& key, size_t from = 0) {
  for (size_t pos = from; pos < content.size(); pos = NextLine(content, pos)) {
    if (content.compare(pos, key.size(), key) == 0) return pos;
    if (NextLine(content, pos) == std::string::npos) break;
  }
  return std::string::npos;
}

}  // namespace

BOOL IsSettingsKey(const std::string& key) {
  for (char c : key) {
    if ((c >= 0 && c < 0x20) || c == 0x7F) return FALSE;
  }
  return !key.empty();
}

BOOL FindStoredPath(const std::string& content, const std::string& key, char* buffer) {
  if (!IsSettingsKey(key)) return FALSE;
  size_t pos = FindKeyLine(content, key);
  if (pos == std::string::npos) return FALSE;
  size_t start = pos + key.size();
  size_t end = LineEnd(content, start);
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
    size_t next = NextLine(content, pos);
    copied = next == std::string::npos ? content.size() : next;
  }
  kept.append(content, copied, std::string::npos);
  if (!kept.empty() && kept.back() != '\n' && kept.back() != '\r') kept += '\n';
  return kept + line;
}

BOOL ReadSettingsFile(const char* file, std::string* content) {
  CFile f;
  if (!f.Open(file, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
  try {
    ULONGLONG length = f.GetLength();
    if (length > kSettingsFileLimit) {
      Fs::SetLastError(FsError::kTooLarge);
      return FALSE;
    }
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

FsError ReplaceSettingsFile(const char* file, const std::string& content) {
  std::string native;
  if (!DriveMapToNative(file, &native)) return FsError::kNotFound;
  return ReplaceWholeFile(native, content);
}
