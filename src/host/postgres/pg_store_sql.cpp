#include "pg_store_sql.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "pg_store.h"
#include "pg_values.h"
#include "storeschema.h"

namespace {

constexpr Oid kByteaType = 17, kInt8Type = 20;
// The advisory lock every writer of a store holds for its transaction.
constexpr const char* kWriterLockSql = "SELECT pg_advisory_xact_lock(7598814106524459826)";

// One parameter as it goes to the server.
struct PgParam {
  bool bound = false;
  Oid type = 0;  // 0: the server infers it (texts)
  int format = 0;
  std::string value;
};

class PgStatement : public SqlStatement {
 public:
  PgStatement(PgStoreSql* owner, std::string sql, int params)
      : owner_(owner), sql_(std::move(sql)), params_(static_cast<size_t>(params)) {}
  ~PgStatement() override {
    // A statement prepared on the server lives as long as the connection
    // unless it is dropped.
    owner_->Settle();
    if (!prepared_.empty() && PQstatus(owner_->conn()) == CONNECTION_OK &&
        PQtransactionStatus(owner_->conn()) != PQTRANS_INERROR) {
      PgResult dropped(PQexec(owner_->conn(), ("DEALLOCATE " + prepared_).c_str()));
    }
  }

  void BindInt(int parameter, long long value) override {
    uint64_t v = static_cast<uint64_t>(value);
    std::string bytes(8, '\0');
    for (int i = 7; i >= 0; --i, v >>= 8)
      bytes[static_cast<size_t>(i)] = static_cast<char>(v & 0xFF);
    Bind(parameter, kInt8Type, 1, std::move(bytes));
  }
  void BindBytes(int parameter, const void* bytes, size_t size) override {
    Bind(parameter, kByteaType, 1, std::string(static_cast<const char*>(bytes), size));
  }
  void BindText(int parameter, const std::string& text) override { Bind(parameter, 0, 0, text); }

  StoreError Step(bool* row) override {
    *row = false;
    if (!result_) {
      StoreError run = Run();
      if (!run.ok()) return run;
      row_ = -1;
    }
    if (row_ < PQntuples(result_.get())) ++row_;
    *row = row_ < PQntuples(result_.get());
    return {};
  }
  void Reset() override {
    result_.reset();
    for (PgParam& p : params_) p = PgParam();
  }
  int ColumnCount() override { return result_ ? PQnfields(result_.get()) : 0; }
  bool IsNull(int column) override {
    return !OnRow(column) || PQgetisnull(result_.get(), row_, column);
  }
  long long ColumnInt(int column) override {
    return OnRow(column) ? PgInteger(result_.get(), row_, column) : 0;
  }
  const void* ColumnBytes(int column, size_t* size) override {
    *size = 0;
    if (IsNull(column)) return "";
    Oid type = PQftype(result_.get(), column);
    if (type == 16 || type == 20 || type == 21 || type == 23 || type == 1700) {
      // An integer column read as text: its decimal digits.
      digits_ = std::to_string(ColumnInt(column));
      *size = digits_.size();
      return digits_.data();
    }
    *size = static_cast<size_t>(PQgetlength(result_.get(), row_, column));
    return PQgetvalue(result_.get(), row_, column);
  }

 private:
  void Bind(int parameter, Oid type, int format, std::string value) {
    if (parameter < 1 || static_cast<size_t>(parameter) > params_.size()) return;
    PgParam& p = params_[static_cast<size_t>(parameter - 1)];
    p.bound = true;
    p.type = type;
    p.format = format;
    p.value = std::move(value);
  }
  bool OnRow(int column) const {
    return result_ && row_ >= 0 && row_ < PQntuples(result_.get()) && column >= 0 &&
           column < PQnfields(result_.get());
  }
  // Prepares the statement for the types bound now (again when they differ
  // from the last run's) and runs it; the rows come back in binary.
  StoreError Run() {
    owner_->Settle();
    PGconn* conn = owner_->conn();
    std::vector<Oid> types;
    std::vector<const char*> values;
    std::vector<int> lengths, formats;
    for (const PgParam& p : params_) {
      types.push_back(p.type);
      values.push_back(p.bound ? p.value.data() : nullptr);
      lengths.push_back(static_cast<int>(p.value.size()));
      formats.push_back(p.format);
    }
    const int n = static_cast<int>(params_.size());
    if (prepared_.empty() || types != preparedTypes_) {
      std::string name = owner_->NewName("velor_s");
      PgResult prepared(PQprepare(conn, name.c_str(), sql_.c_str(), n, types.data()));
      StoreError error = owner_->Failure(prepared.get());
      if (!error.ok()) return error;
      if (!prepared_.empty()) PgResult(PQexec(conn, ("DEALLOCATE " + prepared_).c_str()));
      prepared_ = name;
      preparedTypes_ = types;
    }
    result_.reset(PQexecPrepared(conn, prepared_.c_str(), n, values.data(), lengths.data(),
                                 formats.data(), 1));
    StoreError error = owner_->Failure(result_.get());
    if (!error.ok()) {
      result_.reset();
      return error;
    }
    owner_->NoteChanges(result_.get());
    return {};
  }

  PgStoreSql* owner_;
  std::string sql_;
  std::vector<PgParam> params_;
  std::string prepared_;  // name on the server, empty before the first run
  std::vector<Oid> preparedTypes_;
  PgResult result_;
  int row_ = -1;
  std::string digits_;
};

}  // namespace

std::string PgParameterSql(const std::string& sql, int* count) {
  std::string out;
  int next = 0;
  *count = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (c == '\'' || c == '"') {
      size_t end = sql.find(c, i + 1);
      end = end == std::string::npos ? sql.size() : end + 1;
      out.append(sql, i, end - i);
      i = end - 1;
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      size_t end = sql.find('\n', i);
      end = end == std::string::npos ? sql.size() : end;
      out.append(sql, i, end - i);
      i = end - 1;
    } else if (c == '?') {
      size_t digits = i + 1;
      while (digits < sql.size() && sql[digits] >= '0' && sql[digits] <= '9') ++digits;
      int number = digits > i + 1 ? std::atoi(sql.substr(i + 1, digits - i - 1).c_str()) : ++next;
      if (number > *count) *count = number;
      out += '$';
      out += std::to_string(number);
      i = digits - 1;
    } else {
      out += c;
    }
  }
  return out;
}

PgStoreSql::PgStoreSql(PgConn conn, std::string uri)
    : conn_(std::move(conn)), name_(std::move(uri)) {}

PgStoreSql::~PgStoreSql() = default;

StoreError PgStoreSql::Failure(const PGresult* result) {
  StoreError error = PgResultError(conn(), result);
  if (error.ok()) return error;
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  if (state != nullptr && std::string(state) == "25P02" && !aborted_.ok()) return aborted_;
  if (PQtransactionStatus(conn()) == PQTRANS_INERROR) aborted_ = error;
  return error;
}

void PgStoreSql::Settle() {
  if (ahead_ == nullptr) return;
  Ahead* ahead = ahead_;
  ahead_ = nullptr;
  ahead->Collect();
}

void PgStoreSql::NoteChanges(const PGresult* result) {
  const char* tuples = PQcmdTuples(const_cast<PGresult*>(result));
  if (tuples != nullptr && tuples[0] != '\0') changes_ = std::atoll(tuples);
}

StoreError PgStoreSql::Prepare(const std::string& sql, std::unique_ptr<SqlStatement>* statement) {
  int params = 0;
  std::string translated = PgParameterSql(sql, &params);
  *statement = std::make_unique<PgStatement>(this, std::move(translated), params);
  return {};
}

StoreError PgStoreSql::Exec(const std::string& sql) {
  Settle();
  PgResult result(PQexec(conn(), sql.c_str()));
  StoreError error = Failure(result.get());
  if (error.ok()) NoteChanges(result.get());
  return error;
}

StoreError PgStoreSql::BeginWrite() {
  Settle();
  StoreError error = PgExec(conn(), "BEGIN");
  if (error.ok()) error = PgExec(conn(), kWriterLockSql);
  if (!error.ok()) Rollback();
  return error;
}

StoreError PgStoreSql::Commit() {
  Settle();
  // The server answers COMMIT of a failed transaction by rolling it back,
  // without an error: that is a failure here.
  if (PQtransactionStatus(conn()) == PQTRANS_INERROR) {
    Rollback();
    return StoreError::Of(StoreFault::kUnreadable,
                          PgServerName(conn()) + ": the transaction failed and was rolled back");
  }
  PgResult result(PQexec(conn(), "COMMIT"));
  StoreError error = PgResultError(conn(), result.get());
  if (error.ok() && std::string(PQcmdStatus(result.get())) != "COMMIT") {
    error = StoreError::Of(StoreFault::kUnreadable,
                           PgServerName(conn()) + ": the transaction was rolled back");
  }
  return error;
}

void PgStoreSql::Rollback() {
  Settle();
  if (PQtransactionStatus(conn()) != PQTRANS_IDLE && PQstatus(conn()) == CONNECTION_OK) {
    PgResult result(PQexec(conn(), "ROLLBACK"));
  }
  aborted_ = StoreError();
}

bool PgStoreSql::InTransaction() {
  PGTransactionStatusType status = PQtransactionStatus(conn());
  return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

StoreError PgStoreSql::IntegrityCheck(std::vector<std::string>* problems) {
  // The server keeps its tables whole itself; what can be wrong here is a
  // database that is not a store of this version.
  problems->clear();
  Settle();
  return PgCheckVersion(conn());
}

StoreError OpenPgStoreSql(const std::string& uri, bool writable, std::unique_ptr<StoreSql>* sql) {
  PgConn conn;
  StoreError error = PgConnect(uri, writable, &conn);
  if (error.ok()) error = PgCheckVersion(conn.get());
  if (!error.ok()) return error;
  *sql = std::make_unique<PgStoreSql>(std::move(conn), uri);
  return {};
}

StoreError CreatePgStoreSql(const std::string& uri, const std::string& outputFolder,
                            const std::string& settingsFolder, std::unique_ptr<StoreSql>* sql) {
  PgConn conn;
  StoreError error = PgConnect(uri, true, &conn);
  if (!error.ok()) return error;
  auto store = std::make_unique<PgStoreSql>(std::move(conn), uri);
  error = store->BeginWrite();
  if (!error.ok()) return error;
  // Only an empty database takes the store: no table, view or sequence of
  // its own in any schema.
  std::unique_ptr<SqlStatement> held;
  store->Prepare(
      "SELECT count(*) FROM pg_catalog.pg_class c JOIN pg_catalog.pg_namespace n"
      " ON n.oid = c.relnamespace WHERE n.nspname <> 'information_schema' AND n.nspname NOT LIKE "
      "'pg\\_%'",
      &held);
  bool row = false;
  error = held->Step(&row);
  if (error.ok() && held->ColumnInt(0) > 0) {
    error = StoreError::Of(
        StoreFault::kRefused,
        PgServerName(store->conn()) + ": the database is not empty (it holds " +
            std::to_string(held->ColumnInt(0)) +
            " tables, views or sequences); the store needs an empty database of its own");
  }
  held.reset();
  if (error.ok()) error = store->Exec(StoreSchemaSql(SqlDialect::kPostgres));
  std::unique_ptr<SqlStatement> put;
  store->Prepare("INSERT INTO host_meta VALUES(?1, ?2)", &put);
  const std::pair<const char*, std::string> rows[] = {
      {"version", std::to_string(kHostStoreVersion)},
      {"output_folder", outputFolder},
      {"settings_folder", settingsFolder}};
  for (const auto& [key, value] : rows) {
    if (!error.ok()) break;
    put->BindText(1, key);
    put->BindBytes(2, value);
    error = put->Step(&row);
    put->Reset();
  }
  put.reset();
  if (error.ok()) error = store->Commit();
  if (!error.ok()) {
    store->Rollback();
    return error;
  }
  *sql = std::move(store);
  return {};
}
