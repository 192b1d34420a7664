#include "messages.h"
#include "postgres/pg_store.h"
#include "sqlite/sqlite_store.h"
#include "storesql.h"
#include "storeuri.h"

bool IsStoreUri(const std::string& where) {
  return where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0;
}

std::string StoreErrorMessage(const StoreError& error, const std::string& where) {
  const std::string name = StoreNameShown(where);
  const std::string& detail = error.detail;
  const std::string cause = detail.empty() ? "" : " (" + detail + ")";
  switch (error.fault) {
    case StoreFault::kMissing:
      return Tr("no host store at %s; create one with velor-host init and import a ledger", {name});
    case StoreFault::kUnreadable:
      return Tr("cannot read the host store %s%s; check that the file is readable", {name, cause});
    case StoreFault::kNotStore:
      return Tr("%s is not a host store%s; create one with velor-host init and import a ledger",
                {name, cause});
    case StoreFault::kNotFile:
      return Tr("the host store %s is not a regular file; give the store's file", {name});
    case StoreFault::kLocked:
      return Tr("another program is writing to the host store %s; try again when it has finished",
                {name});
    case StoreFault::kNeedsRecovery:
      return Tr("the host store %s was left in the middle of a change and needs recovery; "
                "velor-host check %s recovers it",
                {name, name});
    case StoreFault::kUnreachable:
      return Tr("cannot reach the database server of the host store %s%s; check that the server "
                "runs and the address is right",
                {name, cause});
    case StoreFault::kRefused:
      return Tr("the database server refused the host store %s%s", {name, cause});
    case StoreFault::kLost:
      return Tr("the connection to the host store %s was lost%s; try again when the server is back",
                {name, cause});
    case StoreFault::kTimeout:
      return Tr("the host store %s did not answer in time%s; try again later", {name, cause});
    case StoreFault::kNone:
      break;
  }
  return "";
}

StoreError OpenHostStore(const std::string& where, std::unique_ptr<HostStore>* store) {
  store->reset();
  return IsStoreUri(where) ? OpenPgHostStore(where, store) : OpenSqliteHostStore(where, store);
}

StoreError OpenStoreSql(const std::string& where, bool writable, std::unique_ptr<StoreSql>* sql) {
  sql->reset();
  return IsStoreUri(where) ? OpenPgStoreSql(where, writable, sql)
                           : OpenSqliteStoreSql(where, writable, sql);
}

StoreError CreateStoreSql(const std::string& where, const std::string& outputFolder,
                          const std::string& settingsFolder, std::unique_ptr<StoreSql>* sql) {
  sql->reset();
  return IsStoreUri(where) ? CreatePgStoreSql(where, outputFolder, settingsFolder, sql)
                           : CreateSqliteStoreSql(where, outputFolder, settingsFolder, sql);
}
