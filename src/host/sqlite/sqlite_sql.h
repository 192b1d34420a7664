// SQLite connections of the host store: prepared statements, the opening
// of a store file with its checks, and the StoreSql of a connection.
#pragma once
#include <sqlite3.h>

#include <string>

#include "storesql.h"

// A prepared statement that finalizes itself.
class HostStmt {
 public:
  HostStmt() = default;
  // Prepares sql on db; ok() tells whether that worked.
  HostStmt(sqlite3* db, const std::string& sql);
  ~HostStmt();
  HostStmt(HostStmt&& other) noexcept;
  HostStmt& operator=(HostStmt&& other) noexcept;
  HostStmt(const HostStmt&) = delete;
  HostStmt& operator=(const HostStmt&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }
  // Resets the statement and clears its bindings for the next run.
  void Reset();
  // Finalizes now (later calls see !ok()).
  void Finalize();

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Opens the store file at path (native, UTF-8) read-only or for writing into
// *db (null unless it succeeds) and checks its marks and version.
StoreError OpenSqliteDb(const std::string& path, bool writable, sqlite3** db);

// The last failure on db as a StoreError: a store another connection holds
// is kLocked (in use, try again later), anything else kUnreadable with
// SQLite's message.
StoreError SqliteError(sqlite3* db);

// The StoreSql of an open connection, which it closes at the end.
class SqliteStoreSql : public StoreSql {
 public:
  // Takes db (open, owned); name is the store's native path.
  SqliteStoreSql(sqlite3* db, std::string name);
  ~SqliteStoreSql() override;

  sqlite3* db() const { return db_; }
  SqlDialect dialect() const override { return SqlDialect::kSqlite; }
  const std::string& name() const override { return name_; }
  StoreError Prepare(const std::string& sql, std::unique_ptr<SqlStatement>* statement) override;
  StoreError Exec(const std::string& sql) override;
  StoreError BeginWrite() override;
  StoreError Commit() override;
  void Rollback() override;
  bool InTransaction() override;
  long long Changes() override;
  const char* BytesType() const override { return "BLOB"; }
  StoreError IntegrityCheck(std::vector<std::string>* problems) override;

 private:
  sqlite3* db_;
  std::string name_;
};
