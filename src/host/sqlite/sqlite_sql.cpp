#include "sqlite_sql.h"

#include <cstring>

#include "crtio.h"
#include "drivemap.h"
#include "fs.h"
#include "sqlite_row.h"
#include "sqlite_store.h"
#include "sqlite_vfs.h"
#include "storeschema.h"

namespace {

// The application identifier every host store carries ("VELR").
constexpr int kApplicationId = 0x56454C52;

// A statement of a SqliteStoreSql.
class SqliteStatement : public SqlStatement {
 public:
  SqliteStatement(sqlite3* db, HostStmt stmt) : db_(db), stmt_(std::move(stmt)) {}
  void BindInt(int parameter, long long value) override {
    sqlite3_bind_int64(stmt_.get(), parameter, value);
  }
  void BindBytes(int parameter, const void* bytes, size_t size) override {
    // A zero-length blob needs a non-null pointer to be a blob, not NULL.
    static const char kEmpty = 0;
    sqlite3_bind_blob64(stmt_.get(), parameter, size == 0 ? &kEmpty : bytes, size, SQLITE_TRANSIENT);
  }
  void BindText(int parameter, const std::string& text) override {
    sqlite3_bind_text64(stmt_.get(), parameter, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  }
  StoreError Step(bool* row) override {
    int rc = sqlite3_step(stmt_.get());
    *row = rc == SQLITE_ROW;
    if (rc == SQLITE_ROW || rc == SQLITE_DONE) return {};
    StoreError error = SqliteError(db_);
    sqlite3_reset(stmt_.get());
    return error;
  }
  void Reset() override { stmt_.Reset(); }
  int ColumnCount() override { return sqlite3_column_count(stmt_.get()); }
  bool IsNull(int column) override { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }
  long long ColumnInt(int column) override { return sqlite3_column_int64(stmt_.get(), column); }
  const void* ColumnBytes(int column, size_t* size) override {
    const void* bytes = sqlite3_column_blob(stmt_.get(), column);
    *size = static_cast<size_t>(sqlite3_column_bytes(stmt_.get(), column));
    return bytes;
  }

 private:
  sqlite3* db_;
  HostStmt stmt_;
};

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

StoreError OpenSqliteDb(const std::string& path, bool writable, sqlite3** db) {
  *db = nullptr;
  FsStat st;
  FsError found = path.empty() ? FsError::kNotFound : Fs::Default()->Stat(path, true, &st);
  if (found != FsError::kNone) {
    return StoreError::Of(found == FsError::kNotFound ? StoreFault::kMissing : StoreFault::kUnreadable,
                          found == FsError::kNotFound ? "" : FsErrorText(found));
  }
  if (!st.regular) return StoreError::Of(StoreFault::kNotFile, "");
  sqlite3* handle = nullptr;
  // Each connection is used by one thread only, so sqlite's own per-call
  // locking is left out.
  int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &handle, flags, HostVfsName()) != SQLITE_OK) {
    StoreError error = StoreError::Of(StoreFault::kUnreadable, handle ? sqlite3_errmsg(handle) : "out of memory");
    sqlite3_close(handle);
    return error;
  }
  sqlite3_busy_timeout(handle, 5000);
  // Reading walks the tables in order and needs little cache; writing (an
  // import) gains from a large one.
  sqlite3_exec(handle, writable ? "PRAGMA cache_size = -32768" : "PRAGMA cache_size = -2048", nullptr,
               nullptr, nullptr);
  StoreError result;
  if (!RegisterHostRow(handle)) result = StoreError::Of(StoreFault::kUnreadable, sqlite3_errmsg(handle));
  if (result.ok()) {
    HostStmt id(handle, "PRAGMA application_id");
    int rc = id.ok() ? sqlite3_step(id.get()) : sqlite3_errcode(handle);
    int extended = sqlite3_extended_errcode(handle);
    if (rc == SQLITE_NOTADB) {
      result = StoreError::Of(StoreFault::kNotStore, "not a database");
    } else if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
      result = StoreError::Of(StoreFault::kLocked, "");
    } else if (extended == SQLITE_READONLY_ROLLBACK || extended == SQLITE_READONLY_RECOVERY) {
      result = StoreError::Of(StoreFault::kNeedsRecovery, "");
    } else if (rc != SQLITE_ROW) {
      result = StoreError::Of(StoreFault::kUnreadable, sqlite3_errmsg(handle));
    } else if (sqlite3_column_int(id.get(), 0) != kApplicationId) {
      result = StoreError::Of(StoreFault::kNotStore, "not made by velor-host");
    }
  }
  if (result.ok()) {
    HostStmt version(handle, "SELECT value FROM host_meta WHERE key = 'version'");
    if (!version.ok() || sqlite3_step(version.get()) != SQLITE_ROW) {
      result = StoreError::Of(StoreFault::kNotStore, "no version marker");
    } else if (sqlite3_column_int(version.get(), 0) != kHostStoreVersion) {
      result = StoreError::Of(StoreFault::kNotStore,
                              "store version " + std::to_string(sqlite3_column_int(version.get(), 0)) +
                                  ", this program reads version " + std::to_string(kHostStoreVersion));
    }
  }
  if (!result.ok()) {
    sqlite3_close(handle);
    return result;
  }
  *db = handle;
  return result;
}

StoreError SqliteError(sqlite3* db) {
  int code = sqlite3_errcode(db) & 0xFF;
  if (code == SQLITE_BUSY || code == SQLITE_LOCKED) {
    return StoreError::Of(StoreFault::kLocked,
                          "another program is reading or writing the store; try again when it has finished");
  }
  return StoreError::Of(StoreFault::kUnreadable, sqlite3_errmsg(db));
}

SqliteStoreSql::SqliteStoreSql(sqlite3* db, std::string name) : db_(db), name_(std::move(name)) {}

SqliteStoreSql::~SqliteStoreSql() {
  Rollback();
  sqlite3_close(db_);
}

StoreError SqliteStoreSql::Prepare(const std::string& sql, std::unique_ptr<SqlStatement>* statement) {
  statement->reset();
  HostStmt stmt(db_, sql);
  if (!stmt.ok()) return SqliteError(db_);
  *statement = std::make_unique<SqliteStatement>(db_, std::move(stmt));
  return {};
}

StoreError SqliteStoreSql::Exec(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return {};
  StoreError error = SqliteError(db_);
  if (error.fault != StoreFault::kLocked && message != nullptr) error.detail = message;
  sqlite3_free(message);
  return error;
}

StoreError SqliteStoreSql::BeginWrite() { return Exec("BEGIN IMMEDIATE"); }

StoreError SqliteStoreSql::Commit() { return Exec("COMMIT"); }

void SqliteStoreSql::Rollback() {
  if (InTransaction()) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool SqliteStoreSql::InTransaction() { return sqlite3_get_autocommit(db_) == 0; }

long long SqliteStoreSql::Changes() { return sqlite3_changes64(db_); }

StoreError SqliteStoreSql::IntegrityCheck(std::vector<std::string>* problems) {
  problems->clear();
  HostStmt check(db_, "PRAGMA integrity_check");
  if (!check.ok()) return SqliteError(db_);
  int rc;
  while ((rc = sqlite3_step(check.get())) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(check.get(), 0);
    std::string line = text != nullptr ? reinterpret_cast<const char*>(text) : "";
    if (line != "ok") problems->push_back(line);
  }
  return rc == SQLITE_DONE ? StoreError{} : SqliteError(db_);
}

StoreError OpenSqliteStoreSql(const std::string& path, bool writable, std::unique_ptr<StoreSql>* sql) {
  sqlite3* db = nullptr;
  StoreError error = OpenSqliteDb(path, writable, &db);
  if (error.ok()) *sql = std::make_unique<SqliteStoreSql>(db, NativeAbsolutePath(path));
  return error;
}

StoreError CreateSqliteStoreSql(const std::string& path, const std::string& outputFolder,
                                const std::string& settingsFolder, std::unique_ptr<StoreSql>* sql) {
  Fs* fs = Fs::Default();
  FsStat st;
  if (fs->Stat(path, false, &st) != FsError::kNotFound) {
    return StoreError::Of(StoreFault::kRefused,
                          path + " already exists; choose another file name or remove it first");
  }
  const std::string folder = NativeParentOf(path);
  FsError made = CreateNativeFolders(fs, folder);
  if (made != FsError::kNone) {
    return StoreError::Of(StoreFault::kUnreadable,
                          "cannot create the folder " + folder + " for " + path + ": " + FsErrorText(made));
  }
  sqlite3* db = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXCLUSIVE | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db, flags, HostVfsName()) != SQLITE_OK) {
    StoreError error = StoreError::Of(StoreFault::kUnreadable,
                                      "cannot create " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
    sqlite3_close(db);
    return error;
  }
  auto store = std::make_unique<SqliteStoreSql>(db, NativeAbsolutePath(path));
  StoreError error = store->Exec("BEGIN;PRAGMA application_id = " + std::to_string(kApplicationId) + ";" +
                                 StoreSchemaSql(SqlDialect::kSqlite) +
                                 "INSERT INTO host_meta VALUES('version', " +
                                 std::to_string(kHostStoreVersion) + ");");
  std::unique_ptr<SqlStatement> put;
  if (error.ok()) error = store->Prepare("INSERT INTO host_meta VALUES(?1, ?2)", &put);
  const std::pair<const char*, const std::string*> folders[] = {{"output_folder", &outputFolder},
                                                                {"settings_folder", &settingsFolder}};
  for (const auto& [key, value] : folders) {
    if (!error.ok()) break;
    bool row = false;
    put->BindText(1, key);
    put->BindBytes(2, *value);
    error = put->Step(&row);
    put->Reset();
  }
  put.reset();
  if (error.ok()) error = store->Commit();
  if (!error.ok()) {
    error.detail = "cannot create " + path + ": " + error.detail;
    store.reset();
    fs->Remove(path);
    return error;
  }
  *sql = std::move(store);
  return error;
}
