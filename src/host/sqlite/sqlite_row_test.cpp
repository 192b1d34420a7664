#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "hostrecords.h"
#include "sqlite_row.h"
#include "sqlite_sql.h"
#include "ledger_store.h"

namespace {

const char8_t kLedger[] = u8R"({"format": "velor-ledger/1",
  "users": [{"user_id": "u", "selected_data_no": 1}],
  "companies": [{"data_no": 1, "data_id": "A",
    "assets": [{"szAssetCode": "C", "cyAcquisitionCost": 30000}, {"szAssetCode": "A", "cyAcquisitionCost": 10000},
               {"szAssetCode": "B", "cyAcquisitionCost": 20000}]}]})";

// Steps every row of sql (host_row bound as ?1 to target) and gives "seq:value"
// of each, the value of host_row as "1" or "-" for NULL.
std::string Steps(sqlite3* db, const std::string& sql, HostRowTarget* target) {
  HostStmt stmt(db, sql);
  if (!stmt.ok()) return "not prepared";
  if (target != nullptr && !BindHostRowTarget(stmt.get(), 1, target)) return "not bound";
  std::string seen;
  while (sqlite3_step(stmt.get()) == SQLITE_ROW) {
    seen += std::to_string(sqlite3_column_int64(stmt.get(), 0)) + ":";
    seen += sqlite3_column_type(stmt.get(), 1) == SQLITE_NULL ? "-" : std::to_string(sqlite3_column_int(stmt.get(), 1));
    seen += " ";
  }
  return seen;
}

class HostRow : public ::testing::Test {
 protected:
  HostRow() : store_(kLedger, u8"u") {
    EXPECT_TRUE(OpenSqliteDb(store_.path(), true, &db_).ok());
    target_.fields = kAssetFields;
    target_.count = kAssetFieldCount;
    target_.records[0] = &asset_;
    target_.records[1] = &year_;
    std::strcpy(asset_.szAssetCode, "untouched");
  }
  ~HostRow() override { sqlite3_close(db_); }
  std::string Column() const { return HostRowColumn(1, kAssetFields, kAssetFieldCount); }
  std::string Steps(const std::string& sql, HostRowTarget* target) { return ::Steps(db_, sql, target); }

  LedgerStore store_;
  sqlite3* db_ = nullptr;
  HostRowTarget target_;
  StKOTEISHISANINFO asset_{};
  StKOTEINENINFO year_{};
};

TEST_F(HostRow, CopiesOnlyTheRowItExpects) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  target_.expected = 2;
  EXPECT_EQ(Steps("SELECT seq, " + Column() + " FROM assets ORDER BY seq", &target_), "0:- 1:- 2:1 ");
  EXPECT_STREQ(asset_.szAssetCode, "B");
  EXPECT_EQ(asset_.cyAcquisitionCost.int64, 20000 * 10000) << "amounts are held times 10,000";
}

// Sorted by another column, every row is read before the first step returns;
// the rows delivered later say that nothing was copied for them.
TEST_F(HostRow, RowsReadAheadOfTheirStepAreMarked) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  target_.expected = 1;
  std::string sql = "SELECT seq, " + Column() + " FROM assets ORDER BY szAssetCode";
  EXPECT_EQ(Steps(sql, &target_), "1:1 2:- 0:- ");
  EXPECT_STREQ(asset_.szAssetCode, "A");
  target_.expected = 0;
  target_.records[0] = nullptr;
  EXPECT_EQ(Steps(sql, &target_), "1:- 2:- 0:1 ") << "a missing record is skipped, the row still copied";
  EXPECT_STREQ(asset_.szAssetCode, "A");
}

TEST_F(HostRow, NoTargetOrAnotherFieldCountCopiesNothing) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  target_.expected = 0;
  EXPECT_EQ(Steps("SELECT seq, " + Column() + " FROM assets", nullptr), "0:- 1:- 2:- ");
  EXPECT_EQ(Steps("SELECT seq, host_row(?1, seq, szAssetCode) FROM assets", &target_), "0:- 1:- 2:- ");
  // A plain value in the target's place is no target.
  HostStmt stmt(db_, "SELECT host_row(?1, 0, szAssetCode) FROM assets");
  ASSERT_TRUE(stmt.ok());
  sqlite3_bind_int64(stmt.get(), 1, reinterpret_cast<intptr_t>(&target_));
  ASSERT_EQ(sqlite3_step(stmt.get()), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_type(stmt.get(), 0), SQLITE_NULL);
  EXPECT_STREQ(asset_.szAssetCode, "untouched");
}

// The function copies into this program's memory: a view or trigger kept in
// the store file must not be able to call it.
TEST_F(HostRow, OnlyDirectQueriesMayCallIt) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  sqlite3* db = db_;
  ASSERT_EQ(sqlite3_exec(db, "CREATE VIEW v AS SELECT host_row(NULL, seq) AS r FROM assets", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, "SELECT r FROM v", -1, &stmt, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_step(stmt);
  EXPECT_EQ(rc, SQLITE_ERROR);
  EXPECT_NE(std::strstr(sqlite3_errmsg(db), "unsafe use of host_row"), nullptr) << sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
}

}  // namespace
