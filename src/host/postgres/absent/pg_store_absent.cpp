// A build without libpq (the Windows build): every server store is refused
// with the reason.
#include "pg_store.h"

namespace {

StoreError NoServerSupport() {
  return StoreError::Of(StoreFault::kUnreadable,
                        "this build of velor has no PostgreSQL support; use a store file");
}

}  // namespace

StoreError OpenPgStoreSql(const std::string&, bool, std::unique_ptr<StoreSql>*) { return NoServerSupport(); }

StoreError CreatePgStoreSql(const std::string&, const std::string&, const std::string&,
                            std::unique_ptr<StoreSql>*) {
  return NoServerSupport();
}

StoreError OpenPgHostStore(const std::string&, std::unique_ptr<HostStore>*) { return NoServerSupport(); }
