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

namespace {

// The root of the Windows folder path ("C:", "\\\\server\\share"), or "" when
// it has none.
std::string FolderRoot(const std::string& folder) {
  if (folder.size() >= 2 && folder[1] == ':') return folder.substr(0, 2);
  if (folder.rfind("\\\\", 0) != 0) return "";
  size_t server_end = folder.find('\\', 2);
  if (server_end == std::string::npos) return "";
  return folder.substr(0, folder.find('\\', server_end + 1));
}

}  // namespace

bool ListStore(sqlite3* db, std::ostream& out, std::string* error) {
  HostStmt users(db, "SELECT user_id, selected_data_no FROM users ORDER BY user_id");
  HostStmt companies(db,
                     "SELECT data_no, data_id, szDataName, lTermStart, lTermEnd, data_kind,"
                     " bEntityKind, (SELECT count(*) FROM assets a WHERE a.cid = c.cid)"
                     " FROM companies c WHERE data_no IS NOT NULL ORDER BY data_no");
  if (!users.ok() || !companies.ok()) {
    *error = std::string("cannot read the store: ") + HostErrorText(db);
    return false;
  }
  HostStmt folders(db, "SELECT key, value FROM host_meta WHERE key LIKE '%_folder' ORDER BY key");
  int rc = folders.ok() ? SQLITE_OK : SQLITE_ERROR;
  // The drives and shares the folders lie on: what a second machine must map.
  std::string drives;
  while (folders.ok() && (rc = sqlite3_step(folders.get())) == SQLITE_ROW) {
    out << sqlite3_column_text(folders.get(), 0) << ": " << ColumnUtf8(folders.get(), 1) << "\n";
    std::string root = FolderRoot(ColumnUtf8(folders.get(), 1));
    if (!root.empty() && (", " + drives + ", ").find(", " + root + ", ") == std::string::npos) {
      drives += (drives.empty() ? "" : ", ") + root;
    }
  }
  std::string product;
  if (rc == SQLITE_DONE && !drives.empty()) {
    out << "drives: " << drives << " (each must reach its folder on every machine that uses the store)\n";
  }
  if (rc == SQLITE_DONE) {
    out << "product_name: " << (Cp932ToUtf8(HostProductName(db), &product) ? product : "?") << "\n";
    out << "users (user ID, selected data number):\n";
  }
  while (rc == SQLITE_DONE && (rc = sqlite3_step(users.get())) == SQLITE_ROW) {
    out << "  " << ColumnUtf8(users.get(), 0) << "\t" << sqlite3_column_int(users.get(), 1) << "\n";
    rc = SQLITE_DONE;
  }
  if (rc == SQLITE_DONE) {
    out << "company data sets (number, ID, name, period, kind, entity kind, assets):\n";
  }
  while (rc == SQLITE_DONE && (rc = sqlite3_step(companies.get())) == SQLITE_ROW) {
    sqlite3_stmt* c = companies.get();
    out << "  " << sqlite3_column_int(c, 0) << "\t" << sqlite3_column_text(c, 1) << "\t"
        << ColumnUtf8(c, 2) << "\t" << sqlite3_column_int(c, 3) << "-" << sqlite3_column_int(c, 4)
        << "\t" << sqlite3_column_int(c, 5) << "\t" << sqlite3_column_int(c, 6) << "\t"
        << sqlite3_column_int64(c, 7) << "\n";
    rc = SQLITE_DONE;
  }
  if (rc != SQLITE_DONE) {
    *error = std::string("cannot read the store: ") + HostErrorText(db) +
             "; velor-host check tells what is wrong";
    return false;
  }
  return true;
}

namespace {

// One consistency check: a query whose every row is a problem, and the
// words of the problem written before the row's columns.
struct StoreCheck {
  const char* sql;
  const char* problem;
  const char* columns[3];  // what each column of the row is
};

const StoreCheck kStoreChecks[] = {
    {"SELECT a.cid, count(*) FROM assets a LEFT JOIN companies c ON c.cid = a.cid"
     " WHERE c.cid IS NULL GROUP BY a.cid",
     "assets of a company that does not exist", {"company", "assets"}},
    {"SELECT k.cid, count(*) FROM asset_kinds k LEFT JOIN companies c ON c.cid = k.cid"
     " WHERE c.cid IS NULL GROUP BY k.cid",
     "asset kinds of a company that does not exist", {"company", "kinds"}},
    {"SELECT b.cid, b.asset_seq, count(*) FROM breakdowns b LEFT JOIN assets a"
     " ON a.cid = b.cid AND a.seq = b.asset_seq WHERE a.seq IS NULL GROUP BY 1, 2",
     "breakdown lines of an asset that does not exist", {"company", "asset", "lines"}},
    {"SELECT b.cid, b.asset_seq, count(*) FROM breakdowns b JOIN assets a"
     " ON a.cid = b.cid AND a.seq = b.asset_seq WHERE a.nMethod != 4 GROUP BY 1, 2",
     "breakdown lines of an asset that is not a lump-sum asset", {"company", "asset", "lines"}},
    {"SELECT cid, count(*), max(seq) FROM assets GROUP BY cid"
     " HAVING min(seq) != 0 OR max(seq) != count(*) - 1",
     "asset numbers with a gap (the count and the highest number disagree)",
     {"company", "assets", "highest number"}},
    {"SELECT u.user_id, u.selected_data_no FROM users u LEFT JOIN companies c"
     " ON c.data_no = u.selected_data_no WHERE c.cid IS NULL",
     "a user selects company data that does not exist", {"user", "data number"}},
};

// Writes the problems check finds to out; their number, or -1 with *error.
long RunStoreCheck(sqlite3* db, const StoreCheck& check, std::ostream& out, std::string* error) {
  HostStmt stmt(db, check.sql);
  int rc = stmt.ok() ? SQLITE_OK : SQLITE_ERROR;
  long problems = 0;
  while (stmt.ok() && (rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    ++problems;
    out << check.problem << ":";
    for (int i = 0; i < 3 && check.columns[i] != nullptr; ++i) {
      out << " " << check.columns[i] << " "
          << (sqlite3_column_type(stmt.get(), i) == SQLITE_BLOB ? ColumnUtf8(stmt.get(), i)
                                                                  : std::to_string(sqlite3_column_int64(stmt.get(), i)));
    }
    out << "\n";
  }
  if (rc != SQLITE_DONE) {
    *error = HostErrorText(db);
    return -1;
  }
  return problems;
}

}  // namespace

long CheckStore(sqlite3* db, std::ostream& out, std::string* error) {
  // The integrity check goes first: when the file itself is damaged, the
  // consistency checks may not get far enough to say anything.
  HostStmt integrity(db, "PRAGMA integrity_check");
  if (!integrity.ok()) {
    *error = HostErrorText(db);
    return -1;
  }
  long problems = 0;
  int rc;
  while ((rc = sqlite3_step(integrity.get())) == SQLITE_ROW) {
    const unsigned char* text = sqlite3_column_text(integrity.get(), 0);
    std::string line = text ? reinterpret_cast<const char*>(text) : "";
    if (line == "ok") continue;
    ++problems;
    out << "damaged store file: " << line << "\n";
  }
  if (rc != SQLITE_DONE) {
    out << "damaged store file: " << HostErrorText(db) << "\n";
    return problems + 1;
  }
  for (const StoreCheck& check : kStoreChecks) {
    long found = RunStoreCheck(db, check, out, error);
    if (found < 0) {
      if (problems == 0) return -1;
      out << "damaged store file: " << *error << "\n";
      return problems + 1;
    }
    problems += found;
  }
  return problems;
}

bool SelectData(sqlite3* db, const std::string& userIdUtf8, long dataNo, std::string* error) {
  std::string user;
  if (!Utf8ToCp932(userIdUtf8, &user)) {
    *error = "user \"" + userIdUtf8 + "\" is not in the store";
    return false;
  }
  HostStmt update(db, "UPDATE users SET selected_data_no = ? WHERE user_id = ?");
  HostStmt find(db, "SELECT 1 FROM companies WHERE data_no = ?");
  if (!update.ok() || !find.ok()) {
    *error = std::string("cannot change the store: ") + HostErrorText(db);
    return false;
  }
  sqlite3_bind_int64(find.get(), 1, dataNo);
  int rc = sqlite3_step(find.get());
  if (rc == SQLITE_DONE) {
    *error = "no company data set has the number " + std::to_string(dataNo) +
             " (velor-host list shows them)";
    return false;
  }
  if (rc != SQLITE_ROW) {
    *error = std::string("cannot read the store: ") + HostErrorText(db);
    return false;
  }
  sqlite3_bind_int64(update.get(), 1, dataNo);
  sqlite3_bind_blob(update.get(), 2, user.data(), static_cast<int>(user.size()), SQLITE_STATIC);
  if (sqlite3_step(update.get()) != SQLITE_DONE) {
    *error = std::string("cannot change the store: ") + HostErrorText(db);
    return false;
  }
  if (sqlite3_changes(db) == 0) {
    *error = "user \"" + userIdUtf8 + "\" is not in the store";
    return false;
  }
  return true;
}

bool SetProductName(sqlite3* db, const std::string& name, std::string* error) {
  HostStmt put(db, "INSERT OR REPLACE INTO host_meta VALUES('product_name', ?)");
  if (put.ok()) {
    sqlite3_bind_blob(put.get(), 1, name.data(), static_cast<int>(name.size()), SQLITE_STATIC);
    if (sqlite3_step(put.get()) == SQLITE_DONE) return true;
  }
  *error = HostErrorText(db);
  return false;
}

FsError StoreJournalPending(const std::string& path, bool* pending) {
  *pending = false;
  FsStat st;
  FsError error = Fs::Default()->Stat(path + "-journal", false, &st);
  if (error == FsError::kNotFound) return FsError::kNone;
  if (error == FsError::kNone) *pending = st.size > 0;
  return error;
}
