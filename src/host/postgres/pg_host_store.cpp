// The exporter's view of the server store: one read-only repeatable-read
// transaction per connection; the assets streamed by the server's copy,
// the breakdown lines through a cursor beside them.
#include <memory>
#include <string>

#include "pg_store.h"
#include "pg_store_sql.h"
#include "pg_values.h"
#include "sqlfields.h"
#include "sqlhoststore.h"

namespace {

// Rows fetched from a cursor at a time: a megabyte or so.
constexpr int kWalkBatch = 2000;
// Rows read between two looks for the next batch's arrival.
constexpr int kConsumeEvery = 50;

// A server-side cursor read in batches, in binary. The next batch is asked
// for as soon as one arrives and taken in while the rows of the last are
// read, so that the server goes on while this program works.
class PgCursor : PgStoreSql::Ahead {
 public:
  // Declares the cursor for query on pg (in its transaction).
  static StoreError Declare(PgStoreSql* pg, const std::string& query,
                            std::unique_ptr<PgCursor>* cursor) {
    std::string name = pg->NewName("velor_c");
    pg->Settle();
    StoreError error = pg->Exec("DECLARE " + name + " NO SCROLL CURSOR FOR " + query);
    if (error.ok()) cursor->reset(new PgCursor(pg, name));
    return error;
  }
  ~PgCursor() override {
    pg_->Settle();
    PGconn* conn = pg_->conn();
    if (PQstatus(conn) == CONNECTION_OK && PQtransactionStatus(conn) == PQTRANS_INTRANS) {
      PgResult closed(PQexec(conn, ("CLOSE " + name_).c_str()));
    }
  }

  // Moves to the next row: *got false past the last. The row is row() of
  // rows() until the next move.
  StoreError Move(bool* got) {
    *got = false;
    if (batch_ && ++row_ < PQntuples(batch_.get())) {
      if (sent_ && row_ % kConsumeEvery == 0) PQconsumeInput(pg_->conn());
      *got = true;
      return {};
    }
    batch_.reset();
    if (done_) return {};
    if (!sent_ && !next_) Send();
    pg_->Settle();
    batch_ = std::move(next_);
    StoreError error = pg_->Failure(batch_.get());
    if (!error.ok()) {
      batch_.reset();
      done_ = true;
      return error;
    }
    row_ = 0;
    done_ = PQntuples(batch_.get()) < kWalkBatch;
    if (!done_) Send();
    *got = PQntuples(batch_.get()) > 0;
    return {};
  }
  const PGresult* rows() const { return batch_.get(); }
  int row() const { return row_; }

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
  PgCursor(PgStoreSql* pg, std::string name)
      : pg_(pg),
        name_(std::move(name)),
        fetch_("FETCH FORWARD " + std::to_string(kWalkBatch) + " FROM " + name_) {
    Send();
  }
  // Asks for the next batch; a failure to send shows as the batch's own.
  void Send() {
    pg_->Settle();
    if (PQsendQueryParams(pg_->conn(), fetch_.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1) ==
        1) {
      sent_ = true;
      pg_->SetAhead(this);
    }
  }

  PgStoreSql* pg_;
  std::string name_;
  std::string fetch_;
  PgResult batch_;  // the rows being read
  PgResult next_;   // the batch after them, once collected
  bool sent_ = false;
  int row_ = -1;
  bool done_ = false;
};

// A walk that reads the assets as the server copies them out in its text
// format (COPY ... TO STDOUT): a row at a time, as fast as the server
// writes them. The text format costs the server less than the binary one,
// whose send functions allocate a buffer for every value. The connection
// serves nothing else until the walk ends.
class PgCopyWalk : public AssetWalk {
 public:
  // Starts the copy of query on pg, whose rows are seq and the asset fields.
  static StoreError Start(PgStoreSql* pg, const std::string& query,
                          std::unique_ptr<AssetWalk>* walk) {
    pg->Settle();
    // A bytea leaves the copy in hex, whatever the server's default.
    PgResult set(PQexec(pg->conn(), "SET bytea_output = hex"));
    if (PQresultStatus(set.get()) != PGRES_COMMAND_OK) return pg->Failure(set.get());
    PgResult started(PQexec(pg->conn(), ("COPY (" + query + ") TO STDOUT").c_str()));
    if (PQresultStatus(started.get()) != PGRES_COPY_OUT) return pg->Failure(started.get());
    walk->reset(new PgCopyWalk(pg));
    return {};
  }
  ~PgCopyWalk() override {
    if (ended_) return;
    // Stopped before the end: the server is told to stop copying and what
    // it sent meanwhile is dropped.
    PGconn* conn = pg_->conn();
    if (PGcancel* cancel = PQgetCancel(conn)) {
      char why[256];
      PQcancel(cancel, why, sizeof why);
      PQfreeCancel(cancel);
    }
    char* row = nullptr;
    while (PQgetCopyData(conn, &row, 0) > 0) PQfreemem(row);
    while (PGresult* result = PQgetResult(conn)) PQclear(result);
  }

  StoreError Next(long long* seq, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                  bool* got) override {
    *got = false;
    if (ended_) return {};
    char* data = nullptr;
    int size = PQgetCopyData(pg_->conn(), &data, 0);
    if (size < 0) return End();
    std::unique_ptr<char, void (*)(void*)> row(data, PQfreemem);
    // Fields apart by tabs, the row ended by a line feed, NULL as \N.
    const char* end = data + size;
    if (size == 0 || end[-1] != '\n') return Garbled();
    void* records[2] = {asset, year};
    const char* p = PgScanCopyInteger(data, end, seq);
    for (size_t i = 0; i < kAssetFieldCount && p != nullptr; ++i) {
      if (*p != '\t') return Garbled();
      p = PgScanCopyField(kAssetFields[i], p + 1, end, records);
    }
    if (p != end - 1) return Garbled();
    *got = true;
    return {};
  }

 private:
  explicit PgCopyWalk(PgStoreSql* pg) : pg_(pg) {}

  // The copy has ended: its result says whether it ended well.
  StoreError End() {
    ended_ = true;
    PGconn* conn = pg_->conn();
    PgResult result(PQgetResult(conn));
    StoreError error = pg_->Failure(result.get());
    while (PGresult* more = PQgetResult(conn)) PQclear(more);
    return error;
  }
  StoreError Garbled() {
    return StoreError::Of(
        StoreFault::kUnreadable,
        PgServerName(pg_->conn()) + ": the server sent an asset row that cannot be read");
  }

  PgStoreSql* pg_;
  bool ended_ = false;
};

// The breakdown lines of one company read in asset order by a cursor, for
// an export that asks for them asset after asset: one stream instead of a
// question per lump-sum asset.
class PgBreakdownStream {
 public:
  // Whether the stream can give the lines of asset seq of company cid (not
  // for another company, nor for an asset at or behind the last asked).
  bool Serves(long long cid, long long seq) const { return cursor_ && cid == cid_ && seq > asked_; }

  // Opens the stream over company cid's lines from asset seq on.
  StoreError Open(PgStoreSql* pg, long long cid, long long seq) {
    cursor_.reset();
    StoreError error = PgCursor::Declare(
        pg,
        "SELECT asset_seq, " + SqlFieldColumns(kBreakdownFields, kBreakdownFieldCount, "") +
            " FROM breakdowns WHERE cid = " + std::to_string(cid) +
            " AND asset_seq >= " + std::to_string(seq) + " ORDER BY asset_seq, seq",
        &cursor_);
    if (!error.ok()) return error;
    cid_ = cid;
    asked_ = seq - 1;
    error = Move();
    if (!error.ok()) cursor_.reset();
    return error;
  }

  // Reads the lines of asset seq into *lines (Serves(cid, seq) true).
  StoreError Read(long long seq, std::vector<StIKKATSUINFO>* lines) {
    lines->clear();
    asked_ = seq;
    while (got_ && at_ <= seq) {
      if (at_ == seq) {
        StIKKATSUINFO line{};
        void* records[1] = {&line};
        PgReadFields(cursor_->rows(), cursor_->row(), 1, kBreakdownFields, kBreakdownFieldCount,
                     records);
        lines->push_back(line);
      }
      StoreError error = Move();
      if (!error.ok()) {
        lines->clear();
        cursor_.reset();
        return error;
      }
    }
    return {};
  }

 private:
  StoreError Move() {
    StoreError error = cursor_->Move(&got_);
    at_ = got_ ? PgInteger(cursor_->rows(), cursor_->row(), 0) : 0;
    return error;
  }

  std::unique_ptr<PgCursor> cursor_;
  long long cid_ = 0;
  long long asked_ = 0;  // the asset last asked for
  bool got_ = false;     // whether the cursor stands on a line
  long long at_ = 0;     // the asset of that line
};

// Connects to uri and begins a view there: one read-only repeatable-read
// transaction, on the state of snapshot (another view's, still open) or,
// when snapshot is empty or no longer open and !strict, on a state of its
// own, whose name goes to *taken.
StoreError OpenView(const std::string& uri, const std::string& snapshot, bool strict,
                    std::unique_ptr<PgStoreSql>* view, std::string* taken) {
  std::unique_ptr<StoreSql> sql;
  StoreError error = OpenPgStoreSql(uri, false, &sql);
  if (!error.ok()) return error;
  std::unique_ptr<PgStoreSql> pg(static_cast<PgStoreSql*>(sql.release()));
  const char* begin = "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
  error = PgExec(pg->conn(), begin);
  *taken = snapshot;
  if (error.ok() && !snapshot.empty()) {
    error = PgExec(pg->conn(), "SET TRANSACTION SNAPSHOT '" + snapshot + "'");
    if (!error.ok() && !strict) {
      pg->Rollback();
      error = PgExec(pg->conn(), begin);
      taken->clear();
    }
  }
  if (error.ok() && taken->empty()) {
    PgResult exported(PQexec(pg->conn(), "SELECT pg_export_snapshot()"));
    error = PgResultError(pg->conn(), exported.get());
    if (error.ok()) *taken = PQgetvalue(exported.get(), 0, 0);
  }
  if (!error.ok()) return error;
  *view = std::move(pg);
  return {};
}

// The exporter's store: a view for the host's questions and the breakdown
// lines (streamed in asset order) and, from the first walk on, a second
// connection on the same state that streams the asset walks.
class PgHostStore : public SqlHostStore {
 public:
  // Answers over pg (owned), whose view's snapshot is snapshot.
  PgHostStore(PgStoreSql* pg, std::string snapshot)
      : SqlHostStore(std::unique_ptr<StoreSql>(pg)), pg_(pg), snapshot_(std::move(snapshot)) {}

  // Opens a view of uri into *store, on snapshot as OpenView does.
  static StoreError Open(const std::string& uri, const std::string& snapshot,
                         std::unique_ptr<HostStore>* store) {
    std::unique_ptr<PgStoreSql> view;
    std::string taken;
    StoreError error = OpenView(uri, snapshot, false, &view, &taken);
    if (!error.ok()) return error;
    *store = std::make_unique<PgHostStore>(view.release(), taken);
    return {};
  }

  StoreError OpenAnother(std::unique_ptr<HostStore>* another) override {
    return Open(name(), snapshot_, another);
  }

  StoreError WalkAssets(long long cid, long from, std::unique_ptr<AssetWalk>* walk) override {
    StoreError error = OpenWalker();
    if (!error.ok()) return error;
    return PgCopyWalk::Start(walker_.get(),
                             "SELECT seq, " + SqlFieldColumns(kAssetFields, kAssetFieldCount, "") +
                                 " FROM assets WHERE cid = " + std::to_string(cid) +
                                 " AND seq >= " + std::to_string(from) + " ORDER BY seq",
                             walk);
  }

  StoreError ReadBreakdowns(long long cid, long long seq,
                            std::vector<StIKKATSUINFO>* lines) override {
    StoreError error;
    if (!breakdowns_.Serves(cid, seq)) error = breakdowns_.Open(pg_, cid, seq);
    return error.ok() ? breakdowns_.Read(seq, lines) : error;
  }

  StoreError OpenWriter(std::unique_ptr<StoreSql>* writer) override {
    return OpenPgStoreSql(name(), true, writer);
  }

 private:
  // Opens the walks' connection on the view's state, unless it is open and
  // ready (a walk stopped before its end leaves it unready).
  StoreError OpenWalker() {
    if (walker_ && PQstatus(walker_->conn()) == CONNECTION_OK &&
        PQtransactionStatus(walker_->conn()) == PQTRANS_INTRANS) {
      return {};
    }
    walker_.reset();
    std::string taken;
    return OpenView(name(), snapshot_, true, &walker_, &taken);
  }

  PgStoreSql* pg_;  // the view's connection, owned by SqlHostStore
  std::string snapshot_;
  std::unique_ptr<PgStoreSql> walker_;  // the walks' connection, once there is one
  PgBreakdownStream breakdowns_;        // on pg_
};

}  // namespace

StoreError OpenPgHostStore(const std::string& uri, std::unique_ptr<HostStore>* store) {
  return PgHostStore::Open(uri, "", store);
}
