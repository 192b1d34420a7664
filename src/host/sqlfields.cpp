#include "sqlfields.h"

#include <cstdint>
#include <cstring>

std::string SqlFieldColumns(const HostField* fields, size_t count, const char* prefix) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ", ";
    out += prefix;
    out += fields[i].name;
  }
  return out;
}

std::string SqlInsertSql(const char* table, const char* keys, const HostField* fields, size_t count) {
  size_t params = count + 1;
  for (const char* k = keys; *k; ++k) params += *k == ',';
  std::string sql = std::string("INSERT INTO ") + table + "(" + keys + ", " +
                    SqlFieldColumns(fields, count, "") + ") VALUES(?1";
  for (size_t i = 2; i <= params; ++i) sql += ",?" + std::to_string(i);
  return sql + ")";
}

void BindSqlFields(SqlStatement* statement, int first, const HostField* fields, size_t count,
                   const void* const* records) {
  for (size_t i = 0; i < count; ++i) {
    const HostField& f = fields[i];
    const unsigned char* p = static_cast<const unsigned char*>(records[f.record]) + f.offset;
    int parameter = first + static_cast<int>(i);
    switch (f.type) {
      case HF_TEXT:
        statement->BindBytes(parameter, p, strnlen(reinterpret_cast<const char*>(p), f.size));
        break;
      case HF_INT16: {
        int16_t v;
        std::memcpy(&v, p, sizeof v);
        statement->BindInt(parameter, v);
        break;
      }
      case HF_INT32: {
        int32_t v;
        std::memcpy(&v, p, sizeof v);
        statement->BindInt(parameter, v);
        break;
      }
      case HF_BYTE:
        statement->BindInt(parameter, *p);
        break;
      case HF_CURRENCY: {
        int64_t v;
        std::memcpy(&v, p, sizeof v);
        statement->BindInt(parameter, v);
        break;
      }
    }
  }
}

void ReadSqlFields(SqlStatement* statement, int first, const HostField* fields, size_t count,
                   void* const* records) {
  for (size_t i = 0; i < count; ++i) {
    const HostField& f = fields[i];
    int column = first + static_cast<int>(i);
    if (records[f.record] == nullptr || statement->IsNull(column)) continue;
    unsigned char* p = static_cast<unsigned char*>(records[f.record]) + f.offset;
    switch (f.type) {
      case HF_TEXT: {
        size_t n = 0;
        const void* bytes = statement->ColumnBytes(column, &n);
        if (n > f.size - 1) n = f.size - 1;
        if (n > 0 && bytes != nullptr) std::memcpy(p, bytes, n);
        p[n] = '\0';
        break;
      }
      case HF_INT16: {
        int16_t v = static_cast<int16_t>(statement->ColumnInt(column));
        std::memcpy(p, &v, sizeof v);
        break;
      }
      case HF_INT32: {
        int32_t v = static_cast<int32_t>(statement->ColumnInt(column));
        std::memcpy(p, &v, sizeof v);
        break;
      }
      case HF_BYTE:
        *p = static_cast<unsigned char>(statement->ColumnInt(column));
        break;
      case HF_CURRENCY: {
        int64_t v = statement->ColumnInt(column);
        std::memcpy(p, &v, sizeof v);
        break;
      }
    }
  }
}
