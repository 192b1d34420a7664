#include <cfloat>
#include <cmath>
#include <cstring>

#include "ClCSVEdit.h"
#include "_CDecimal.h"
#include "decimaltext.h"
#include "mbcs.h"
#include "numtext.h"
#include "winfmt.h"

namespace {
// Amounts that still fit an amount column: 99,999,999,999 down to
// -9,999,999,999 whole units, as currency values.
const int64_t kAmountMax = 999999999990000LL;
const int64_t kAmountMin = -99999999990000LL;
// The quantity and unit columns of the data record.
const long kQuantityItem = 15;
const long kUnitItem = 16;
const size_t kUnitBytes = 4;
const float kQuantityLimit = 1000000.0f;

}  // namespace

const char* ClCSVEdit::AmountText(int64_t value, long column) {
  static char s_szAmount[51];
  std::memset(s_szAmount, 0, sizeof s_szAmount);
  DecimalText(value / 10000, s_szAmount);
  if (value > kAmountMax || value < kAmountMin) {
    char entry[160];
    _snprintf(entry, sizeof entry,
              "\n＜ERROR＞\n金額｢%s｣は、連携可能最大桁数をオーバーしています。", s_szAmount);
    WriteLog(entry, column, s_szAmount);
    std::strcpy(s_szAmount, "************");
  } else if (value == 0) {
    s_szAmount[0] = '\0';
  }
  return s_szAmount;
}

int ClCSVEdit::SetQuantity(const char* text) {
  size_t n = std::strlen(text), k = 0;
  // The unit: up to 4 trailing bytes that are not digits, never ending
  // inside a character.
  while (k < n && !(text[n - 1 - k] >= '0' && text[n - 1 - k] <= '9') && k < kUnitBytes) ++k;
  if (k > 0 && MbcsKindAt(text, n, n - k) == MBCS_TRAIL) --k;
  char unit[kUnitBytes + 1] = {};
  std::memcpy(unit, text + n - k, k);
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
  if (f >= kQuantityLimit) {
    char entry[200], value[64];
    _snprintf(value, sizeof value, "%.2f", static_cast<double>(f));
    _snprintf(entry, sizeof entry,
              "\n＜WARNING＞\n数量｢%.2f｣は、連携可能最大桁数をオーバーしています。\n"
              "減価償却データが、正しく連携されない可能性があります。",
              static_cast<double>(f));
    WriteLog(entry, kQuantityItem + 1, value);
  }
  return 1;
}
