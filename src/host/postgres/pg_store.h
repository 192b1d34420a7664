// The host store on a PostgreSQL server, reached by a libpq connection URI.
#pragma once
#include <memory>
#include <string>

#include "storesql.h"

// Connects to the database of uri for reading or for writing.
StoreError OpenPgStoreSql(const std::string& uri, bool writable, std::unique_ptr<StoreSql>* sql);
// Makes the store's tables, version row and folders in the existing empty
// database of uri, in one transaction.
StoreError CreatePgStoreSql(const std::string& uri, const std::string& outputFolder,
                             const std::string& settingsFolder, std::unique_ptr<StoreSql>* sql);
// Connects for the exporter: one read-only, repeatable-read view of the
// database for the connection's whole life.
StoreError OpenPgHostStore(const std::string& uri, std::unique_ptr<HostStore>* store);
