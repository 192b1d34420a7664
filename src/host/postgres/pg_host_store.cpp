// The exporter's view of the server store: one read-only repeatable-read
// transaction per connection, assets streamed through a cursor.
#include <memory>
#include <string>

#include "pg_store.h"
#include "pg_store_sql.h"
#include "pg_values.h"
#include "sqlhoststore.h"

namespace {

// Rows fetched from the cursor at a time: a few megabytes at most.
constexpr int kWalkBatch = 2000;

std::string AssetColumns() {
  std::string out;
  for (size_t i = 0; i < kAssetFieldCount; ++i) out += std::string(", ") + kAssetFields[i].name;
  return out;
}

// A walk over a server-side cursor, fetched in batches in binary. The next
// batch is asked for as soon as one arrives, so that the server reads it
// while this program writes the rows of the last.
class PgAssetWalk : public AssetWalk, PgStoreSql::Ahead {
 public:
  PgAssetWalk(PgStoreSql* pg, std::string cursor)
      : pg_(pg), cursor_(std::move(cursor)),
        fetch_("FETCH FORWARD " + std::to_string(kWalkBatch) + " FROM " + cursor_) {
    Send();
  }
  ~PgAssetWalk() override {
    pg_->Settle();
    PGconn* conn = pg_->conn();
    if (PQstatus(conn) == CONNECTION_OK && PQtransactionStatus(conn) == PQTRANS_INTRANS) {
      PgResult closed(PQexec(conn, ("CLOSE " + cursor_).c_str()));
    }
  }

  StoreError Next(long long* seq, StKOTEISHISANINFO* asset, StKOTEINENINFO* year, bool* got) override {
    *got = false;
    if (!batch_ || row_ >= PQntuples(batch_.get())) {
      batch_.reset();
      if (done_) return {};
      if (!sent_ && !next_) Send();
      pg_->Settle();
      batch_ = std::move(next_);
      StoreError error = PgResultError(pg_->conn(), batch_.get());
      if (!error.ok()) {
        batch_.reset();
        done_ = true;
        return error;
      }
      row_ = 0;
      done_ = PQntuples(batch_.get()) < kWalkBatch;
      if (!done_) Send();
      if (PQntuples(batch_.get()) == 0) return {};
    }
    void* records[2] = {asset, year};
    *seq = PgInteger(batch_.get(), row_, 0);
    PgReadFields(batch_.get(), row_, 1, kAssetFields, kAssetFieldCount, records);
    ++row_;
    *got = true;
    return {};
  }

  void Collect() override {
    // The first result is the batch (or its failure); the null after it
    // frees the connection.
    PGconn* conn = pg_->conn();
    next_.reset(PQgetResult(conn));
    if (next_) {
      while (PGresult* more = PQgetResult(conn)) PQclear(more);
    }
    sent_ = false;
  }

 private:
  // Asks for the next batch; a failure to send shows as the batch's own.
  void Send() {
    pg_->Settle();
    if (PQsendQueryParams(pg_->conn(), fetch_.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1) == 1) {
      sent_ = true;
      pg_->SetAhead(this);
    }
  }

  PgStoreSql* pg_;
  std::string cursor_;
  std::string fetch_;
  PgResult batch_;  // the rows being read
  PgResult next_;   // the batch after them, once collected
  bool sent_ = false;
  int row_ = 0;
  bool done_ = false;
};

class PgHostStore : public SqlHostStore {
 public:
  // Answers over pg (owned), whose view's snapshot is snapshot.
  PgHostStore(PgStoreSql* pg, std::string snapshot)
      : SqlHostStore(std::unique_ptr<StoreSql>(pg)), pg_(pg), snapshot_(std::move(snapshot)) {}

  // Connects to uri and begins the view's transaction, on the snapshot of
  // another connection's view when snapshot names one that is still open.
  static StoreError Open(const std::string& uri, const std::string& snapshot,
                         std::unique_ptr<HostStore>* store) {
    std::unique_ptr<StoreSql> sql;
    StoreError error = OpenPgStoreSql(uri, false, &sql);
    if (!error.ok()) return error;
    std::unique_ptr<PgStoreSql> pg(static_cast<PgStoreSql*>(sql.release()));
    const char* begin = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
    error = PgExec(pg->conn(), begin);
    if (error.ok() && !snapshot.empty()) {
      error = PgExec(pg->conn(), "SET TRANSACTION SNAPSHOT '" + snapshot + "'");
      // The other view has ended: this one takes a state of its own.
      if (!error.ok()) {
        pg->Rollback();
        error = PgExec(pg->conn(), begin);
      }
    }
    std::string taken = snapshot;
    if (error.ok() && snapshot.empty()) {
      PgResult exported(PQexec(pg->conn(), "SELECT pg_export_snapshot()"));
      error = PgResultError(pg->conn(), exported.get());
      if (error.ok()) taken = PQgetvalue(exported.get(), 0, 0);
    }
    if (!error.ok()) return error;
    *store = std::make_unique<PgHostStore>(pg.release(), taken);
    return {};
  }

  StoreError OpenAnother(std::unique_ptr<HostStore>* another) override {
    return Open(name(), snapshot_, another);
  }

  StoreError WalkAssets(long long cid, long from, std::unique_ptr<AssetWalk>* walk) override {
    std::string cursor = pg_->NewName("velor_c");
    pg_->Settle();
    StoreError error = PgExec(pg_->conn(), "DECLARE " + cursor + " NO SCROLL CURSOR FOR SELECT seq" +
                                               AssetColumns() + " FROM assets WHERE cid = " +
                                               std::to_string(cid) + " AND seq >= " +
                                               std::to_string(from) + " ORDER BY seq");
    if (!error.ok()) return error;
    *walk = std::make_unique<PgAssetWalk>(pg_, cursor);
    return {};
  }

  StoreError SaveTextOrder(const std::string& dataId, const std::string& group,
                           const std::string& entries) override {
    // The view only reads: the order is written through a connection of its
    // own, at once.
    std::unique_ptr<StoreSql> writer;
    StoreError error = OpenPgStoreSql(name(), true, &writer);
    if (!error.ok()) return error;
    std::unique_ptr<SqlStatement> put;
    error = writer->Prepare(
        "INSERT INTO text_orders(data_id, group_name, entries) VALUES(?1, ?2, ?3)"
        " ON CONFLICT (data_id, group_name) DO UPDATE SET entries = excluded.entries",
        &put);
    bool row = false;
    if (error.ok()) {
      put->BindText(1, dataId);
      put->BindBytes(2, group);
      put->BindBytes(3, entries);
      error = put->Step(&row);
    }
    return error;
  }

 private:
  PgStoreSql* pg_;
  std::string snapshot_;
};

}  // namespace

StoreError OpenPgHostStore(const std::string& uri, std::unique_ptr<HostStore>* store) {
  return PgHostStore::Open(uri, "", store);
}
