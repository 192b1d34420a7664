#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>

#include "ClCSVEdit.h"
#include "_CDecimal.h"
#include "decimaltext.h"
#include "infocolumns.h"
#include "logentries.h"
#include "mbcs.h"
#include "numtext.h"
#include "rowfields.h"

namespace {
// Amounts that still fit an amount column: 99,999,999,999 down to
// -9,999,999,999 whole units, as currency values.
const int64_t kAmountMax = 999999999990000LL;
const int64_t kAmountMin = -99999999990000LL;
// The quantity and unit items of the data record.
const long kQuantityItem = IC_QUANTITY - 1;
const long kUnitItem = IC_UNIT - 1;
const size_t kUnitBytes = 4;

}  // namespace

const char* ClCSVEdit::AmountText(int64_t value, long column, char* out) {
  DecimalText(value / 10000, out);
  if (value > kAmountMax || value < kAmountMin) {
    LogEntry(this, column, kAmountEntry, out);
    std::strcpy(out, kAmountAsterisks);
  } else if (value == 0) {
    out[0] = '\0';
  }
  return out;
}

int ClCSVEdit::SetQuantity(const char* text) {
  size_t n = std::strlen(text), k = 0;
  // The unit: up to 4 trailing bytes that are not digits, never ending
  // inside a character.
  while (k < n && !(text[n - 1 - k] >= '0' && text[n - 1 - k] <= '9') && k < kUnitBytes) ++k;
  if (k > 0 && MbcsKindAt(text, n, n - k) == MBCS_TRAIL) --k;
  // A comma or a line break in the unit is replaced, and the unit cut again.
  static const StKOTEISHISANINFO kNoAsset{};
  FieldText code((m_pAsset != nullptr ? m_pAsset : &kNoAsset)->szAssetCode);
  std::string replaced;
  const std::string_view clean =
      SafeColumnText(this, IC_UNIT, {"資産コード｢", code.c_str(), "｣の単位"}, {text + n - k, k},
                        &replaced);
  char unit[kUnitBytes + 1] = {};
  CopyWholeChars(clean.data(), clean.size(), kUnitBytes, unit);
  m_clInfo.SetText(kUnitItem, unit);
  if (n == k) {
    m_clInfo.SetCurrency(kQuantityItem, 0);
    return 1;
  }

  // The number text, without separators (a longer text counts to 1,023 bytes).
  char number[1024];
  size_t length = n - k < sizeof number ? n - k : sizeof number - 1;
  std::memcpy(number, text, length);
  number[length] = '\0';
  StripSeparators(number, number, sizeof number);
  double read = ReadDecimalNumber(number);
  float f = read > FLT_MAX ? INFINITY : read < -FLT_MAX ? -INFINITY : static_cast<float>(read);

  _CDecimal quantity(static_cast<double>(f));
  quantity.Round(_CDecimal::RND_HALF_UP, 3);
  m_clInfo.SetCurrency(kQuantityItem, quantity.ToCurrency());
  LogQuantityEntry(this, f);
  return 1;
}
