#include "hoststore.h"

#include <cstdint>
#include <cstring>

#include "drivemap.h"
#include "fs.h"
#include "hostvfs.h"

#include "messages.h"

namespace {

// The application identifier every host store carries ("VELR").
constexpr int kApplicationId = 0x56454C52;

std::string FieldColumnDefs(const HostField* fields, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    out += ", ";
    out += fields[i].name;
    out += fields[i].type == HF_TEXT ? " BLOB NOT NULL DEFAULT x''" : " INTEGER NOT NULL DEFAULT 0";
  }
  return out;
}

std::string SchemaSql() {
  std::string sql =
      "CREATE TABLE host_meta(key TEXT PRIMARY KEY, value) WITHOUT ROWID;"
      "CREATE TABLE users(user_id BLOB PRIMARY KEY, selected_data_no INTEGER NOT NULL,"
      " first_selection INTEGER NOT NULL DEFAULT 0);"
      "CREATE TABLE companies(cid INTEGER PRIMARY KEY, data_no INTEGER UNIQUE,"
      " data_id TEXT UNIQUE, szDataName BLOB NOT NULL DEFAULT x'',"
      " lTermStart INTEGER NOT NULL DEFAULT 0, lTermEnd INTEGER NOT NULL DEFAULT 0,"
      " data_kind INTEGER NOT NULL DEFAULT 0, bEntityKind INTEGER NOT NULL DEFAULT 0);"
      "CREATE TABLE asset_kinds(cid INTEGER NOT NULL, seq INTEGER NOT NULL";
  sql += FieldColumnDefs(kKindFields, kKindFieldCount);
  sql += ", PRIMARY KEY(cid, seq)) WITHOUT ROWID;"
         "CREATE TABLE assets(cid INTEGER NOT NULL, seq INTEGER NOT NULL";
  sql += FieldColumnDefs(kAssetFields, kAssetFieldCount);
  sql += ", PRIMARY KEY(cid, seq)) WITHOUT ROWID;"
         "CREATE TABLE breakdowns(cid INTEGER NOT NULL, asset_seq INTEGER NOT NULL,"
         " seq INTEGER NOT NULL";
  sql += FieldColumnDefs(kBreakdownFields, kBreakdownFieldCount);
  sql += ", PRIMARY KEY(cid, asset_seq, seq)) WITHOUT ROWID;"
         "CREATE TABLE text_orders(data_id TEXT NOT NULL, group_name BLOB NOT NULL,"
         " entries BLOB NOT NULL, PRIMARY KEY(data_id, group_name)) WITHOUT ROWID;";
  return sql;
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

HostStmt::HostStmt(sqlite3* db, const std::string& sql) {
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
  }
}

HostStmt::~HostStmt() { Finalize(); }

HostStmt::HostStmt(HostStmt&& other) noexcept : stmt_(other.stmt_) { other.stmt_ = nullptr; }

HostStmt& HostStmt::operator=(HostStmt&& other) noexcept {
  if (this != &other) {
    Finalize();
    stmt_ = other.stmt_;
    other.stmt_ = nullptr;
  }
  return *this;
}

void HostStmt::Reset() {
  if (stmt_ == nullptr) return;
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

void HostStmt::Finalize() {
  sqlite3_finalize(stmt_);
  stmt_ = nullptr;
}

HostOpenResult OpenHostStore(const std::string& path, bool writable, sqlite3** db,
                             std::string* detail) {
  *db = nullptr;
  detail->clear();
  FsStat st;
  FsError found = path.empty() ? FsError::kNotFound : Fs::Default()->Stat(path, true, &st);
  if (found != FsError::kNone) return found == FsError::kNotFound ? HOST_OPEN_MISSING : HOST_OPEN_UNREADABLE;
  if (!st.regular) return HOST_OPEN_NOT_FILE;
  sqlite3* handle = nullptr;
  // Each connection is used by one thread only, so sqlite's own per-call
  // locking is left out.
  int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &handle, flags, HostVfsName()) != SQLITE_OK) {
    *detail = handle ? sqlite3_errmsg(handle) : "out of memory";
    sqlite3_close(handle);
    return HOST_OPEN_UNREADABLE;
  }
  sqlite3_busy_timeout(handle, 5000);
  // Reading walks the tables in order and needs little cache; writing (an
  // import) gains from a large one.
  sqlite3_exec(handle, writable ? "PRAGMA cache_size = -32768" : "PRAGMA cache_size = -2048", nullptr,
               nullptr, nullptr);
  HostOpenResult result = HOST_OPEN_OK;
  if (sqlite3_create_function_v2(handle, "host_row", -1, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr,
                                 CopyHostRow, nullptr, nullptr, nullptr) != SQLITE_OK) {
    *detail = sqlite3_errmsg(handle);
    sqlite3_close(handle);
    return HOST_OPEN_UNREADABLE;
  }
  {
    HostStmt id(handle, "PRAGMA application_id");
    int rc = id.ok() ? sqlite3_step(id.get()) : sqlite3_errcode(handle);
    int extended = sqlite3_extended_errcode(handle);
    if (rc == SQLITE_NOTADB) {
      result = HOST_OPEN_NOT_STORE;
      *detail = "not a database";
    } else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
      result = HOST_OPEN_LOCKED;
    } else if (extended == SQLITE_READONLY_ROLLBACK || extended == SQLITE_READONLY_RECOVERY) {
      result = HOST_OPEN_NEEDS_RECOVERY;
    } else if (rc != SQLITE_ROW) {
      result = HOST_OPEN_UNREADABLE;
      *detail = sqlite3_errmsg(handle);
    } else if (sqlite3_column_int(id.get(), 0) != kApplicationId) {
      result = HOST_OPEN_NOT_STORE;
      *detail = "not made by velor-host";
    }
  }
  if (result == HOST_OPEN_OK) {
    HostStmt version(handle, "SELECT value FROM host_meta WHERE key = 'version'");
    if (!version.ok() || sqlite3_step(version.get()) != SQLITE_ROW) {
      result = HOST_OPEN_NOT_STORE;
      *detail = "no version marker";
    } else if (sqlite3_column_int(version.get(), 0) != kHostStoreVersion) {
      result = HOST_OPEN_NOT_STORE;
      *detail = "store version " + std::to_string(sqlite3_column_int(version.get(), 0)) +
                ", this program reads version " + std::to_string(kHostStoreVersion);
    }
  }
  if (result != HOST_OPEN_OK) {
    sqlite3_close(handle);
    return result;
  }
  *db = handle;
  return HOST_OPEN_OK;
}

std::string HostOpenMessage(HostOpenResult result, const std::string& path,
                            const std::string& detail) {
  switch (result) {
    case HOST_OPEN_MISSING:
      return Tr("no host store at %s; create one with velor-host init and import a ledger", {path});
    case HOST_OPEN_UNREADABLE:
      return Tr("cannot read the host store %s%s; check that the file is readable",
                {path, detail.empty() ? "" : " (" + detail + ")"});
    case HOST_OPEN_NOT_STORE:
      return Tr("%s is not a host store%s; create one with velor-host init and import a ledger",
                {path, detail.empty() ? "" : " (" + detail + ")"});
    case HOST_OPEN_NOT_FILE:
      return Tr("the host store %s is not a regular file; give the store's file", {path});
    case HOST_OPEN_LOCKED:
      return Tr("another program is writing to the host store %s; try again when it has finished",
                {path});
    case HOST_OPEN_NEEDS_RECOVERY:
      return Tr("the host store %s was left in the middle of a change and needs recovery; "
                "velor-host check %s recovers it",
                {path, path});
    case HOST_OPEN_OK:
      break;
  }
  return "";
}

std::string HostErrorText(sqlite3* db) {
  int code = sqlite3_errcode(db) & 0xFF;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
    return "another program is reading or writing the store; try again when it has finished";
  }
  return sqlite3_errmsg(db);
}

bool HostExec(sqlite3* db, const char* sql, std::string* error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
  int code = sqlite3_errcode(db) & 0xFF;
  bool held = code == SQLITE_BUSY || code == SQLITE_LOCKED;
  *error = message != nullptr && !held ? message : HostErrorText(db);
  sqlite3_free(message);
  return false;
}

bool CreateHostStore(const std::string& path, const std::string& outputFolder,
                     const std::string& settingsFolder, std::string* error) {
  Fs* fs = Fs::Default();
  FsStat st;
  if (fs->Stat(path, false, &st) != FsError::kNotFound) {
    *error = path + " already exists; choose another file name or remove it first";
    return false;
  }
  const std::string folder = NativeParentOf(path);
  FsError made = CreateNativeFolders(fs, folder);
  if (made != FsError::kNone) {
    *error = "cannot create the folder " + folder + " for " + path + ": " + FsErrorText(made);
    return false;
  }
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, HostVfsName()) != SQLITE_OK) {
    *error = "cannot create " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
    sqlite3_close(db);
    return false;
  }
  std::string sql = "BEGIN;PRAGMA application_id = " + std::to_string(kApplicationId) + ";" +
                    SchemaSql() + "INSERT INTO host_meta VALUES('version', " +
                    std::to_string(kHostStoreVersion) + ");";
  bool done = HostExec(db, sql.c_str(), error);
  if (done) {
    HostStmt put(db, "INSERT INTO host_meta VALUES(?, ?)");
    const std::pair<const char*, const std::string*> folders[] = {
        {"output_folder", &outputFolder}, {"settings_folder", &settingsFolder}};
    for (const auto& [key, value] : folders) {
      sqlite3_bind_text(put.get(), 1, key, -1, SQLITE_STATIC);
      sqlite3_bind_blob(put.get(), 2, value->data(), static_cast<int>(value->size()),
                        SQLITE_STATIC);
      if (sqlite3_step(put.get()) != SQLITE_DONE) {
        done = false;
        *error = sqlite3_errmsg(db);
        break;
      }
      put.Reset();
    }
  }
  done = done && HostExec(db, "COMMIT", error);
  if (!done) *error = "cannot create " + path + ": " + *error;
  sqlite3_close(db);
  if (!done) fs->Remove(path);
  return done;
}

std::string HostProductName(sqlite3* db) {
  HostStmt find(db, "SELECT value FROM host_meta WHERE key = 'product_name'");
  if (!find.ok() || sqlite3_step(find.get()) != SQLITE_ROW) return kDefaultProductName;
  const void* bytes = sqlite3_column_blob(find.get(), 0);
  size_t n = static_cast<size_t>(sqlite3_column_bytes(find.get(), 0));
  if (bytes == nullptr || n == 0 || n > kProductNameMax) return kDefaultProductName;
  return std::string(static_cast<const char*>(bytes), n);
}

std::string HostFieldColumns(const HostField* fields, size_t count, const char* prefix) {
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ", ";
    out += prefix;
    out += fields[i].name;
  }
  return out;
}

std::string HostInsertSql(const char* table, const char* keys, const HostField* fields,
                          size_t count) {
  size_t params = count + 1;
  for (const char* k = keys; *k; ++k) params += *k == ',';
  std::string sql = std::string("INSERT INTO ") + table + "(" + keys + ", " +
                    HostFieldColumns(fields, count, "") + ") VALUES(?";
  for (size_t i = 1; i < params; ++i) sql += ",?";
  return sql + ")";
}

void BindHostFields(sqlite3_stmt* stmt, int first, const HostField* fields, size_t count,
                    const void* const* records) {
  for (size_t i = 0; i < count; ++i) {
    const HostField& f = fields[i];
    const unsigned char* p = static_cast<const unsigned char*>(records[f.record]) + f.offset;
    int column = first + static_cast<int>(i);
    switch (f.type) {
      case HF_TEXT:
        sqlite3_bind_blob(stmt, column, p, static_cast<int>(strnlen(reinterpret_cast<const char*>(p), f.size)),
                          SQLITE_TRANSIENT);
        break;
      case HF_INT16: {
        int16_t v;
        std::memcpy(&v, p, sizeof v);
        sqlite3_bind_int(stmt, column, v);
        break;
      }
      case HF_INT32: {
        int32_t v;
        std::memcpy(&v, p, sizeof v);
        sqlite3_bind_int(stmt, column, v);
        break;
      }
      case HF_BYTE:
        sqlite3_bind_int(stmt, column, *p);
        break;
      case HF_CURRENCY: {
        int64_t v;
        std::memcpy(&v, p, sizeof v);
        sqlite3_bind_int64(stmt, column, v);
        break;
      }
    }
  }
}

void ReadHostFields(sqlite3_stmt* stmt, int first, const HostField* fields, size_t count,
                    void* const* records) {
  // Each column's value is fetched once and read through the value calls,
  // which cost far less per field than repeated column calls. (Reading such
  // a value is safe only while no other thread uses the connection, which
  // holds for every store connection of this program.)
  for (size_t i = 0; i < count; ++i) {
    if (records[fields[i].record] == nullptr) continue;
    sqlite3_value* value = sqlite3_column_value(stmt, first + static_cast<int>(i));
    if (value != nullptr) ReadHostValues(&value, &fields[i], 1, records);
  }
}

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

std::string HostRowColumn(int parameter, const HostField* fields, size_t count) {
  return "host_row(?" + std::to_string(parameter) + ", seq, " + HostFieldColumns(fields, count, "") +
         ")";
}

bool BindHostRowTarget(sqlite3_stmt* stmt, int parameter, HostRowTarget* target) {
  return sqlite3_bind_pointer(stmt, parameter, target, kRowTargetType, nullptr) == SQLITE_OK;
}

void MakeAssetKey(long long cid, long long seq, unsigned char key[16]) {
  // Eight hex digits of the company and seven of the sequence number, by
  // hand: the walk makes one key per asset.
  static const char kHex[] = "0123456789ABCDEF";
  unsigned long long c = static_cast<unsigned long long>(cid) & 0xFFFFFFFFull;
  unsigned long long s = static_cast<unsigned long long>(seq) & 0xFFFFFFFull;
  for (int i = 7; i >= 0; --i, c >>= 4) key[i] = static_cast<unsigned char>(kHex[c & 0xF]);
  for (int i = 14; i >= 8; --i, s >>= 4) key[i] = static_cast<unsigned char>(kHex[s & 0xF]);
  key[15] = 0;
}

bool ParseAssetKey(const unsigned char key[16], long long* cid, long long* seq) {
  if (key[15] != 0) return false;
  unsigned long long parts[2] = {0, 0};
  for (int i = 0; i < 15; ++i) {
    int c = key[i];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return false;
    unsigned long long& part = parts[i < 8 ? 0 : 1];
    part = part * 16 + static_cast<unsigned long long>(digit);
  }
  *cid = static_cast<long long>(parts[0]);
  *seq = static_cast<long long>(parts[1]);
  return true;
}
