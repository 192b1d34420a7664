// The server store of a build without libpq: every URI is refused, saying so.
#include "postgres/pg_store.h"

namespace {
StoreError Unavailable() {
  return StoreError::Of(StoreFault::kUnreachable, "this build of velor has no database server support");
}
}  // namespace

StoreError OpenPgStoreSql(const std::string&, bool, std::unique_ptr<StoreSql>*) { return Unavailable(); }

StoreError CreatePgStoreSql(const std::string&, const std::string&, const std::string&,
                            std::unique_ptr<StoreSql>*) {
  return Unavailable();
}

StoreError OpenPgHostStore(const std::string&, std::unique_ptr<HostStore>*) { return Unavailable(); }
