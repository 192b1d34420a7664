#include "pg_values.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Type numbers of the server's built-in types.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25,
              kVarchar = 1043, kNumeric = 1700;

// The whole part of a binary numeric: digit count, weight, sign and scale,
// then base-10,000 digits.
long long NumericInteger(const char* p, int size) {
  if (size < 8) return 0;
  int digits = static_cast<int>(PgBigEndian(p, 2));
  int weight = static_cast<int>(PgBigEndian(p + 2, 2));
  long long sign = PgBigEndian(p + 4, 2) & 0xFFFF;
  if (digits < 0 || size < 8 + 2 * digits || sign == 0xC000) return 0;
  long long v = 0;
  for (int i = 0; i <= weight; ++i)
    v = v * 10000 + (i < digits ? PgBigEndian(p + 8 + 2 * i, 2) : 0);
  return sign == 0x4000 ? -v : v;
}

// The value of hex digit c, or -1.
int HexDigit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c |= 0x20;
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// Stores v as field f's integer type at p.
void PutInteger(const HostField& f, long long v, unsigned char* p) {
  switch (f.type) {
    case HF_INT16: {
      int16_t x = static_cast<int16_t>(v);
      std::memcpy(p, &x, sizeof x);
      break;
    }
    case HF_INT32: {
      int32_t x = static_cast<int32_t>(v);
      std::memcpy(p, &x, sizeof x);
      break;
    }
    case HF_BYTE:
      *p = static_cast<unsigned char>(v);
      break;
    default: {
      int64_t x = v;
      std::memcpy(p, &x, sizeof x);
      break;
    }
  }
}

}  // namespace

long long PgInteger(const PGresult* result, int row, int column) {
  if (PQgetisnull(result, row, column)) return 0;
  const char* p = PQgetvalue(result, row, column);
  int size = PQgetlength(result, row, column);
  switch (PQftype(result, column)) {
    case kBool:
    case kInt2:
    case kInt4:
    case kInt8:
      return size >= 1 && size <= 8 ? PgBigEndian(p, size) : 0;
    case kNumeric:
      return NumericInteger(p, size);
    case kBytea:
    case kText:
    case kVarchar:
      return std::strtoll(std::string(p, static_cast<size_t>(size)).c_str(), nullptr, 10);
    default:
      return 0;
  }
}

void PgPutField(const HostField& f, const char* value, int size, void* const* records) {
  if (records[f.record] == nullptr || size < 0) return;
  unsigned char* p = static_cast<unsigned char*>(records[f.record]) + f.offset;
  if (f.type == HF_TEXT) {
    size_t n = static_cast<size_t>(size);
    if (n > f.size - 1) n = f.size - 1;
    std::memcpy(p, value, n);
    p[n] = '\0';
    return;
  }
  PutInteger(f, size >= 1 && size <= 8 ? PgBigEndian(value, size) : 0, p);
}

const char* PgScanCopyInteger(const char* p, const char* end, long long* v) {
  if (end - p >= 2 && p[0] == '\\' && p[1] == 'N') return p + 2;
  const bool negative = p < end && *p == '-';
  const char* digits = negative ? p + 1 : p;
  const char* q = digits;
  long long x = 0;
  for (; q < end && q - digits < 19; ++q) {
    const unsigned digit = static_cast<unsigned char>(*q) - static_cast<unsigned>('0');
    if (digit > 9) break;
    x = x * 10 + digit;
  }
  if (q == digits || q - digits > 18) return nullptr;
  *v = negative ? -x : x;
  return q;
}

const char* PgScanCopyField(const HostField& f, const char* p, const char* end,
                            void* const* records) {
  unsigned char* out = records[f.record] == nullptr
                           ? nullptr
                           : static_cast<unsigned char*>(records[f.record]) + f.offset;
  if (end - p >= 2 && p[0] == '\\' && p[1] == 'N') return p + 2;
  if (f.type != HF_TEXT) {
    long long v = 0;
    const char* q = PgScanCopyInteger(p, end, &v);
    if (q != nullptr && out != nullptr) PutInteger(f, v, out);
    return q;
  }
  // A bytea is "\\x" (its backslash doubled by the copy format), then two
  // hex digits a byte.
  if (end - p < 3 || p[0] != '\\' || p[1] != '\\' || p[2] != 'x') return nullptr;
  const unsigned char* q = reinterpret_cast<const unsigned char*>(p) + 3;
  const unsigned char* last = reinterpret_cast<const unsigned char*>(end) - 1;
  size_t kept = 0;
  for (; q < last; q += 2) {
    const int high = HexDigit(q[0]), low = HexDigit(q[1]);
    if (high < 0 || low < 0) break;
    if (out != nullptr && kept < f.size - 1) out[kept++] = static_cast<unsigned char>(high << 4 | low);
  }
  if (out != nullptr) out[kept] = '\0';
  return reinterpret_cast<const char*>(q);
}

void PgReadFields(const PGresult* result, int row, int first, const HostField* fields, size_t count,
                  void* const* records) {
  for (size_t i = 0; i < count; ++i) {
    int column = first + static_cast<int>(i);
    if (PQgetisnull(result, row, column)) continue;
    PgPutField(fields[i], PQgetvalue(result, row, column), PQgetlength(result, row, column),
               records);
  }
}
