// Administration of the host store for the velor-host tool: listing its
// users and company data sets and changing a user's selection.
#pragma once
#include <ostream>
#include <string>

#include "fs.h"
#include "storesql.h"

// Writes the application folders, the users (ID and selected data number) and the company data sets
// (number, ID, name, period, kind, entity kind, number of assets) of sql to
// out as UTF-8 text. False with *error when the store cannot be read.
bool ListStore(StoreSql* sql, std::ostream& out, std::string* error);

// Runs the store's integrity check and its consistency checks (every row's
// company exists, breakdown lines belong to lump-sum assets, asset numbers
// run from 0 without a gap, selections name company data) and writes one
// line (UTF-8) per problem to out. The number of problems, or -1 with
// *error when the store cannot be read far enough to check it.
long CheckStore(StoreSql* sql, std::ostream& out, std::string* error);

// Whether the rollback journal beside the store file path (native, UTF-8;
// path + "-journal") holds a change left unfinished: *pending true when it
// is there and not empty. The error when its status cannot be read.
FsError StoreJournalPending(const std::string& path, bool* pending);

// Makes the user userIdUtf8 select the data number dataNo. False with
// *error when the user is not in the store, no company data set has that
// number, or the store refuses.
bool SelectData(StoreSql* sql, const std::string& userIdUtf8, long dataNo, std::string* error);

// Stores name (code page 932, 1 to kProductNameMax bytes) as the product name
// of sql, replacing any. False with *error when the store refuses.
bool SetProductName(StoreSql* sql, const std::string& name, std::string* error);
