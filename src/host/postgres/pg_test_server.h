// A database of its own for each test, on the tests' private server
// (VELOR_TEST_PG_URI names its database velor_test).
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "nativeos.h"
#include "pg_connection.h"

// Each function is inline: the header serves the test programs only.
class PgTestDatabase {
 public:
  // Makes the empty database name (dropping one left by an earlier run).
  explicit PgTestDatabase(const std::string& name) : name_(name) {
    if (EnvValue("VELOR_TEST_PG_URI") == nullptr) return;
    Admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    Admin("CREATE DATABASE " + name_);
    uri_ = UriOf(name_);
  }
  // Drops it, cutting off connections still open.
  ~PgTestDatabase() {
    if (ok()) Admin("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
  }

  // Whether the server is there; the test skips when it is not.
  bool ok() const { return !uri_.empty(); }
  // The database's URI.
  const std::string& uri() const { return uri_; }
  // Runs sql on the database (as the server's superuser); fails the test on
  // an error.
  void Run(const std::string& sql) const { RunOn(uri_, sql); }
  // A URI of the same server with database replaced by db.
  static std::string UriOf(const std::string& db) {
    std::string uri = EnvValue("VELOR_TEST_PG_URI");
    size_t at = uri.find("/velor_test");
    return at == std::string::npos ? uri : uri.replace(at + 1, 10, db);
  }

 private:
  static void RunOn(const std::string& uri, const std::string& sql) {
    PgConn conn;
    StoreError error = PgConnect(uri, true, &conn);
    ASSERT_TRUE(error.ok()) << error.detail;
    error = PgExec(conn.get(), sql);
    ASSERT_TRUE(error.ok()) << sql << ": " << error.detail;
  }
  void Admin(const std::string& sql) const { RunOn(UriOf("postgres"), sql); }

  std::string name_;
  std::string uri_;
};

// Skips the test when the private server is not running.
#define PG_TEST_DATABASE(var, name) \
  PgTestDatabase var(name);         \
  if (!var.ok()) GTEST_SKIP() << "no test server (VELOR_TEST_PG_URI)"
