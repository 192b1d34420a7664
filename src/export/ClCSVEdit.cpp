#include "ClCSVEdit.h"

#include <cstring>
#include <vector>

#include "filelock.h"
#include "mbcs.h"
#include "outputpaths.h"
#include "rowfields.h"

ClCSVEdit::ClCSVEdit() {
  // Every line of the three files is comma-separated without quotes.
  m_clInfo.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clHead.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clHeader.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clSsc.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
}

ClCSVEdit::~ClCSVEdit() {
  std::vector<FileCommit> left;
  for (int file = OF_ASSET; file <= OF_LOG; ++file) {
    m_aclFile[file].Close();
    if (!m_astrTemp[file].empty()) left.push_back({m_astrTemp[file], m_astrFinal[file]});
  }
  DropTemps(std::move(left));
}

FsError ClCSVEdit::ReserveTemps(const char* path, unsigned mask) {
  std::vector<int> files;
  for (int file = OF_ASSET; file <= OF_LOG; ++file) {
    if (mask & (1u << file)) files.push_back(file);
  }
  std::vector<std::string> temps;
  std::string list;
  FsError error = ReserveTempPaths(path, files.size(), &temps, &list);
  if (error != FsError::kNone) return error;
  m_vTempLists.push_back(list);
  for (size_t i = 0; i < files.size(); ++i) m_astrReserved[files[i]] = temps[i];
  return FsError::kNone;
}

void ClCSVEdit::DropTemps(std::vector<FileCommit> left, std::vector<LeftFile>* undeleted) {
  DiscardFiles(left, undeleted);
  for (const std::string& list : m_vTempLists) ReleaseTempPaths(list);
  m_vTempLists.clear();
  for (std::string& reserved : m_astrReserved) reserved.clear();
}

namespace {
// The bytes of path up to and including its last backslash.
size_t FolderPartLength(const char* path) {
  size_t length = std::strlen(path), slash = MbcsFindLast(path, length, '\\');
  return slash == length ? 0 : slash + 1;
}
}  // namespace

void ClCSVEdit::SetFailed(OutputFile file, FsError cause) {
  if (!m_abFailed[file]) m_aeCause[file] = cause != FsError::kNone ? cause : FsError::kOther;
  m_abFailed[file] = TRUE;
}

ClCSVEdit::PreparedOutput::PreparedOutput(const char* outputPath) : m_strPath(outputPath) {
  m_eRefused = LockFolderOf(outputPath, kFolderLockWaitMs, &m_pLock);
  if (m_eRefused != FsError::kNone) return;
  RemoveStaleTemps(outputPath);
  m_eRefused = ReserveTempPaths(outputPath, kFileCount, &m_vTemps, &m_strList);
  if (m_eRefused != FsError::kNone) m_pLock.reset();
}

ClCSVEdit::PreparedOutput::~PreparedOutput() { ReleaseTempPaths(m_strList); }

int ClCSVEdit::BeginOutput(const char* outputPath) {
  PreparedOutput prepared(outputPath);
  return BeginOutput(&prepared);
}

int ClCSVEdit::BeginOutput(PreparedOutput* prepared) {
  m_eRefused = prepared->m_eRefused;
  if (m_eRefused == FsError::kNone) {
    m_pFolderLock = std::move(prepared->m_pLock);
    m_vTempLists.push_back(prepared->m_strList);
    prepared->m_strList.clear();
    for (int file = OF_ASSET; file <= OF_LOG; ++file) m_astrReserved[file] = prepared->m_vTemps[file];
    return 1;
  }
  for (int file = OF_ASSET; file <= OF_LOG; ++file) SetFailed(static_cast<OutputFile>(file), m_eRefused);
  return 0;
}

int ClCSVEdit::OpenOutput(OutputFile file, const char* outputPath) {
  if (file < OF_ASSET || file > OF_LOG) return 1;
  char path[kPathBufferSize] = {};
  bool derived;
  if (file == OF_ASSET) {
    size_t length = strnlen(outputPath, kPathBufferSize);
    derived = length < kPathBufferSize;
    if (derived) std::memcpy(path, outputPath, length);
  } else {
    derived = DeriveSiblingPath(outputPath, file == OF_KIND ? kKindFileName : kLogFileName, path);
  }
  m_abFailed[file] = FALSE;
  m_aeCause[file] = FsError::kNone;
  if (!m_astrTemp[file].empty()) {
    DiscardFiles({{m_astrTemp[file], m_astrFinal[file]}});  // an earlier open's file
    m_astrTemp[file].clear();
  }
  if (m_eRefused != FsError::kNone) {
    SetFailed(file, m_eRefused);
    return 0;
  }
  // A name set aside beside another folder's file does not serve.
  std::string& temp = m_astrReserved[file];
  const size_t folder = FolderPartLength(path);
  if (!temp.empty() &&
      (FolderPartLength(temp.c_str()) != folder || temp.compare(0, folder, path, folder) != 0)) {
    temp.clear();
  }
  FsError reserved = derived && temp.empty() ? ReserveTemps(path, 1u << file) : FsError::kNone;
  if (!derived) {
    SetFailed(file, FsError::kOther);
  } else if (reserved != FsError::kNone) {
    SetFailed(file, reserved);
  } else if (m_aclFile[file].Open(temp.c_str(), ClTextFile::TFOM_WRITE) != 0) {
    SetFailed(file, Fs::LastError());
  } else {
    m_astrFinal[file] = path;
    m_astrTemp[file] = temp;
  }
  return m_abFailed[file] ? 0 : 1;
}

int ClCSVEdit::CloseOutput(OutputFile file) {
  if (file < OF_ASSET || file > OF_LOG) return 1;
  if (m_aclFile[file].Close() != 0) SetFailed(file, Fs::LastError());
  return 1;
}

int ClCSVEdit::CommitOutput(BOOL complete) {
  std::vector<FileCommit> files;
  bool failed = !complete;
  for (int file = OF_ASSET; file <= OF_LOG; ++file) {
    CloseOutput(static_cast<OutputFile>(file));
    failed = failed || m_abFailed[file];
    if (!m_astrTemp[file].empty()) {
      files.push_back({m_astrTemp[file], m_astrFinal[file], file == OF_LOG});
      m_astrTemp[file].clear();
    }
  }
  FsError error = FsError::kNone;
  if (!failed) {
    error = CommitFiles(files, &m_vLeftFiles);
    for (int file = OF_ASSET; error != FsError::kNone && file <= OF_LOG; ++file) {
      SetFailed(static_cast<OutputFile>(file), error);
    }
  }
  DropTemps(std::move(files), failed || error != FsError::kNone ? nullptr : &m_vLeftFiles);
  m_pFolderLock.reset();
  return failed || error != FsError::kNone ? 0 : 1;
}

BOOL ClCSVEdit::HasFileFailed(OutputFile file) const {
  if (file < OF_ASSET || file > OF_LOG) return FALSE;
  return m_abFailed[file] || m_aclFile[file].WriteFailed();
}

void ClCSVEdit::MarkFailed(OutputFile file) {
  if (file >= OF_ASSET && file <= OF_LOG) m_abFailed[file] = TRUE;
}

FsError ClCSVEdit::GetFailureCause(OutputFile file) const {
  if (file < OF_ASSET || file > OF_LOG || !m_abFailed[file]) return FsError::kNone;
  return m_aeCause[file];
}

int ClCSVEdit::WriteLog(const char* text, long column, std::string_view value) {
  m_aclFile[OF_LOG].Attach(&m_clHeader);
  m_clHeader.WriteText(text);
  if (m_pObserver != nullptr) {
    // Every entry text begins with LF and its kind: "＜ERROR＞" or "＜WARNING＞".
    static const char kErrorHead[] = "\n＜ERROR＞";
    ClLogEntry entry{std::strncmp(text, kErrorHead, sizeof kErrorHead - 1) == 0, {}, {}, {},
                     column, value, text};
    static const StKOTEISHISANINFO kNoAsset{};
    static const StIKKATSUINFO kNoLine{};
    FieldText code((m_pAsset != nullptr ? m_pAsset : &kNoAsset)->szAssetCode);
    FieldText name((m_pAsset != nullptr ? m_pAsset : &kNoAsset)->szAssetName);
    FieldText line((m_pLine != nullptr ? m_pLine : &kNoLine)->szBreakdownNo);
    entry.code = {code.c_str(), code.size()};
    entry.name = {name.c_str(), name.size()};
    entry.breakdown = {line.c_str(), line.size()};
    m_pObserver->OnLogEntry(entry);
  }
  return 1;
}

int ClCSVEdit::CheckCodeChars(int16_t mode, const char* code) {
  if (mode != 2 && mode != 3) return 1;
  for (const char* p = code; *p != '\0'; ++p) {
    char c = *p;
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    bool digit = c >= '0' && c <= '9';
    if (!letter && !(mode == 3 && digit)) return 0;
  }
  return 1;
}

int16_t ClCSVEdit::RegisterCode(const char* code) { return m_clCodes.Register(code); }
