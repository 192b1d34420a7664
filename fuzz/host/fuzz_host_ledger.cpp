// Imports random bytes as a ledger into one store, which is emptied again
// after every accepted ledger. A ledger is taken whole or refused whole.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "hoststore.h"
#include "ledger_import.h"

namespace {

sqlite3* OpenStore() {
  static sqlite3* db = [] {
    std::string path = "/tmp/velor-fuzz-ledger-" + std::to_string(std::rand()) + ".sqlite";
    std::remove(path.c_str());
    std::string error;
    sqlite3* handle = nullptr;
    if (!CreateHostStore(path, "C:\\out\\", "C:\\set\\", &error) ||
        OpenHostStore(path, true, &handle, &error) != HOST_OPEN_OK) {
      std::fprintf(stderr, "cannot make the store: %s\n", error.c_str());
      std::abort();
    }
    return handle;
  }();
  return db;
}

long long Rows(sqlite3* db) {
  HostStmt count(db,
                 "SELECT (SELECT count(*) FROM users) + (SELECT count(*) FROM companies) +"
                 " (SELECT count(*) FROM assets) + (SELECT count(*) FROM breakdowns) +"
                 " (SELECT count(*) FROM asset_kinds)");
  if (!count.ok() || sqlite3_step(count.get()) != SQLITE_ROW) std::abort();
  return sqlite3_column_int64(count.get(), 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sqlite3* db = OpenStore();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string error;
  bool done = ImportLedger(db, in, &error, (size & 1) != 0);
  if (!done && (error.empty() || Rows(db) != 0)) std::abort();  // refused whole, with a reason
  if (done) {
    std::string ignored;
    if (!HostExec(db,
                  "DELETE FROM users; DELETE FROM companies; DELETE FROM assets;"
                  " DELETE FROM breakdowns; DELETE FROM asset_kinds;",
                  &ignored)) {
      std::abort();
    }
  }
  return 0;
}
