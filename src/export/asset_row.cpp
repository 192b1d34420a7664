#include <cstring>

#include "ClCSVEdit.h"
#include "_CDecimal.h"
#include "assetmethods.h"
#include "breakdownrow.h"
#include "decimaltext.h"
#include "rowfields.h"
#include "winfmt.h"

namespace {

// Asset kinds with rules of their own.
const LONG kKindLimitIsResidual = 10;
const LONG kKindNonDepreciable = 11;

// Widths of the name and memo columns.
const size_t kNameBytes = 32;
const size_t kMemoBytes = 20;

const char kEntered[] = "*";
const char kAsterisks[] = "************";

// Column 5 for a method code; empty for codes without a text.
const char* MethodText(int16_t method) {
  switch (method) {
    case 1: return "旧定率法";
    case 2: return "旧定額法";
    case 3: return "均等法";
    case 5: return "定率法";
    case 6: return "定額法";
    case 7: return "少額資産";
    case 8: return "定率法";
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

// The data-row record with its masks: every column written is shown, all
// others are blank.
class RowBuilder {
 public:
  explicit RowBuilder(ClG_INFO* info) : m_pInfo(info) {
    m_pInfo->SetAllMasks(ClTextAccessor::TAM_BLANK);
  }
  void Text(long column, const char* text) {
    m_pInfo->SetText(column - 1, text);
    m_pInfo->SetMask(column - 1, ClTextAccessor::TAM_SHOW);
  }
  void Number(long column, int32_t value) {
    m_pInfo->SetNumber(column - 1, value);
    m_pInfo->SetMask(column - 1, ClTextAccessor::TAM_SHOW);
  }
  void Currency(long column, int64_t value) {
    m_pInfo->SetCurrency(column - 1, value);
    m_pInfo->SetMask(column - 1, ClTextAccessor::TAM_SHOW);
  }
  void Show(long column) { m_pInfo->SetMask(column - 1, ClTextAccessor::TAM_SHOW); }

 private:
  ClG_INFO* m_pInfo;
};

}  // namespace

int ClCSVEdit::WriteAssetRow(StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                             StKOTEITSUKIINFO* /*months*/, StIKKATSUINFO* line,
                             StDATAINFO* data) {
  const int16_t m = asset->nMethod;
  m_aclFile[OF_ASSET].Attach(&m_clInfo);
  if (m == kMethodLumpSum) {
    // A lump-sum asset has no row of its own, only rows of its lines.
    if (line != nullptr) WriteBreakdownRow(this, &m_clInfo, asset, line);
    return 1;
  }
  m_clInfo.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  m_clInfo.Clear();
  RowBuilder row(&m_clInfo);

  const LONG kind = asset->lKindCode;
  const LONG acquired = asset->lAcquiredDate;
  const LONG service = asset->lServiceDate;
  const bool small = m == kMethodSmall;
  const bool newMethod = IsNewMethod(m);

  // Column 1: the last 6 bytes of the code, padded with zeros.
  FieldText code(asset->szAssetCode);
  char codePart[7];
  FormatCodeTail(code.c_str(), code.size(), 6, codePart);
  row.Text(1, codePart);
  if (code.size() > 6) {
    LogEntry(this, 1,
             "\n＜WARNING＞\n資産コード｢%s｣は、連携可能最大桁数をオーバーしています。\n"
             "データが、正しく連携されない可能性があります。",
             code.c_str());
  }
  if (!CheckCodeChars(3, codePart)) {
    LogEntry(this, 1, "\n＜ERROR＞\n資産コード｢%s｣には、半角英数以外の文字が使用されています。",
             codePart);
  } else if (RegisterCode(codePart) != 0) {
    LogEntry(this, 1, "\n＜ERROR＞\n資産コード｢%s｣は、他の資産コードと重複してしまいます。",
             code.c_str());
  }

  // Column 3: two digits of the kind code reach the file.
  char kindText[16];
  if (kind >= 0 && kind <= 99) {
    kindText[0] = static_cast<char>('0' + kind / 10);
    kindText[1] = static_cast<char>('0' + kind % 10);
    kindText[2] = '\0';
  } else {
    _snprintf(kindText, sizeof kindText, "%02d", static_cast<int>(kind));
  }
  row.Text(3, kindText);
  if (kind >= 100 || kind <= -100) {
    LogEntry(this, 3,
             "\n＜WARNING＞\n資産種類コード｢%d｣は、連携可能最大桁数をオーバーしています。\n"
             "データが、正しく連携されない可能性があります。",
             static_cast<int>(kind));
  }

  row.Text(5, kind == kKindNonDepreciable ? "非償却資産" : MethodText(m));
  if (!small) {
    FieldText capital(asset->szCapitalExpenditure);
    row.Text(6, capital.size() != 0 ? "台帳＋申告書" : "");
  }
  row.Text(10, StatementText(asset->nStatementLink));

  FieldText name(asset->szAssetName);
  char nameText[kNameBytes + 1];
  CopyWholeChars(name.c_str(), name.size(), kNameBytes, nameText);
  row.Text(11, nameText);
  if (name.size() > kNameBytes) {
    LogEntry(this, 11,
             "\n＜WARNING＞\n資産名称｢%s｣は、\n連携可能最大文字数をオーバーしています。\n"
             "超過した文字は、自動的に切り捨てられます。",
             name.c_str());
  }

  row.Number(14, acquired);
  row.Number(15, kind == kKindNonDepreciable ? acquired : service);
  FieldText quantity(asset->szQuantity);
  SetQuantity(quantity.c_str());
  row.Show(16);
  row.Show(17);
  if (asset->nUsefulLife != 0) row.Number(18, asset->nUsefulLife);
  if (asset->lRate != 0 && m != kMethodEqual && !small) {
    // Thousandths: 250 is 0.250.
    row.Currency(22, static_cast<int64_t>(asset->lRate) * 10);
  }
  if (m == kMethodDeclining && acquired >= 20120401 && acquired <= 20130331)
    row.Text(23, "250%定率法");
  if (m == kMethodEqual) {
    char months[16];
    _snprintf(months, sizeof months, "%d", asset->nUsefulLife * 12);
    row.Text(24, months);
  }
  row.Text(25, AmountText(asset->cyAcquisitionCost.int64, 25));
  if (!small) row.Text(27, AmountText(asset->cyCompressionAmount.int64, 27));
  if (!newMethod) {
    if (asset->lResidualRate != 0) row.Number(31, asset->lResidualRate);
    row.Text(33, AmountText(asset->cyResidualValue.int64, 33));
    const int64_t limit = asset->cyLimit.int64;
    if (asset->bLimitByAmount == 0 && limit != 0) {
      // The whole part of a rate; a value beyond the 32-bit column is held
      // at its bound rather than wrapped into another number.
      int64_t whole = limit / 10000;
      if (whole > INT32_MAX) whole = INT32_MAX;
      if (whole < INT32_MIN) whole = INT32_MIN;
      row.Number(36, static_cast<int32_t>(whole));
    }
    if (kind == kKindLimitIsResidual || (asset->bLimitByAmount == 1 && limit != 0)) {
      row.Text(37, kEntered);
      row.Text(38, AmountText(kind == kKindLimitIsResidual ? asset->cyResidualValue.int64 : limit, 38));
    }
  }
  if (asset->bMonthsEntered == 1) {
    row.Text(41, kEntered);
    // Without a divisor the months stay blank.
    if (asset->nMonthDivisor != 0)
      row.Number(42, 12 / asset->nMonthDivisor * asset->nMonthCount);
  }
  if (asset->bInherited == 1) row.Text(43, kEntered);
  if (!small) {
    const bool takenOver = asset->bInherited == 1 && data->lTermStart <= service &&
                           service <= data->lTermEnd;
    row.Text(44, AmountText(takenOver ? asset->cyInheritedBookValue.int64
                                      : asset->cyOpeningBookValue.int64, 44));
  }
  if (m == kMethodDeclining || m == kMethodDeclining2012) {
    row.Text(49, kEntered);
    row.Text(50, AmountText(asset->cyRevisedCost.int64, 50));
  }
  if (!small) row.Text(53, AmountText(asset->cyDepreciationBase.int64, 53));

  const int64_t computed = year->cyComputedDepreciation.int64;
  const int64_t special = year->cySpecialDepreciation.int64;
  const int64_t additional = year->cyAdditionalDepreciation.int64;
  if (computed != 0 && !small) {
    row.Text(54, kEntered);
    row.Text(55, AmountText(computed, 55));
  }
  if (additional != 0) {
    row.Text(58, kEntered);
    row.Text(59, AmountText(additional, 59));
  }
  if (special != 0) {
    row.Text(60, "特別");
    row.Text(64, kEntered);
    row.Text(65, AmountText(special, 65));
    row.Text(66, "償却");
  }
  if (HoldsMethodDateRule(m, year->cyEnteredDepreciation.int64 != 0, service, acquired)) {
    row.Text(68, kEntered);
    // The whole yen of the sum, "0" for zero; a text beyond the column's
    // 12 bytes gives asterisks and the amount entry.
    const int64_t sum = (_CDecimal(computed) + _CDecimal(special) + _CDecimal(additional))
                            .ToCurrency();
    char sumText[32];
    if (DecimalText(sum / 10000, sumText) > 12) {
      LogEntry(this, 69, "\n＜ERROR＞\n金額｢%s｣は、連携可能最大桁数をオーバーしています。",
               sumText);
      row.Text(69, kAsterisks);
    } else {
      row.Text(69, sumText);
    }
  }
  if (!small) row.Number(71, 100);
  row.Currency(72, HundredthsToCurrency(asset->nBusinessRatio));
  row.Currency(73, WholeToCurrency(100));

  const int16_t disposal = asset->nDisposalKind;
  if (disposal == 4 || disposal == 5) {
    row.Number(74, asset->lDisposalDate);
    if (!small) {
      row.Text(75, "除却日まで償却");
      row.Text(76, disposal == 4 ? "売却" : "除却");
      if (disposal == 4) row.Text(77, AmountText(asset->cySalePrice.int64, 77));
    }
  }
  row.Text(83, AmountText(asset->cyClosingBookValue.int64, 83));
  if (!small) row.Text(85, AmountText(asset->cyAccumulated.int64, 85));
  const int16_t share = asset->nSellingShare;
  row.Currency(86, WholeToCurrency(share));
  row.Currency(87, WholeToCurrency(100));
  row.Text(88, AmountText(asset->cySellingExpense.int64, 88));
  row.Currency(89, WholeToCurrency(100 - share));
  row.Currency(90, WholeToCurrency(100));
  row.Text(91, AmountText(asset->cyManufacturingCost.int64, 91));
  if (kind >= 1 && kind <= 11) row.Text(95, DeclaredKindText(kind));

  // Columns 155 and 156: the memo in two parts of 20 bytes, each ending at
  // a whole character.
  FieldText memo(asset->szMemo);
  char upper[kMemoBytes + 1];
  char lower[kMemoBytes + 1];
  size_t upperBytes = CopyWholeChars(memo.c_str(), memo.size(), kMemoBytes, upper);
  size_t lowerBytes = CopyWholeChars(memo.c_str() + upperBytes, memo.size() - upperBytes,
                                     kMemoBytes, lower);
  row.Text(155, upper);
  row.Text(156, lower);
  // Also a memo of 40 bytes or fewer can lose its end when the first cut
  // falls before a double-byte character; any loss is reported.
  if (upperBytes + lowerBytes < memo.size()) {
    LogEntry(this, 155,
             "\n＜WARNING＞\nメモ欄｢%s｣は、\n連携可能最大文字数をオーバーしています。\n"
             "超過した文字は、自動的に切り捨てられます。",
             memo.c_str());
  }

  m_clInfo.Write();
  return 1;
}
