// Connections to a PostgreSQL server and the faults it reports, for the
// server's host store. Only this folder sees libpq.
#pragma once
#include <libpq-fe.h>

#include <memory>
#include <string>

#include "store.h"

// Frees a connection or a result when its owner ends.
struct PgConnCloser {
  void operator()(PGconn* conn) const { PQfinish(conn); }
};
struct PgResultClearer {
  void operator()(PGresult* result) const { PQclear(result); }
};
using PgConn = std::unique_ptr<PGconn, PgConnCloser>;
using PgResult = std::unique_ptr<PGresult, PgResultClearer>;

// Connects to the server of uri (a postgresql:// or postgres:// URI without
// a password); a connection that only reads refuses every write.
StoreError PgConnect(const std::string& uri, bool writable, PgConn* conn);

// The server and database of conn for messages ("server /run/postgresql
// port 5432, database accounts"); never a password.
std::string PgServerName(PGconn* conn);

// The fault of a failed result (null when none came back) on conn, with a
// detail naming the server and the cause; kNone when result succeeded.
StoreError PgResultError(PGconn* conn, const PGresult* result);

// Whether result is a success of a command or a query.
bool PgResultOk(const PGresult* result);

// Runs sql (statements without parameters) on conn.
StoreError PgExec(PGconn* conn, const std::string& sql);

// Checks that the database of conn holds a host store of this version.
StoreError PgCheckVersion(PGconn* conn);
