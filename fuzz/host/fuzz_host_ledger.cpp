// Imports random bytes as a ledger into one store, which is emptied again
// after every accepted ledger. A ledger is taken whole or refused whole.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "ledger_import.h"
#include "storesql.h"

namespace {

StoreSql* OpenStore() {
  static StoreSql* sql = [] {
    std::string path = "/tmp/velor-fuzz-ledger-" + std::to_string(std::rand()) + ".sqlite";
    std::remove(path.c_str());
    std::unique_ptr<StoreSql> made;
    StoreError error = CreateStoreSql(path, "C:\\out\\", "C:\\set\\", &made);
    if (!error.ok()) {
      std::fprintf(stderr, "cannot make the store: %s\n", error.detail.c_str());
      std::abort();
    }
    return made.release();
  }();
  return sql;
}

long long Rows(StoreSql* sql) {
  std::unique_ptr<SqlStatement> count;
  bool row = false;
  if (!sql->Prepare("SELECT (SELECT count(*) FROM users) + (SELECT count(*) FROM companies) +"
                    " (SELECT count(*) FROM assets) + (SELECT count(*) FROM breakdowns) +"
                    " (SELECT count(*) FROM asset_kinds)",
                    &count)
           .ok() ||
      !count->Step(&row).ok() || !row) {
    std::abort();
  }
  return count->ColumnInt(0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StoreSql* sql = OpenStore();
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string error;
  bool done = ImportLedger(sql, in, &error, (size & 1) != 0);
  if (!done && (error.empty() || Rows(sql) != 0)) std::abort();  // refused whole, with a reason
  if (done && !sql->Exec("DELETE FROM users; DELETE FROM companies; DELETE FROM assets;"
                         " DELETE FROM breakdowns; DELETE FROM asset_kinds;")
                   .ok()) {
    std::abort();
  }
  return 0;
}
