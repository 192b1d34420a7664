#include "sqlite_row.h"

#include <cstdint>
#include <cstring>

#include "sqlfields.h"

namespace {

// Copies values, one per field in order, into the records.
void ReadHostValues(sqlite3_value* const* values, const HostField* fields, size_t count,
                    void* const* records) {
  for (size_t i = 0; i < count; ++i) {
    const HostField& f = fields[i];
    if (records[f.record] == nullptr) continue;
    sqlite3_value* value = values[i];
    if (sqlite3_value_type(value) == SQLITE_NULL) continue;
    unsigned char* p = static_cast<unsigned char*>(records[f.record]) + f.offset;
    switch (f.type) {
      case HF_TEXT: {
        const void* bytes = sqlite3_value_blob(value);
        size_t n = static_cast<size_t>(sqlite3_value_bytes(value));
        if (n > f.size - 1) n = f.size - 1;
        if (n > 0 && bytes != nullptr) std::memcpy(p, bytes, n);
        p[n] = '\0';
        break;
      }
      case HF_INT16: {
        int16_t v = static_cast<int16_t>(sqlite3_value_int(value));
        std::memcpy(p, &v, sizeof v);
        break;
      }
      case HF_INT32: {
        int32_t v = sqlite3_value_int(value);
        std::memcpy(p, &v, sizeof v);
        break;
      }
      case HF_BYTE:
        *p = static_cast<unsigned char>(sqlite3_value_int(value));
        break;
      case HF_CURRENCY: {
        int64_t v = sqlite3_value_int64(value);
        std::memcpy(p, &v, sizeof v);
        break;
      }
    }
  }
}

const char kRowTargetType[] = "host-row-target";

// host_row(target, seq, fields...): see HostRowColumn.
void CopyHostRow(sqlite3_context* context, int argc, sqlite3_value** argv) {
  auto* target = argc >= 2 ? static_cast<HostRowTarget*>(sqlite3_value_pointer(argv[0], kRowTargetType))
                           : nullptr;
  if (target != nullptr && static_cast<size_t>(argc) == 2 + target->count &&
      sqlite3_value_int64(argv[1]) == target->expected) {
    ReadHostValues(argv + 2, target->fields, target->count, target->records);
    sqlite3_result_int(context, 1);
  } else {
    sqlite3_result_null(context);
  }
}

}  // namespace

bool RegisterHostRow(sqlite3* db) {
  return sqlite3_create_function_v2(db, "host_row", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                    CopyHostRow, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string HostRowColumn(int parameter, const HostField* fields, size_t count) {
  return "host_row(?" + std::to_string(parameter) + ", seq, " + SqlFieldColumns(fields, count, "") +
         ")";
}

bool BindHostRowTarget(sqlite3_stmt* stmt, int parameter, HostRowTarget* target) {
  return sqlite3_bind_pointer(stmt, parameter, target, kRowTargetType, nullptr) == SQLITE_OK;
}
