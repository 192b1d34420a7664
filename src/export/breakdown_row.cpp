#include <cstring>
#include <string>
#include <string_view>

#include "ClCSVEdit.h"
#include "ClRuleGenkashokyaku.h"
#include "_CDecimal.h"
#include "breakdownrow.h"
#include "decimaltext.h"
#include "infocolumns.h"
#include "logentries.h"
#include "numtext.h"
#include "rowfields.h"

namespace {

// The most lines a lump-sum asset carries into the file.
const long kMaxLines = 99;
// The bytes of a breakdown code: code part and number part.
const size_t kCodeBytes = 8;
const size_t kNameBytes = 32;

// The columns a breakdown row fills; all others are blank.
const InfoColumn kShownColumns[] = {
    IC_CODE,         IC_METHOD,       IC_NAME,        IC_ACQUIRED,     IC_SERVICE,
    IC_QUANTITY,     IC_COST,         IC_BUSINESS_NUM, IC_BUSINESS_DEN, IC_SELLING_NUM,
    IC_SELLING_DEN,  IC_MAKING_NUM,   IC_MAKING_DEN};

// Stores into the data record: the item of column.
void Text(ClG_INFO* info, InfoColumn column, const char* text) { info->SetText(column - 1, text); }
void Number(ClG_INFO* info, InfoColumn column, int32_t value) { info->SetNumber(column - 1, value); }
void Currency(ClG_INFO* info, InfoColumn column, int64_t value) {
  info->SetCurrency(column - 1, value);
}

// Checks column 1 (code in text) and registers it; the entries name code
// part and number as the host has them.
void CheckLineCode(ClCSVEdit* edit, const char* text, const char* code, const char* number) {
  if (!edit->CheckCodeChars(3, text)) {
    LogEntry(edit, IC_CODE, kLineCodeCharsEntry, text);
    return;
  }
  switch (edit->RegisterCode(text)) {
    case 1: LogEntry(edit, IC_CODE, kLineCodeTakenEntry, code, number, text); break;
    case 2: LogEntry(edit, IC_CODE, kLineCodePartTakenEntry, text, code); break;
    default: break;
  }
}

}  // namespace

void WriteBreakdownRow(ClCSVEdit* edit, ClG_INFO* info, const StKOTEISHISANINFO* asset,
                       const StIKKATSUINFO* line) {
  info->SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  info->Clear();
  info->SetAllMasks(ClTextAccessor::TAM_BLANK);
  for (InfoColumn column : kShownColumns) info->SetMask(column - 1, ClTextAccessor::TAM_SHOW);

  // Column 1: the code part of the asset and the two-digit line number.
  FieldText codeField(asset->szAssetCode);
  std::string codeReplaced, nameReplaced;
  const std::string_view code = SafeColumnText(
      edit, IC_CODE, {"資産コード"}, {codeField.c_str(), codeField.size()}, &codeReplaced);
  FieldText number(line->szBreakdownNo);
  char codeText[kCodeBytes + 1];
  FormatCodeTail(code.data(), code.size(), 6, codeText);
  FormatCodeTail(number.c_str(), number.size(), 2, codeText + 6);
  if (LeadingNumber(codeText + 6) == 0) {
    LogEntry(edit, 0, kLineCountEntry);
    return;
  }
  Text(info, IC_CODE, codeText);
  if (code.size() + number.size() > kCodeBytes) {
    LogEntry(edit, IC_CODE, kLineCodeLengthEntry, code.data(), number.c_str());
  }
  CheckLineCode(edit, codeText, code.data(), number.c_str());

  Text(info, IC_METHOD, "一括決算");
  FieldText nameField(line->szBreakdownName);
  const std::string_view name =
      SafeColumnText(edit, IC_NAME, {"資産コード｢", codeField.c_str(), "｣の内訳名称"},
                        {nameField.c_str(), nameField.size()}, &nameReplaced);
  char nameText[kNameBytes + 1];
  CopyWholeChars(name.data(), name.size(), kNameBytes, nameText);
  Text(info, IC_NAME, nameText);
  if (name.size() > kNameBytes) LogEntry(edit, IC_NAME, kLineNameEntry, name.data());
  Number(info, IC_ACQUIRED, line->lBreakdownDate);
  Number(info, IC_SERVICE, asset->lServiceDate);

  // Column 16: hundredths through single precision, as the quantity column
  // of an ordinary row reads its number.
  const float whole = static_cast<float>(line->lBreakdownQuantity);
  const float quantity = static_cast<float>(static_cast<double>(whole) / 100.0);
  Currency(info, IC_QUANTITY, _CDecimal(static_cast<double>(quantity)).ToCurrency());
  LogQuantityEntry(edit, quantity);

  char cost[ClCSVEdit::kAmountTextSize];
  Text(info, IC_COST, edit->AmountText(line->cyBreakdownCost.int64, IC_COST, cost));
  Currency(info, IC_BUSINESS_NUM, HundredthsToCurrency(asset->nBusinessRatio));
  Currency(info, IC_BUSINESS_DEN, WholeToCurrency(100));
  Currency(info, IC_SELLING_NUM, WholeToCurrency(asset->nSellingShare));
  Currency(info, IC_SELLING_DEN, WholeToCurrency(100));
  Currency(info, IC_MAKING_NUM, WholeToCurrency(100 - asset->nSellingShare));
  Currency(info, IC_MAKING_DEN, WholeToCurrency(100));
  info->Write();
}

int ClCSVEdit::WriteBreakdownRows(ClRuleGenkashokyaku* rule, StKOTEISHISANINFO* asset) {
  BYTE key[16];
  std::memcpy(key, asset->abAssetKey, sizeof key);
  long count = 0;
  if (rule->MoveReadyIkkatsu(key) != 0 || rule->GetIkkatsuCount(&count) != 0) {
    rule->MoveFinishIkkatsu();
    return 0;
  }
  for (long i = 0; i < count; ++i) {
    StIKKATSUINFO line;
    std::memset(&line, 0, sizeof line);
    if (rule->MoveIkkatsu(i, &line) != 0) {
      rule->MoveFinishIkkatsu();
      return 0;
    }
    // The line number, cut to the field like the host's own numbers.
    char number[21];
    size_t digits = DecimalText(i + 1, number);
    if (digits > sizeof line.szBreakdownNo - 1) digits = sizeof line.szBreakdownNo - 1;
    std::memset(line.szBreakdownNo, 0, sizeof line.szBreakdownNo);
    std::memcpy(line.szBreakdownNo, number, digits);
    SetCurrentBreakdown(&line);
    m_aclFile[OF_ASSET].Attach(&m_clInfo);
    WriteBreakdownRow(this, &m_clInfo, asset, &line);
    // The hundredth line has raised the warning; no later line is written.
    if (i + 1 > kMaxLines) break;
  }
  SetCurrentBreakdown(nullptr);
  rule->MoveFinishIkkatsu();
  return 1;
}
