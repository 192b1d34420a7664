#include "store_admin.h"

#include "codepage.h"
#include "hoststore.h"

namespace {
std::string ColumnUtf8(sqlite3_stmt* stmt, int column) {
  const void* bytes = sqlite3_column_blob(stmt, column);
  size_t n = static_cast<size_t>(sqlite3_column_bytes(stmt, column));
  std::string cp932 = bytes ? std::string(static_cast<const char*>(bytes), n) : std::string();
  std::string utf8;
  return Cp932ToUtf8(cp932, &utf8) ? utf8 : "?";
}
}  // namespace

bool ListStore(sqlite3* db, std::ostream& out, std::string* error) {
  HostStmt users(db, "SELECT user_id, selected_data_no FROM users ORDER BY user_id");
  HostStmt companies(db,
                     "SELECT data_no, data_id, szDataName, lTermStart, lTermEnd, data_kind,"
                     " bEntityKind, (SELECT count(*) FROM assets a WHERE a.cid = c.cid)"
                     " FROM companies c WHERE data_no IS NOT NULL ORDER BY data_no");
  if (!users.ok() || !companies.ok()) {
    *error = std::string("cannot read the store: ") + sqlite3_errmsg(db);
    return false;
  }
  HostStmt folders(db, "SELECT key, value FROM host_meta WHERE key LIKE '%_folder' ORDER BY key");
  while (folders.ok() && sqlite3_step(folders.get()) == SQLITE_ROW) {
    out << sqlite3_column_text(folders.get(), 0) << ": " << ColumnUtf8(folders.get(), 1) << "\n";
  }
  out << "users (user ID, selected data number):\n";
  while (sqlite3_step(users.get()) == SQLITE_ROW) {
    out << "  " << ColumnUtf8(users.get(), 0) << "\t" << sqlite3_column_int(users.get(), 1) << "\n";
  }
  out << "company data sets (number, ID, name, period, kind, entity kind, assets):\n";
  while (sqlite3_step(companies.get()) == SQLITE_ROW) {
    sqlite3_stmt* c = companies.get();
    out << "  " << sqlite3_column_int(c, 0) << "\t" << sqlite3_column_text(c, 1) << "\t"
        << ColumnUtf8(c, 2) << "\t" << sqlite3_column_int(c, 3) << "-" << sqlite3_column_int(c, 4)
        << "\t" << sqlite3_column_int(c, 5) << "\t" << sqlite3_column_int(c, 6) << "\t"
        << sqlite3_column_int64(c, 7) << "\n";
  }
  return true;
}

bool SelectData(sqlite3* db, const std::string& userIdUtf8, long dataNo, std::string* note,
                std::string* error) {
  note->clear();
  std::string user;
  if (!Utf8ToCp932(userIdUtf8, &user)) {
    *error = "user \"" + userIdUtf8 + "\" is not in the store";
    return false;
  }
  HostStmt update(db, "UPDATE users SET selected_data_no = ? WHERE user_id = ?");
  HostStmt find(db, "SELECT 1 FROM companies WHERE data_no = ?");
  if (!update.ok() || !find.ok()) {
    *error = std::string("cannot change the store: ") + sqlite3_errmsg(db);
    return false;
  }
  sqlite3_bind_int64(update.get(), 1, dataNo);
  sqlite3_bind_blob(update.get(), 2, user.data(), static_cast<int>(user.size()), SQLITE_STATIC);
  if (sqlite3_step(update.get()) != SQLITE_DONE) {
    *error = std::string("cannot change the store: ") + sqlite3_errmsg(db);
    return false;
  }
  if (sqlite3_changes(db) == 0) {
    *error = "user \"" + userIdUtf8 + "\" is not in the store";
    return false;
  }
  sqlite3_bind_int64(find.get(), 1, dataNo);
  if (sqlite3_step(find.get()) != SQLITE_ROW) {
    *note = "no company data set has the number " + std::to_string(dataNo) +
            "; an export of this user runs on an empty record";
  }
  return true;
}
