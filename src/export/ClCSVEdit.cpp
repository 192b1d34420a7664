#include "ClCSVEdit.h"

#include <cstring>

#include "outputpaths.h"
#include "rowfields.h"

ClCSVEdit::ClCSVEdit() {
  // Every line of the three files is comma-separated without quotes.
  m_clInfo.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clHead.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clHeader.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clSsc.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
}

ClCSVEdit::~ClCSVEdit() = default;

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
  long result = -1;
  if (derived) result = m_aclFile[file].Open(path, ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE);
  m_abFailed[file] = result != 0;
  return result == 0 ? 1 : 0;
}

int ClCSVEdit::CloseOutput(OutputFile file) {
  if (file < OF_ASSET || file > OF_LOG) return 1;
  if (m_aclFile[file].Close() != 0) m_abFailed[file] = TRUE;
  return 1;
}

BOOL ClCSVEdit::HasFileFailed(OutputFile file) const {
  if (file < OF_ASSET || file > OF_LOG) return FALSE;
  return m_abFailed[file] || m_aclFile[file].WriteFailed();
}

void ClCSVEdit::MarkFailed(OutputFile file) {
  if (file >= OF_ASSET && file <= OF_LOG) m_abFailed[file] = TRUE;
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
