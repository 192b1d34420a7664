#include "pg_connection.h"

#include <cstring>

#include "storeschema.h"
#include "storeuri.h"

namespace {

// The first line of a message of the server or of libpq, without the
// severity the server puts before it.
std::string Cause(const char* message) {
  std::string text = message != nullptr ? message : "";
  for (const char* prefix : {"ERROR:  ", "FATAL:  "}) {
    if (text.compare(0, std::strlen(prefix), prefix) == 0) text.erase(0, std::strlen(prefix));
  }
  size_t line = text.find('\n');
  if (line != std::string::npos) text.erase(line);
  return text.empty() ? "no reason given" : text;
}

void IgnoreNotice(void*, const char*) {}

}  // namespace

std::string PgServerName(PGconn* conn) {
  const char* host = PQhost(conn);
  const char* port = PQport(conn);
  const char* db = PQdb(conn);
  std::string where = host != nullptr && host[0] == '/'
                          ? std::string("server on socket ") + host
                          : std::string("server ") + (host ? host : "");
  if (port != nullptr && port[0] != '\0') where += std::string(" port ") + port;
  return where + ", database " + (db != nullptr ? db : "");
}

StoreError PgConnect(const std::string& uri, bool writable, PgConn* conn) {
  // Checked on the text itself, before libpq reads it, so that no message
  // of libpq about the URI can quote a password.
  bool hasPassword = false;
  StoreNameShown(uri, &hasPassword);
  if (hasPassword) {
    return StoreError::Of(
        StoreFault::kRefused,
        "the connection URI holds a password; give it through ~/.pgpass, the file "
        "PGPASSFILE names, a service file or PGPASSWORD, never in the URI");
  }
  // A server that does not answer is given up after 10 seconds, unless the
  // URI says otherwise (the URI's own settings come after these).
  const char* keys[] = {"connect_timeout", "dbname", "fallback_application_name", nullptr};
  const char* values[] = {"10", uri.c_str(), "velor", nullptr};
  PgConn made(PQconnectdbParams(keys, values, 1));
  if (!made) return StoreError::Of(StoreFault::kUnreadable, "out of memory");
  if (PQstatus(made.get()) != CONNECTION_OK) {
    std::string detail = PgServerName(made.get()) + ": " + Cause(PQerrorMessage(made.get()));
    if (PQconnectionNeedsPassword(made.get())) {
      return StoreError::Of(StoreFault::kRefused,
                            detail +
                                " (the server asks for a password: put it in ~/.pgpass, the file "
                                "PGPASSFILE names, a service file or PGPASSWORD)");
    }
    switch (PQpingParams(keys, values, 1)) {
      case PQPING_NO_RESPONSE:
        return StoreError::Of(StoreFault::kUnreachable, detail);
      case PQPING_NO_ATTEMPT:
        return StoreError::Of(StoreFault::kUnreadable, detail);
      default:
        return StoreError::Of(StoreFault::kRefused, detail);
    }
  }
  PQsetNoticeProcessor(made.get(), IgnoreNotice, nullptr);
  if (!writable) {
    StoreError set = PgExec(made.get(), "SET default_transaction_read_only = on");
    if (!set.ok()) return set;
  }
  *conn = std::move(made);
  return {};
}

bool PgResultOk(const PGresult* result) {
  if (result == nullptr) return false;
  ExecStatusType status = PQresultStatus(result);
  return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE;
}

StoreError PgResultError(PGconn* conn, const PGresult* result) {
  if (PgResultOk(result)) return {};
  const char* state = result != nullptr ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  const std::string code = state != nullptr ? state : "";
  const char* primary =
      result != nullptr ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  std::string cause = Cause(primary != nullptr  ? primary
                            : result != nullptr ? PQresultErrorMessage(result)
                                                : PQerrorMessage(conn));
  std::string detail = PgServerName(conn) + ": " + cause;
  // A failure of libpq's own (no SQLSTATE) may leave the connection looking
  // well until it is read from: a read tells whether the server is gone.
  if (code.empty() && PQstatus(conn) == CONNECTION_OK) PQconsumeInput(conn);
  StoreFault fault = StoreFault::kUnreadable;
  if (PQstatus(conn) == CONNECTION_BAD || code.compare(0, 2, "08") == 0 || code == "57P01" ||
      code == "57P02" || code == "57P03") {
    fault = StoreFault::kLost;
  } else if (code == "57014") {
    fault = StoreFault::kTimeout;
  } else if (code == "42P01" || code == "42703") {
    fault = StoreFault::kNotStore;
  } else if (code == "40001" || code == "40P01" || code == "55P03") {
    fault = StoreFault::kLocked;
  } else if (code.compare(0, 2, "28") == 0 || code == "42501" || code == "25006") {
    fault = StoreFault::kRefused;
  }
  return StoreError::Of(fault, detail);
}

StoreError PgExec(PGconn* conn, const std::string& sql) {
  PgResult result(PQexec(conn, sql.c_str()));
  return PgResultError(conn, result.get());
}

StoreError PgCheckVersion(PGconn* conn) {
  PgResult result(PQexecParams(conn, "SELECT value FROM host_meta WHERE key = 'version'", 0,
                               nullptr, nullptr, nullptr, nullptr, 1));
  StoreError error = PgResultError(conn, result.get());
  if (error.fault == StoreFault::kNotStore) {
    return StoreError::Of(StoreFault::kNotStore,
                          PgServerName(conn) +
                              ": the database holds no host store (no table "
                              "host_meta); velor-host init makes one in an empty database");
  }
  if (!error.ok()) return error;
  if (PQntuples(result.get()) != 1) {
    return StoreError::Of(StoreFault::kNotStore, PgServerName(conn) + ": no version marker");
  }
  std::string version(PQgetvalue(result.get(), 0, 0),
                      static_cast<size_t>(PQgetlength(result.get(), 0, 0)));
  if (version != std::to_string(kHostStoreVersion)) {
    return StoreError::Of(StoreFault::kNotStore, PgServerName(conn) + ": store version " + version +
                                                     ", this program reads version " +
                                                     std::to_string(kHostStoreVersion));
  }
  return {};
}
