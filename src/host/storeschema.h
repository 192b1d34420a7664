// The tables of a host store, the same in every database as far as the
// types allow: host_meta (version, folders, product name), users,
// companies, asset_kinds, assets, breakdowns and text_orders.
#pragma once
#include <string>

#include "storesql.h"

// Version of the store layout this build reads and writes (host_meta key
// "version").
constexpr int kHostStoreVersion = 1;

// The statements that make the tables in dialect, without the version row
// and folders.
std::string StoreSchemaSql(SqlDialect dialect);
