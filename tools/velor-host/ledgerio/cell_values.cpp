#include "cell_values.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "messages.h"

namespace {

// Days from 1970-01-01 to the civil date y-m-d (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

// The yyyymmdd of the day days after 1970-01-01.
long CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long y = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return static_cast<long>((y + (m <= 2)) * 10000 + m * 100 + d);
}

bool ValidDate(long y, long m, long d) {
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  return m != 2 || d < 29 || (y % 4 == 0 && (y % 100 != 0 || y % 400 == 0));
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  // The ideographic space U+3000 around a value, as Japanese input leaves it.
  const std::string wide = "\xE3\x80\x80";
  while (e - b >= 3 && s.compare(b, 3, wide) == 0) b += 3;
  while (e - b >= 3 && s.compare(e - 3, 3, wide) == 0) e -= 3;
  return s.substr(b, e - b);
}

// A whole number of text: an optional sign and digits, within int64.
bool ParseInteger(const std::string& text, long long* out) {
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  auto [p, ec] = std::from_chars(begin, end, *out);
  return ec == std::errc() && p == end && begin != end;
}

bool ParseDouble(const std::string& text, double* out) {
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, *out);
  return ec == std::errc() && p == end && std::isfinite(*out);
}

// The integer a number cell holds exactly, or false.
bool WholeNumber(const std::string& text, long long* out) {
  double d = 0;
  if (!ParseDouble(text, &d) || d != std::floor(d) || std::fabs(d) > 9007199254740992.0) return false;
  *out = static_cast<long long>(d);
  return true;
}

bool DateOfSerial(double serial, bool date1904, long* yyyymmdd) {
  if (serial != std::floor(serial) || serial < 0 || serial > 2958465) return false;
  auto days = static_cast<long long>(serial);
  if (serial == 0) {
    *yyyymmdd = 0;
    return true;
  }
  if (date1904) {
    *yyyymmdd = CivilFromDays(DaysFromCivil(1904, 1, 1) + days);
  } else {
    if (days == 60) return false;  // 1900-02-29, which never was
    *yyyymmdd = CivilFromDays(DaysFromCivil(1899, 12, days < 60 ? 31 : 30) + days);
  }
  return true;
}

bool DateValue(const SheetCell& cell, bool date1904, nlohmann::json* value, std::string* problem) {
  const std::string text = Trim(cell.text);
  if (cell.type == SheetCell::kNumber) {
    double d = 0;
    long date = 0;
    if (ParseDouble(text, &d) && d >= 10000101 && d <= 99991231 && d == std::floor(d)) {
      *value = static_cast<long long>(d);  // a yyyymmdd typed as a number
      return true;
    }
    if (ParseDouble(text, &d) && DateOfSerial(d, date1904, &date)) {
      *value = date;
      return true;
    }
    *problem = Tr("not a date: a date cell, 2025/04/01 or 20250401");
    return false;
  }
  long long whole = 0;
  if (ParseInteger(text, &whole)) {
    if (whole < INT32_MIN || whole > INT32_MAX) {
      *problem = Tr("not a date: a date cell, 2025/04/01 or 20250401");
      return false;
    }
    *value = whole;  // yyyymmdd as the ledger holds it
    return true;
  }
  long y = 0, m = 0, d = 0;
  char sep1 = 0, sep2 = 0;
  int used = 0;
  if (std::sscanf(text.c_str(), "%4ld%c%2ld%c%2ld%n", &y, &sep1, &m, &sep2, &d, &used) == 5 &&
      used == static_cast<int>(text.size()) && sep1 == sep2 && (sep1 == '/' || sep1 == '-') && ValidDate(y, m, d)) {
    *value = y * 10000 + m * 100 + d;
    return true;
  }
  *problem = Tr("not a date: a date cell, 2025/04/01 or 20250401");
  return false;
}

// The decimal text of an amount written with separators and a yen sign.
bool AmountValue(const SheetCell& cell, nlohmann::json* value, std::string* problem) {
  std::string text = Trim(cell.text);
  if (cell.type == SheetCell::kNumber) {
    double d = 0;
    if (!ParseDouble(text, &d)) {
      *problem = Tr("not a number");
      return false;
    }
    *value = ShortestDecimal(d);
    return true;
  }
  std::string digits;
  bool negative = false, sawDigit = false;
  for (size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '-' && !sawDigit && !negative) {
      negative = true;
      ++i;
    } else if ((c == '\\' || text.compare(i, 2, "\xC2\xA5") == 0 || text.compare(i, 3, "\xEF\xBF\xA5") == 0) &&
               !sawDigit) {
      i += c == '\\' ? 1 : text[i] == '\xC2' ? 2 : 3;  // \, ¥ or the full-width ￥
    } else if (c == ',' && sawDigit && digits.find('.') == std::string::npos) {
      ++i;
    } else if ((c >= '0' && c <= '9') || c == '.') {
      sawDigit = sawDigit || c != '.';
      digits += c;
      ++i;
    } else {
      *problem = Tr("not an amount: digits with , separators, a . and an optional yen sign (1,234,567)");
      return false;
    }
  }
  if (!sawDigit) {
    *problem = Tr("not an amount: digits with , separators, a . and an optional yen sign (1,234,567)");
    return false;
  }
  *value = (negative ? "-" : "") + digits;
  return true;
}

}  // namespace

std::string ShortestDecimal(double d) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::fixed);
  if (ec != std::errc()) return "nan";
  std::string text(buffer, end);
  return text == "-0" ? "0" : text;
}

long DateSerial(long yyyymmdd) {
  long y = yyyymmdd / 10000, m = yyyymmdd / 100 % 100, d = yyyymmdd % 100;
  if (yyyymmdd < 19000301 || !ValidDate(y, m, d)) return 0;
  return static_cast<long>(DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d)) -
                           DaysFromCivil(1899, 12, 30));
}

std::string AmountText(long long times10000) {
  unsigned long long magnitude = times10000 < 0 ? 0ull - static_cast<unsigned long long>(times10000)
                                                : static_cast<unsigned long long>(times10000);
  std::string text = std::to_string(magnitude / 10000);
  unsigned fraction = static_cast<unsigned>(magnitude % 10000);
  if (fraction != 0) {
    std::string digits = std::to_string(10000 + fraction).substr(1);
    while (digits.back() == '0') digits.pop_back();
    text += "." + digits;
  }
  return times10000 < 0 ? "-" + text : text;
}

bool CellToLedger(const SheetCell& cell, CellKind kind, bool date1904, nlohmann::json* value, std::string* problem) {
  if (cell.type == SheetCell::kError) {
    *problem = cell.text;  // the reader's words: an error value, a formula without a value
    return false;
  }
  switch (kind) {
    case CellKind::kText:
      *value = cell.type == SheetCell::kNumber ? [&] {
        double d = 0;
        return ParseDouble(Trim(cell.text), &d) ? ShortestDecimal(d) : cell.text;
      }() : cell.text;
      return true;
    case CellKind::kInteger:
    case CellKind::kCode: {
      std::string text = Trim(cell.text);
      long long whole = 0;
      if (cell.type == SheetCell::kNumber ? WholeNumber(text, &whole) : ParseInteger(text, &whole)) {
        *value = whole;
        return true;
      }
      // A code chosen from its list: "5:定率法".
      size_t colon = text.find(':');
      if (kind == CellKind::kCode && colon != std::string::npos && ParseInteger(text.substr(0, colon), &whole)) {
        *value = whole;
        return true;
      }
      *problem = kind == CellKind::kCode ? Tr("not a code: a whole number or an entry of its list (5 or 5:...)")
                                         : Tr("not a whole number");
      return false;
    }
    case CellKind::kDate:
      return DateValue(cell, date1904, value, problem);
    case CellKind::kAmount:
      return AmountValue(cell, value, problem);
  }
  return false;
}
