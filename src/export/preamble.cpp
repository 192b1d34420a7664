#include <cstring>
#include <string>

#include "ClCSVEdit.h"
#include "mbcs.h"
#include "rowfields.h"
#include "winfmt.h"

int ClCSVEdit::WritePreamble(StDATAINFO* data) {
  // The name's entry goes to the log through the same line format: before
  // the format is attached to the asset file.
  FieldText field(data->szDataName);
  std::string replaced;
  const std::string_view name =
      SafeColumnText(this, 0, {"顧問先名称"}, {field.c_str(), field.size()}, &replaced);
  const size_t nameLength = MbcsCutLength(name.data(), name.size(), sizeof data->szDataName);
  m_aclFile[OF_ASSET].Attach(&m_clHeader);
  m_clHeader.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);

  // Room for the longest line: the company name of up to 260 bytes.
  char line[400];
  m_clHeader.WriteText("バージョン=25. 0. 0. 0(FILEVERSION=1.11)");
  m_clHeader.WriteText("顧問先コード=");
  _snprintf(line, sizeof line, "顧問先名称=%.*s", static_cast<int>(nameLength), name.data());
  m_clHeader.WriteText(line);
  const char* kind = "";
  if (data->bEntityKind == 0 || data->bEntityKind == 1) kind = "法人個人区分=法人";
  if (data->bEntityKind == 3 || data->bEntityKind == 4) kind = "法人個人区分=個人";
  m_clHeader.WriteText(kind);
  _snprintf(line, sizeof line, "事業年度開始日=%d", static_cast<int>(data->lTermStart));
  m_clHeader.WriteText(line);
  _snprintf(line, sizeof line, "事業年度終了日=%d", static_cast<int>(data->lTermEnd));
  m_clHeader.WriteText(line);

  m_aclFile[OF_ASSET].Attach(&m_clHead);
  m_clHead.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clHead.FillTitles();
  m_clHead.Write();
  return 1;
}
