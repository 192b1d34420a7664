// A connection to a host store that speaks SQL, for the store's own
// questions and its administration (import, generation, listing, checks).
// SQLite and PostgreSQL each give one; statements are written once for both:
// parameters as ?1, ?2, ... (or ?), texts of the ledger as byte strings.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "store.h"

// A prepared statement. Parameters are numbered from 1, columns from 0.
class SqlStatement {
 public:
  virtual ~SqlStatement() = default;
  // Binds a parameter; the value is copied.
  virtual void BindInt(int parameter, long long value) = 0;
  virtual void BindBytes(int parameter, const void* bytes, size_t size) = 0;
  virtual void BindText(int parameter, const std::string& text) = 0;
  void BindBytes(int parameter, const std::string& bytes) {
    BindBytes(parameter, bytes.data(), bytes.size());
  }
  // Runs the statement, or moves to its next row: *row true on a row, false
  // when it is done.
  virtual StoreError Step(bool* row) = 0;
  // Ends the run and clears the bindings for the next.
  virtual void Reset() = 0;
  // The number of columns of the statement's rows.
  virtual int ColumnCount() = 0;
  // Values of the current row's column; NULL reads as 0 or empty.
  virtual bool IsNull(int column) = 0;
  virtual long long ColumnInt(int column) = 0;
  // The bytes of a text or byte column; valid until the next step or reset.
  virtual const void* ColumnBytes(int column, size_t* size) = 0;
  std::string ColumnString(int column) {
    size_t size = 0;
    const void* bytes = ColumnBytes(column, &size);
    return size == 0 ? std::string() : std::string(static_cast<const char*>(bytes), size);
  }
};

// Which database speaks.
enum class SqlDialect { kSqlite, kPostgres };

class StoreSql {
 public:
  virtual ~StoreSql() = default;
  virtual SqlDialect dialect() const = 0;
  // The store's name for messages (see HostStore::name).
  virtual const std::string& name() const = 0;
  // Prepares sql into *statement.
  virtual StoreError Prepare(const std::string& sql, std::unique_ptr<SqlStatement>* statement) = 0;
  // Runs statements without results (separated by ';').
  virtual StoreError Exec(const std::string& sql) = 0;
  // Begins a write transaction that holds the store against other writers
  // until Commit or Rollback (another writer waits or is refused).
  virtual StoreError BeginWrite() = 0;
  virtual StoreError Commit() = 0;
  // Ends the transaction without its changes; safe without one.
  virtual void Rollback() = 0;
  // Whether a transaction is open (the store may end one on an error).
  virtual bool InTransaction() = 0;
  // The rows the last INSERT, UPDATE or DELETE changed.
  virtual long long Changes() = 0;
  // The column type of store texts kept as bytes ("BLOB", "bytea").
  virtual const char* BytesType() const = 0;
  // The store's own integrity check: one line (UTF-8) per problem found.
  virtual StoreError IntegrityCheck(std::vector<std::string>* problems) = 0;
};

// Opens the store at where (a connection URI or a native file path, UTF-8)
// read-only or for writing.
StoreError OpenStoreSql(const std::string& where, bool writable, std::unique_ptr<StoreSql>* sql);

// Makes a new empty store at where, all or nothing: a new file (missing
// folders made; an existing file refused) or the tables in an existing
// empty database, with the version marker and the two application folders
// (Windows form, code page 932). *sql is then open for writing.
StoreError CreateStoreSql(const std::string& where, const std::string& outputFolder,
                          const std::string& settingsFolder, std::unique_ptr<StoreSql>* sql);
