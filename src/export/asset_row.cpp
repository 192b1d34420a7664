// The data row of an ordinary asset, filled column group by column group in
// column order, so that the log entries arise in that order too.
#include <cstring>
#include <string>
#include <string_view>

#include "ClCSVEdit.h"
#include "_CDecimal.h"
#include "breakdownrow.h"
#include "decimaltext.h"
#include "hostcodes.h"
#include "infocolumns.h"
#include "logentries.h"
#include "rowfields.h"
#include "winfmt.h"

namespace {

// Widths of the name and memo columns.
const size_t kNameBytes = 32;
const size_t kMemoBytes = 20;

const char kEntered[] = "*";

// Column 5 for a method code; empty for codes without a text.
const char* MethodText(int16_t method) {
  switch (method) {
    case kMethodOldDeclining: return "旧定率法";
    case kMethodOldStraight: return "旧定額法";
    case kMethodEqual: return "均等法";
    case kMethodDeclining: return "定率法";
    case kMethodStraight: return "定額法";
    case kMethodSmall: return "少額資産";
    case kMethodDeclining2012: return "定率法";
    default: return "";
  }
}

// Column 10 for the statement the asset feeds.
const char* StatementText(int16_t link) {
  switch (link) {
    case 2: return "不動産所得用";
    case 3: return "農業所得用";
    default: return "未指定";
  }
}

// The methods whose residual-value and limit columns stay blank.
bool IsNewMethod(int16_t m) {
  return m == kMethodDeclining || m == kMethodStraight || m == kMethodSmall ||
         m == kMethodDeclining2012;
}

// Whether the year's depreciation goes to columns 68 and 69 as an entered
// figure.
bool HoldsMethodDateRule(int16_t m, bool entered, LONG service, LONG acquired) {
  if (m == kMethodSmall) return false;
  if (entered) return true;
  if ((m == kMethodDeclining || m == kMethodStraight || m == kMethodDeclining2012) &&
      service < 20070401)
    return true;
  if ((m == kMethodOldDeclining || m == kMethodOldStraight) && service >= 20070401) return true;
  if (m == kMethodDeclining2012 && acquired <= 20130331) return true;
  if (m == kMethodDeclining && acquired > 20130331) return true;
  return false;
}

// One ordinary row in the making: the data-row record with its masks (every
// column written is shown, all others are blank) and the asset it shows.
class AssetRow {
 public:
  AssetRow(ClCSVEdit* edit, ClG_INFO* info, const StKOTEISHISANINFO* asset)
      : edit(edit), asset(*asset), m(asset->nMethod), small(m == kMethodSmall), m_pInfo(info) {
    m_pInfo->SetAllMasks(ClTextAccessor::TAM_BLANK);
  }
  void Text(InfoColumn column, const char* text) {
    m_pInfo->SetText(column - 1, text);
    Show(column);
  }
  void Number(InfoColumn column, int32_t value) {
    m_pInfo->SetNumber(column - 1, value);
    Show(column);
  }
  void Currency(InfoColumn column, int64_t value) {
    m_pInfo->SetCurrency(column - 1, value);
    Show(column);
  }
  // The amount text of value (which may log its entry on column).
  void Amount(InfoColumn column, int64_t value) {
    char text[ClCSVEdit::kAmountTextSize];
    Text(column, edit->AmountText(value, column, text));
  }
  void Show(InfoColumn column) { m_pInfo->SetMask(column - 1, ClTextAccessor::TAM_SHOW); }

  ClCSVEdit* const edit;
  const StKOTEISHISANINFO& asset;
  const int16_t m;   // the method code
  const bool small;  // method 7: many figure columns stay blank

 private:
  ClG_INFO* m_pInfo;
};

// Column 1: the last 6 bytes of the code, padded with zeros, checked and
// registered.
void WriteCode(AssetRow& row) {
  ClCSVEdit* edit = row.edit;
  FieldText field(row.asset.szAssetCode);
  std::string replaced;
  const std::string_view code =
      SafeColumnText(edit, IC_CODE, {"資産コード"}, {field.c_str(), field.size()}, &replaced);
  char codePart[7];
  FormatCodeTail(code.data(), code.size(), 6, codePart);
  row.Text(IC_CODE, codePart);
  if (code.size() > 6) LogEntry(edit, IC_CODE, kCodeLengthEntry, code.data());
  if (!edit->CheckCodeChars(3, codePart)) {
    LogEntry(edit, IC_CODE, kCodeCharsEntry, codePart);
  } else if (edit->RegisterCode(codePart) != 0) {
    LogEntry(edit, IC_CODE, kCodeTakenEntry, code.data());
  }
}

// Columns 1 to 10: code and classification.
void WriteCodeColumns(AssetRow& row) {
  WriteCode(row);
  // Column 3: two digits of the kind code reach the file.
  const LONG kind = row.asset.lKindCode;
  char kindText[16];
  if (kind >= 0 && kind <= 99) {
    kindText[0] = static_cast<char>('0' + kind / 10);
    kindText[1] = static_cast<char>('0' + kind % 10);
    kindText[2] = '\0';
  } else {
    _snprintf(kindText, sizeof kindText, "%02d", static_cast<int>(kind));
  }
  row.Text(IC_KIND_CODE, kindText);
  if (kind >= 100 || kind <= -100) {
    LogEntry(row.edit, IC_KIND_CODE, kKindCodeEntry, static_cast<int>(kind));
  }

  row.Text(IC_METHOD, kind == kKindNonDepreciable ? "非償却資産" : MethodText(row.m));
  if (!row.small) {
    FieldText capital(row.asset.szCapitalExpenditure);
    row.Text(IC_CAPITAL, capital.size() != 0 ? "台帳＋申告書" : "");
  }
  row.Text(IC_STATEMENT, StatementText(row.asset.nStatementLink));
}

// Columns 11 to 24: name, dates, quantity, useful life and rate.
void WriteNameToDates(AssetRow& row) {
  const StKOTEISHISANINFO& asset = row.asset;
  FieldText code(asset.szAssetCode);
  FieldText field(asset.szAssetName);
  std::string replaced;
  const std::string_view name =
      SafeColumnText(row.edit, IC_NAME, {"資産コード｢", code.c_str(), "｣の資産名称"},
                        {field.c_str(), field.size()}, &replaced);
  char nameText[kNameBytes + 1];
  CopyWholeChars(name.data(), name.size(), kNameBytes, nameText);
  row.Text(IC_NAME, nameText);
  if (name.size() > kNameBytes) LogEntry(row.edit, IC_NAME, kNameEntry, name.data());

  const LONG acquired = asset.lAcquiredDate;
  row.Number(IC_ACQUIRED, acquired);
  row.Number(IC_SERVICE, asset.lKindCode == kKindNonDepreciable ? acquired : asset.lServiceDate);
  FieldText quantity(asset.szQuantity);
  row.edit->SetQuantity(quantity.c_str());
  row.Show(IC_QUANTITY);
  row.Show(IC_UNIT);
  if (asset.nUsefulLife != 0) row.Number(IC_LIFE, asset.nUsefulLife);
  if (asset.lRate != 0 && row.m != kMethodEqual && !row.small) {
    // Thousandths: 250 is 0.250.
    row.Currency(IC_RATE, static_cast<int64_t>(asset.lRate) * 10);
  }
  if (row.m == kMethodDeclining && acquired >= 20120401 && acquired <= 20130331)
    row.Text(IC_TRANSITION, "250%定率法");
  if (row.m == kMethodEqual) {
    char months[16];
    _snprintf(months, sizeof months, "%d", asset.nUsefulLife * 12);
    row.Text(IC_PERIOD_MONTHS, months);
  }
}

// Columns 31 to 38: residual value and depreciable limit, for the methods
// that have them.
void WriteResidualAndLimit(AssetRow& row) {
  const StKOTEISHISANINFO& asset = row.asset;
  if (asset.lResidualRate != 0) row.Number(IC_RESIDUAL_RATE, asset.lResidualRate);
  row.Amount(IC_RESIDUAL, asset.cyResidualValue.int64);
  const int64_t limit = asset.cyLimit.int64;
  if (asset.bLimitByAmount == 0 && limit != 0) {
    // The whole part of a rate; a value beyond the 32-bit column is held at
    // its bound rather than wrapped into another number.
    int64_t whole = limit / 10000;
    if (whole > INT32_MAX) whole = INT32_MAX;
    if (whole < INT32_MIN) whole = INT32_MIN;
    row.Number(IC_LIMIT_RATE, static_cast<int32_t>(whole));
  }
  const bool limitIsResidual = asset.lKindCode == kKindLimitIsResidual;
  if (limitIsResidual || (asset.bLimitByAmount == 1 && limit != 0)) {
    row.Text(IC_LIMIT_ENTERED, kEntered);
    row.Amount(IC_LIMIT, limitIsResidual ? asset.cyResidualValue.int64 : limit);
  }
}

// Columns 25 to 53: cost, residual value and limit, months, book values.
void WriteAmounts(AssetRow& row, const StDATAINFO* data) {
  const StKOTEISHISANINFO& asset = row.asset;
  row.Amount(IC_COST, asset.cyAcquisitionCost.int64);
  if (!row.small) row.Amount(IC_COMPRESSION, asset.cyCompressionAmount.int64);
  if (!IsNewMethod(row.m)) WriteResidualAndLimit(row);
  if (asset.bMonthsEntered == 1) {
    row.Text(IC_MONTHS_ENTERED, kEntered);
    // Without a divisor the months stay blank.
    if (asset.nMonthDivisor != 0)
      row.Number(IC_MONTHS, 12 / asset.nMonthDivisor * asset.nMonthCount);
  }
  if (asset.bInherited == 1) row.Text(IC_INHERITED, kEntered);
  if (!row.small) {
    const LONG service = asset.lServiceDate;
    const bool takenOver = asset.bInherited == 1 && data->lTermStart <= service &&
                           service <= data->lTermEnd;
    row.Amount(IC_OPENING, takenOver ? asset.cyInheritedBookValue.int64
                                     : asset.cyOpeningBookValue.int64);
  }
  if (row.m == kMethodDeclining || row.m == kMethodDeclining2012) {
    row.Text(IC_REVISED_ENTERED, kEntered);
    row.Amount(IC_REVISED, asset.cyRevisedCost.int64);
  }
  if (!row.small) row.Amount(IC_BASE, asset.cyDepreciationBase.int64);
}

// Column 69: the whole yen of the year's sum, "0" for zero; a text beyond
// the column's 12 bytes gives asterisks and the amount entry.
void WriteYearSum(AssetRow& row, int64_t computed, int64_t special, int64_t additional) {
  const int64_t sum =
      (_CDecimal(computed) + _CDecimal(special) + _CDecimal(additional)).ToCurrency();
  char sumText[32];
  if (DecimalText(sum / 10000, sumText) > 12) {
    LogEntry(row.edit, IC_YEAR, kAmountEntry, sumText);
    row.Text(IC_YEAR, kAmountAsterisks);
  } else {
    row.Text(IC_YEAR, sumText);
  }
}

// Columns 54 to 69: the year's depreciation figures.
void WriteYearFigures(AssetRow& row, const StKOTEINENINFO* year) {
  const int64_t computed = year->cyComputedDepreciation.int64;
  const int64_t special = year->cySpecialDepreciation.int64;
  const int64_t additional = year->cyAdditionalDepreciation.int64;
  if (computed != 0 && !row.small) {
    row.Text(IC_COMPUTED_ENTERED, kEntered);
    row.Amount(IC_COMPUTED, computed);
  }
  if (additional != 0) {
    row.Text(IC_ADDITIONAL_ENTERED, kEntered);
    row.Amount(IC_ADDITIONAL, additional);
  }
  if (special != 0) {
    row.Text(IC_SPECIAL_KIND, "特別");
    row.Text(IC_SPECIAL_ENTERED, kEntered);
    row.Amount(IC_SPECIAL, special);
    row.Text(IC_SPECIAL_BOOKING, "償却");
  }
  const StKOTEISHISANINFO& asset = row.asset;
  if (HoldsMethodDateRule(row.m, year->cyEnteredDepreciation.int64 != 0, asset.lServiceDate,
                          asset.lAcquiredDate)) {
    row.Text(IC_YEAR_ENTERED, kEntered);
    WriteYearSum(row, computed, special, additional);
  }
}

// Columns 71 to 95: ratios, disposal, closing figures and the declared kind.
void WriteRatiosAndDisposal(AssetRow& row) {
  const StKOTEISHISANINFO& asset = row.asset;
  if (!row.small) row.Number(IC_APPLIED_RATE, 100);
  row.Currency(IC_BUSINESS_NUM, HundredthsToCurrency(asset.nBusinessRatio));
  row.Currency(IC_BUSINESS_DEN, WholeToCurrency(100));

  const int16_t disposal = asset.nDisposalKind;
  if (disposal == 4 || disposal == 5) {
    row.Number(IC_DISPOSAL_DATE, asset.lDisposalDate);
    if (!row.small) {
      row.Text(IC_DISPOSAL_RULE, "除却日まで償却");
      row.Text(IC_DISPOSAL_KIND, disposal == 4 ? "売却" : "除却");
      if (disposal == 4) row.Amount(IC_SALE_PRICE, asset.cySalePrice.int64);
    }
  }
  row.Amount(IC_CLOSING, asset.cyClosingBookValue.int64);
  if (!row.small) row.Amount(IC_ACCUMULATED, asset.cyAccumulated.int64);
  const int16_t share = asset.nSellingShare;
  row.Currency(IC_SELLING_NUM, WholeToCurrency(share));
  row.Currency(IC_SELLING_DEN, WholeToCurrency(100));
  row.Amount(IC_SELLING, asset.cySellingExpense.int64);
  row.Currency(IC_MAKING_NUM, WholeToCurrency(100 - share));
  row.Currency(IC_MAKING_DEN, WholeToCurrency(100));
  row.Amount(IC_MAKING, asset.cyManufacturingCost.int64);
  const LONG kind = asset.lKindCode;
  if (kind >= 1 && kind <= kKindNonDepreciable) row.Text(IC_DECLARED_KIND, DeclaredKindText(kind));
}

// Columns 155 and 156: the memo in two parts of 20 bytes, each ending at a
// whole character.
void WriteMemo(AssetRow& row) {
  FieldText code(row.asset.szAssetCode);
  FieldText field(row.asset.szMemo);
  std::string replaced;
  const std::string_view memo =
      SafeColumnText(row.edit, IC_MEMO_UPPER, {"資産コード｢", code.c_str(), "｣のメモ欄"},
                        {field.c_str(), field.size()}, &replaced);
  char upper[kMemoBytes + 1];
  char lower[kMemoBytes + 1];
  size_t upperBytes = CopyWholeChars(memo.data(), memo.size(), kMemoBytes, upper);
  size_t lowerBytes = CopyWholeChars(memo.data() + upperBytes, memo.size() - upperBytes,
                                     kMemoBytes, lower);
  row.Text(IC_MEMO_UPPER, upper);
  row.Text(IC_MEMO_LOWER, lower);
  // Also a memo of 40 bytes or fewer can lose its end when the first cut
  // falls before a double-byte character; any loss is reported.
  if (upperBytes + lowerBytes < memo.size()) {
    LogEntry(row.edit, IC_MEMO_UPPER, kMemoEntry, memo.data());
  }
}

}  // namespace

int ClCSVEdit::WriteAssetRow(StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                             StKOTEITSUKIINFO* /*months*/, StIKKATSUINFO* line,
                             StDATAINFO* data) {
  m_aclFile[OF_ASSET].Attach(&m_clInfo);
  if (asset->nMethod == kMethodLumpSum) {
    // A lump-sum asset has no row of its own, only rows of its lines.
    if (line != nullptr) WriteBreakdownRow(this, &m_clInfo, asset, line);
    return 1;
  }
  m_clInfo.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clInfo.Clear();
  AssetRow row(this, &m_clInfo, asset);
  WriteCodeColumns(row);
  WriteNameToDates(row);
  WriteAmounts(row, data);
  WriteYearFigures(row, year);
  WriteRatiosAndDisposal(row);
  WriteMemo(row);
  m_clInfo.Write();
  return 1;
}
