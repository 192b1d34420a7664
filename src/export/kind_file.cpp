#include <cstring>
#include <string>

#include "ClCSVEdit.h"
#include "hostcodes.h"
#include "mbcs.h"
#include "rowfields.h"
#include "winfmt.h"
#include "wintime.h"

namespace {

const char kRuleLine[] =
    ";/////////////////////////////////////////////////////////////////////////////////////////////";

// Item indexes of the asset-kind row.
enum KindItem {
  KI_CODE, KI_NAME, KI_CLASS, KI_DEPRECIABLE, KI_METHOD, KI_DISPOSAL, KI_RESIDUAL, KI_LIMIT,
  KI_DECLARED, KI_SHARE1_NUM, KI_SHARE1_DEN, KI_SHARE2_NUM, KI_SHARE2_DEN, KI_SHARE3_NUM,
  KI_SHARE3_DEN, KI_LIVING
};

// Copies at most bytes bytes of text into the text item (its slot is cleared).
void PutText(ClG_SSC* ssc, int item, const char* text, size_t bytes) {
  size_t n = strnlen(text, bytes);
  std::memcpy(ssc->m_abRecord + ClG_SSC::s_aFormat[item].lOffset, text, n);
}

void PutText(ClG_SSC* ssc, int item, const char* text) {
  PutText(ssc, item, text, static_cast<size_t>(ClG_SSC::s_aFormat[item].lWidth));
}

void PutLong(ClG_SSC* ssc, int item, int32_t value) {
  std::memcpy(ssc->m_abRecord + ClG_SSC::s_aFormat[item].lOffset, &value, sizeof value);
}

// A percentage as a currency value.
void PutPercent(ClG_SSC* ssc, int item, int32_t percent) {
  int64_t value = static_cast<int64_t>(percent) * 10000;
  std::memcpy(ssc->m_abRecord + ClG_SSC::s_aFormat[item].lOffset, &value, sizeof value);
}

// Item 5 for kind k and method m (k is not the non-depreciable kind).
const char* KindMethodText(LONG k, int16_t m) {
  switch (m) {
    case kMethodLumpSum: return "一括決算";
    case kMethodOldStraight: return k == kKindDeferred ? "均等償却" : "定額法";
    case kMethodOldDeclining:
    case kMethodEqual: return k == kKindDeferred ? "均等償却" : "定率法";
    default: return "定率法";
  }
}

}  // namespace

int ClCSVEdit::WriteKindHeader(StDATAINFO* data) {
  m_aclFile[OF_KIND].Attach(&m_clHeader);
  const BYTE entity = data->bEntityKind;
  const bool corporation = entity == 0 || entity == 1;
  const bool individual = entity == 3 || entity == 4;

  SYSTEMTIME now;
  GetLocalTime(&now);
  char dateLine[64];
  _snprintf(dateLine, sizeof dateLine, ";日付\t\t：%d/%d/%d", now.wYear, now.wMonth, now.wDay);

  const char* const lines[] = {
      kRuleLine,
      ";減価償却 資産種類ファイル",
      corporation  ? ";顧問先\t\t：[0004 法人関与先]"
      : individual ? ";顧問先\t\t：[0004 個人関与先]"
                   : "",
      dateLine,
      ";備考\t\t：",
      ";",
      kRuleLine,
      "",
      "[Commonlnf]",
      "SisanSyuruiCDKetasuu=2",
      corporation ? "HoujinKojinKubun=1" : individual ? "HoujinKojinKubun=2" : "",
      "Version=25. 0. 0. 0(FILEVERSION=1.1)",
      "",
      "[Datalnf]",
      "SisanSyurui=1",
      "",
      "[SisanSyurui]",
  };
  for (const char* text : lines) {
    std::memset(m_clHeader.m_szRecord, 0, sizeof m_clHeader.m_szRecord);
    std::strncpy(m_clHeader.m_szRecord, text, sizeof m_clHeader.m_szRecord - 1);
    m_clHeader.Write();
  }
  return 1;
}

int ClCSVEdit::WriteKindRow(StSHISANKUBUNINFO* kind) {
  m_aclFile[OF_KIND].Attach(&m_clSsc);
  m_clSsc.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  std::memset(m_clSsc.m_abRecord, 0, sizeof m_clSsc.m_abRecord);

  const LONG k = kind->lKindNo;
  const int16_t m = kind->nKindMethod;
  const bool nonDepreciable = k == kKindNonDepreciable;
  const bool noResidual = k == kKindDeferred || nonDepreciable;

  // Two bytes of the code: a third digit is lost.
  char code[16];
  _snprintf(code, sizeof code, "%02d", static_cast<int>(k));
  PutText(&m_clSsc, KI_CODE, code);
  FieldText field(kind->szKindName);
  std::string replaced;
  const std::string_view name = SafeColumnText(this, 0, {"資産種類｢", code, "｣の資産種類名"},
                                                  {field.c_str(), field.size()}, &replaced);
  PutText(&m_clSsc, KI_NAME, name.data(),
          MbcsCutLength(name.data(), name.size(),
                        static_cast<size_t>(ClG_SSC::s_aFormat[KI_NAME].lWidth)));
  PutText(&m_clSsc, KI_CLASS, k == kKindDeferred ? "繰延資産" : "有形固定資産");
  PutText(&m_clSsc, KI_DEPRECIABLE, nonDepreciable ? "非償却資産" : "償却資産");
  if (!nonDepreciable) {
    PutText(&m_clSsc, KI_METHOD, KindMethodText(k, m));
    PutText(&m_clSsc, KI_DISPOSAL, "除却日まで償却");
  }
  const LONG residual = kind->lKindResidualRate;
  PutLong(&m_clSsc, KI_RESIDUAL, noResidual ? 0 : residual != 0 ? residual : 10);
  PutLong(&m_clSsc, KI_LIMIT, k == kKindLimitIsResidual ? 10 : noResidual ? 0 : 5);
  PutText(&m_clSsc, KI_DECLARED, DeclaredKindText(k));
  const int32_t full = nonDepreciable ? 0 : 100;
  PutPercent(&m_clSsc, KI_SHARE1_NUM, 0);
  PutPercent(&m_clSsc, KI_SHARE1_DEN, full);
  PutPercent(&m_clSsc, KI_SHARE2_NUM, full);
  PutPercent(&m_clSsc, KI_SHARE2_DEN, full);
  PutPercent(&m_clSsc, KI_SHARE3_NUM, 0);
  PutPercent(&m_clSsc, KI_SHARE3_DEN, full);
  PutText(&m_clSsc, KI_LIVING, "該当しない");
  m_clSsc.Write();
  return 1;
}
