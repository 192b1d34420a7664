// StoreSql over one libpq connection: statements prepared on the server at
// their first run, integers and byte strings sent and read in binary.
#pragma once
#include <memory>
#include <string>

#include "pg_connection.h"
#include "storesql.h"

class PgStoreSql : public StoreSql {
 public:
  // Speaks over conn (connected, version checked) to the store named uri.
  PgStoreSql(PgConn conn, std::string uri);
  ~PgStoreSql() override;

  SqlDialect dialect() const override { return SqlDialect::kPostgres; }
  const std::string& name() const override { return name_; }
  StoreError Prepare(const std::string& sql, std::unique_ptr<SqlStatement>* statement) override;
  StoreError Exec(const std::string& sql) override;
  StoreError BeginWrite() override;
  StoreError Commit() override;
  void Rollback() override;
  bool InTransaction() override;
  long long Changes() override { return changes_; }
  const char* BytesType() const override { return "bytea"; }
  StoreError IntegrityCheck(std::vector<std::string>* problems) override;

  // A read sent ahead on the connection (the next batch of an asset walk),
  // to be collected before anything else is sent.
  class Ahead {
   public:
    virtual ~Ahead() = default;
    // Takes in the read's results.
    virtual void Collect() = 0;
  };
  // Notes ahead as the connection's read in flight (null: none).
  void SetAhead(Ahead* ahead) { ahead_ = ahead; }
  // Collects the read in flight, if any: the connection is then free.
  void Settle();

  // The connection, for the store's own streaming reads (Settle first).
  PGconn* conn() { return conn_.get(); }
  // A name for a new prepared statement or cursor on this connection.
  std::string NewName(const char* kind) { return kind + std::to_string(++names_); }
  // Records the rows a finished command changed.
  void NoteChanges(const PGresult* result);
  // The fault of result (null when none came back), as PgResultError; once
  // a failure has ended the transaction, the later refusals ("transaction
  // is aborted") give that first failure, the cause.
  StoreError Failure(const PGresult* result);

 private:
  PgConn conn_;
  std::string name_;
  long long changes_ = 0;
  long long names_ = 0;
  Ahead* ahead_ = nullptr;
  StoreError aborted_;  // the failure that ended the open transaction
};

// Turns the parameters ?N (and bare ?, numbered in turn) of sql into $N,
// outside quoted texts, names and comments; *count is the highest number.
std::string PgParameterSql(const std::string& sql, int* count);
