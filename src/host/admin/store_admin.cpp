#include "store_admin.h"

#include <memory>

#include "codepage.h"

namespace {

using Statement = std::unique_ptr<SqlStatement>;

std::string ColumnUtf8(SqlStatement* stmt, int column) {
  std::string utf8;
  return Cp932ToUtf8(stmt->ColumnString(column), &utf8) ? utf8 : "?";
}

// The root of the Windows folder path ("C:", "\\\\server\\share"), or "" when
// it has none.
std::string FolderRoot(const std::string& folder) {
  if (folder.size() >= 2 && folder[1] == ':') return folder.substr(0, 2);
  if (folder.rfind("\\\\", 0) != 0) return "";
  size_t server_end = folder.find('\\', 2);
  if (server_end == std::string::npos) return "";
  return folder.substr(0, folder.find('\\', server_end + 1));
}

// Runs stmt to its end, handing each row to row; the store's failure.
template <typename Row>
StoreError EachRow(SqlStatement* stmt, Row row) {
  for (;;) {
    bool got = false;
    StoreError error = stmt->Step(&got);
    if (!error.ok() || !got) return error;
    row(stmt);
  }
}

}  // namespace

bool ListStore(StoreSql* sql, std::ostream& out, std::string* error) {
  Statement users, companies, folders, product;
  StoreError failed = sql->Prepare("SELECT user_id, selected_data_no FROM users ORDER BY user_id", &users);
  if (failed.ok()) {
    failed = sql->Prepare(
        "SELECT data_no, data_id, szDataName, lTermStart, lTermEnd, data_kind,"
        " bEntityKind, (SELECT count(*) FROM assets a WHERE a.cid = c.cid)"
        " FROM companies c WHERE data_no IS NOT NULL ORDER BY data_no",
        &companies);
  }
  if (failed.ok()) {
    failed = sql->Prepare("SELECT key, value FROM host_meta WHERE key LIKE '%_folder' ORDER BY key", &folders);
  }
  if (failed.ok()) {
    failed = sql->Prepare("SELECT value FROM host_meta WHERE key = 'product_name'", &product);
  }
  if (!failed.ok()) {
    *error = "cannot read the store: " + failed.detail;
    return false;
  }
  // The drives and shares the folders lie on: what a second machine must map.
  std::string drives;
  failed = EachRow(folders.get(), [&](SqlStatement* row) {
    out << row->ColumnString(0) << ": " << ColumnUtf8(row, 1) << "\n";
    std::string root = FolderRoot(ColumnUtf8(row, 1));
    if (!root.empty() && (", " + drives + ", ").find(", " + root + ", ") == std::string::npos) {
      drives += (drives.empty() ? "" : ", ") + root;
    }
  });
  if (failed.ok() && !drives.empty()) {
    out << "drives: " << drives << " (each must reach its folder on every machine that uses the store)\n";
  }
  std::string name;
  if (failed.ok()) failed = EachRow(product.get(), [&](SqlStatement* row) { name = row->ColumnString(0); });
  if (failed.ok()) {
    if (name.empty() || name.size() > kProductNameMax) name = kDefaultProductName;
    std::string shown;
    out << "product_name: " << (Cp932ToUtf8(name, &shown) ? shown : "?") << "\n";
    out << "users (user ID, selected data number):\n";
    failed = EachRow(users.get(), [&](SqlStatement* row) {
      out << "  " << ColumnUtf8(row, 0) << "\t" << row->ColumnInt(1) << "\n";
    });
  }
  if (failed.ok()) {
    out << "company data sets (number, ID, name, period, kind, entity kind, assets):\n";
    failed = EachRow(companies.get(), [&](SqlStatement* c) {
      out << "  " << c->ColumnInt(0) << "\t" << c->ColumnString(1) << "\t" << ColumnUtf8(c, 2) << "\t"
          << c->ColumnInt(3) << "-" << c->ColumnInt(4) << "\t" << c->ColumnInt(5) << "\t" << c->ColumnInt(6)
          << "\t" << c->ColumnInt(7) << "\n";
    });
  }
  if (!failed.ok()) {
    *error = "cannot read the store: " + failed.detail + "; velor-host check tells what is wrong";
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
  int textColumn;          // the column that holds a store text (-1: none)
};

const StoreCheck kStoreChecks[] = {
    {"SELECT a.cid, count(*) FROM assets a LEFT JOIN companies c ON c.cid = a.cid"
     " WHERE c.cid IS NULL GROUP BY a.cid",
     "assets of a company that does not exist", {"company", "assets"}, -1},
    {"SELECT k.cid, count(*) FROM asset_kinds k LEFT JOIN companies c ON c.cid = k.cid"
     " WHERE c.cid IS NULL GROUP BY k.cid",
     "asset kinds of a company that does not exist", {"company", "kinds"}, -1},
    {"SELECT b.cid, b.asset_seq, count(*) FROM breakdowns b LEFT JOIN assets a"
     " ON a.cid = b.cid AND a.seq = b.asset_seq WHERE a.seq IS NULL GROUP BY 1, 2",
     "breakdown lines of an asset that does not exist", {"company", "asset", "lines"}, -1},
    {"SELECT b.cid, b.asset_seq, count(*) FROM breakdowns b JOIN assets a"
     " ON a.cid = b.cid AND a.seq = b.asset_seq WHERE a.nMethod != 4 GROUP BY 1, 2",
     "breakdown lines of an asset that is not a lump-sum asset", {"company", "asset", "lines"}, -1},
    {"SELECT cid, count(*), max(seq) FROM assets GROUP BY cid"
     " HAVING min(seq) != 0 OR max(seq) != count(*) - 1",
     "asset numbers with a gap (the count and the highest number disagree)",
     {"company", "assets", "highest number"}, -1},
    {"SELECT u.user_id, u.selected_data_no FROM users u LEFT JOIN companies c"
     " ON c.data_no = u.selected_data_no WHERE c.cid IS NULL",
     "a user selects company data that does not exist", {"user", "data number"}, 0},
};

// Writes the problems check finds to out; their number, or -1 with *error.
long RunStoreCheck(StoreSql* sql, const StoreCheck& check, std::ostream& out, std::string* error) {
  Statement stmt;
  long problems = 0;
  StoreError failed = sql->Prepare(check.sql, &stmt);
  if (failed.ok()) {
    failed = EachRow(stmt.get(), [&](SqlStatement* row) {
      ++problems;
      out << check.problem << ":";
      for (int i = 0; i < 3 && check.columns[i] != nullptr; ++i) {
        out << " " << check.columns[i] << " "
            << (i == check.textColumn ? ColumnUtf8(row, i) : std::to_string(row->ColumnInt(i)));
      }
      out << "\n";
    });
  }
  if (!failed.ok()) {
    *error = failed.detail;
    return -1;
  }
  return problems;
}

}  // namespace

long CheckStore(StoreSql* sql, std::ostream& out, std::string* error) {
  // The integrity check goes first: when the file itself is damaged, the
  // consistency checks may not get far enough to say anything.
  std::vector<std::string> damage;
  StoreError failed = sql->IntegrityCheck(&damage);
  for (const std::string& line : damage) out << "damaged store file: " << line << "\n";
  long problems = static_cast<long>(damage.size());
  if (!failed.ok()) {
    out << "damaged store file: " << failed.detail << "\n";
    return problems + 1;
  }
  for (const StoreCheck& check : kStoreChecks) {
    long found = RunStoreCheck(sql, check, out, error);
    if (found < 0) {
      if (problems == 0) return -1;
      out << "damaged store file: " << *error << "\n";
      return problems + 1;
    }
    problems += found;
  }
  return problems;
}

bool SelectData(StoreSql* sql, const std::string& userIdUtf8, long dataNo, std::string* error) {
  std::string user;
  if (!Utf8ToCp932(userIdUtf8, &user)) {
    *error = "user \"" + userIdUtf8 + "\" is not in the store";
    return false;
  }
  Statement update, find;
  StoreError failed = sql->Prepare("UPDATE users SET selected_data_no = ?1 WHERE user_id = ?2", &update);
  if (failed.ok()) failed = sql->Prepare("SELECT 1 FROM companies WHERE data_no = ?1", &find);
  if (!failed.ok()) {
    *error = "cannot change the store: " + failed.detail;
    return false;
  }
  find->BindInt(1, dataNo);
  bool row = false;
  failed = find->Step(&row);
  if (!failed.ok()) {
    *error = "cannot read the store: " + failed.detail;
    return false;
  }
  if (!row) {
    *error = "no company data set has the number " + std::to_string(dataNo) +
             " (velor-host list shows them)";
    return false;
  }
  update->BindInt(1, dataNo);
  update->BindBytes(2, user);
  failed = update->Step(&row);
  if (!failed.ok()) {
    *error = "cannot change the store: " + failed.detail;
    return false;
  }
  if (sql->Changes() == 0) {
    *error = "user \"" + userIdUtf8 + "\" is not in the store";
    return false;
  }
  return true;
}

bool SetProductName(StoreSql* sql, const std::string& name, std::string* error) {
  Statement put;
  StoreError failed = sql->Prepare(
      "INSERT INTO host_meta VALUES('product_name', ?1)"
      " ON CONFLICT(key) DO UPDATE SET value = excluded.value",
      &put);
  bool row = false;
  if (failed.ok()) {
    put->BindBytes(1, name);
    failed = put->Step(&row);
  }
  if (!failed.ok()) *error = failed.detail;
  return failed.ok();
}

FsError StoreJournalPending(const std::string& path, bool* pending) {
  *pending = false;
  FsStat st;
  FsError error = Fs::Default()->Stat(path + "-journal", false, &st);
  if (error == FsError::kNotFound) return FsError::kNone;
  if (error == FsError::kNone) *pending = st.size > 0;
  return error;
}
