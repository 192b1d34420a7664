// The host store in an SQLite file.
#pragma once
#include <memory>
#include <string>

#include "storesql.h"

// The asset walk reads at most this many rows in one read of the store, so
// that a writer waits for one stretch at most, not for the whole walk.
constexpr long kWalkRowsPerRead = 4096;

// Opens the store file at path (native, UTF-8) read-only or for writing and
// checks that it is a host store of this version.
StoreError OpenSqliteStoreSql(const std::string& path, bool writable, std::unique_ptr<StoreSql>* sql);
// Makes a new store file at path (missing folders made; an existing file
// refused) with its tables and version marker.
StoreError CreateSqliteStoreSql(const std::string& path, const std::string& outputFolder,
                             const std::string& settingsFolder, std::unique_ptr<StoreSql>* sql);
// Opens the store file at path read-only for the exporter.
StoreError OpenSqliteHostStore(const std::string& path, std::unique_ptr<HostStore>* store);
