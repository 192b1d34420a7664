#include <cstring>

#include "ClCSVEdit.h"
#include "ClRuleGenkashokyaku.h"
#include "_CDecimal.h"
#include "breakdownrow.h"
#include "decimaltext.h"
#include "rowfields.h"

namespace {

// The most lines a lump-sum asset carries into the file.
const long kMaxLines = 99;
// The bytes of a breakdown code: code part and number part.
const size_t kCodeBytes = 8;
const size_t kNameBytes = 32;
// A quantity from here on is beyond the column's digits.
const float kQuantityLimit = 1000000.0f;

// The columns a breakdown row fills; all others are blank.
const long kShownColumns[] = {1, 5, 11, 14, 15, 16, 25, 72, 73, 86, 87, 89, 90};

// The number that the leading digits of text read as (0 when none).
long LeadingNumber(const char* text) {
  long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10 + (*text - '0');
  return value;
}

}  // namespace

void WriteBreakdownRow(ClCSVEdit* edit, ClG_INFO* info, const StKOTEISHISANINFO* asset,
                       const StIKKATSUINFO* line) {
  info->SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  info->Clear();
  info->SetAllMasks(ClTextAccessor::TAM_BLANK);
  for (long column : kShownColumns) info->SetMask(column - 1, ClTextAccessor::TAM_SHOW);

  // Column 1: the code part of the asset and the two-digit line number.
  FieldText code(asset->szAssetCode);
  FieldText number(line->szBreakdownNo);
  char codeText[kCodeBytes + 1];
  FormatCodeTail(code.c_str(), code.size(), 6, codeText);
  FormatCodeTail(number.c_str(), number.size(), 2, codeText + 6);
  if (LeadingNumber(codeText + 6) == 0) {
    LogEntry(edit, 0,
             "\n＜WARNING＞\n連携可能な最大内訳件数は99件です。\n"
             "100件目から後の内訳は出力されません。");
    return;
  }
  info->SetText(0, codeText);
  if (code.size() + number.size() > kCodeBytes) {
    LogEntry(edit, 1,
             "\n＜WARNING＞\n資産コード+内訳付番｢%s%s｣は、連携可能最大桁数をオーバーしています。\n"
             "データが、正しく連携されない可能性があります。",
             code.c_str(), number.c_str());
  }
  if (!edit->CheckCodeChars(3, codeText)) {
    LogEntry(edit, 1, "\n＜ERROR＞\n資産コード｢%08s｣には、半角英数以外の文字が使用されています。",
             codeText);
  } else {
    switch (edit->RegisterCode(codeText)) {
      case 1:
        LogEntry(edit, 1,
                 "\n＜ERROR＞\n資産コード｢%s｣と内訳付番｢%s｣から構成される\n"
                 "資産・内訳コード｢%08s｣は、\n他の資産･内訳コードと重複しています。",
                 code.c_str(), number.c_str(), codeText);
        break;
      case 2:
        LogEntry(edit, 1,
                 "\n＜ERROR＞\n資産コード+内訳付番｢%08s｣は、\n"
                 "資産コード｢%s｣が他の資産コードと重複してしまいます。",
                 codeText, code.c_str());
        break;
      default:
        break;
    }
  }

  info->SetText(4, "一括決算");
  FieldText name(line->szBreakdownName);
  char nameText[kNameBytes + 1];
  CopyWholeChars(name.c_str(), name.size(), kNameBytes, nameText);
  info->SetText(10, nameText);
  if (name.size() > kNameBytes) {
    LogEntry(edit, 11,
             "\n＜WARNING＞\n内訳名称｢%s｣は、\n連携可能最大文字数をオーバーしています。\n"
             "超過した文字は、自動的に切り捨てられます。",
             name.c_str());
  }
  info->SetNumber(13, line->lBreakdownDate);
  info->SetNumber(14, asset->lServiceDate);

  // Column 16: hundredths through single precision, as the quantity column
  // of an ordinary row reads its number.
  const float whole = static_cast<float>(line->lBreakdownQuantity);
  const float quantity = static_cast<float>(static_cast<double>(whole) / 100.0);
  info->SetCurrency(15, _CDecimal(static_cast<double>(quantity)).ToCurrency());
  if (quantity >= kQuantityLimit) {
    LogEntry(edit, 16,
             "\n＜WARNING＞\n数量｢%.2f｣は、連携可能最大桁数をオーバーしています。\n"
             "減価償却データが、正しく連携されない可能性があります。",
             static_cast<double>(quantity));
  }

  info->SetText(24, edit->AmountText(line->cyBreakdownCost.int64, 25));
  info->SetCurrency(71, HundredthsToCurrency(asset->nBusinessRatio));
  info->SetCurrency(72, WholeToCurrency(100));
  info->SetCurrency(85, WholeToCurrency(asset->nSellingShare));
  info->SetCurrency(86, WholeToCurrency(100));
  info->SetCurrency(88, WholeToCurrency(100 - asset->nSellingShare));
  info->SetCurrency(89, WholeToCurrency(100));
  info->Write();
}

int ClCSVEdit::WriteBreakdownRows(ClRuleGenkashokyaku* rule, StKOTEISHISANINFO* asset,
                                  StKOTEINENINFO* year, StKOTEITSUKIINFO* months,
                                  StDATAINFO* data) {
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
    WriteAssetRow(asset, year, months, &line, data);
    // The hundredth line has raised the warning; no later line is written.
    if (i + 1 > kMaxLines) break;
  }
  SetCurrentBreakdown(nullptr);
  rule->MoveFinishIkkatsu();
  return 1;
}
