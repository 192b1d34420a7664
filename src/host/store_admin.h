// Administration of the host store for the velor-host tool: listing its
// users and company data sets and changing a user's selection.
#pragma once
#include <sqlite3.h>

#include <ostream>
#include <string>

// Writes the application folders, the users (ID and selected data number) and the company data sets
// (number, ID, name, period, kind, entity kind, number of assets) of db to
// out as UTF-8 text. False with *error when the store cannot be read.
bool ListStore(sqlite3* db, std::ostream& out, std::string* error);

// Makes the user userIdUtf8 select the data number dataNo. False with
// *error when the user is not in the store or the store refuses; *note gets
// a remark (UTF-8) when no company data set has that number ("" otherwise).
bool SelectData(sqlite3* db, const std::string& userIdUtf8, long dataNo, std::string* note,
                std::string* error);
