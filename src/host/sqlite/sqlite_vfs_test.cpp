#include "sqlite_vfs.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

#include "faultfs.h"
#include "sqlite_sql.h"
#include "tempdir.h"

namespace {

class HostVfsTest : public ::testing::Test {
 protected:
  HostVfsTest() : path_(dir_.Native("h.sqlite")) {
    std::unique_ptr<StoreSql> sql;
    EXPECT_TRUE(CreateStoreSql(path_, "C:\\out\\", "C:\\set\\", &sql).ok());
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(HostVfsTest, StoreReadsGoThroughTheFileSystem) {
  FaultFs faults;
  ScopedFs scoped(&faults);
  sqlite3* db = nullptr;
  ASSERT_TRUE(OpenSqliteDb(path_, false, &db).ok());
  sqlite3_close(db);
  EXPECT_GT(faults.Calls(FsOp::kRead, "h.sqlite"), 0);
  EXPECT_GT(faults.Calls(FsOp::kLock, "h.sqlite"), 0);
}

TEST_F(HostVfsTest, AFailedReadIsAnUnreadableStore) {
  for (FsError error : {FsError::kIoError, FsError::kAccessDenied}) {
    FaultFs faults;
    faults.FailNth(FsOp::kRead, 1, error, "h.sqlite");
    ScopedFs scoped(&faults);
    sqlite3* db = nullptr;
      EXPECT_EQ(StoreFault::kUnreadable, OpenSqliteDb(path_, false, &db).fault);
    EXPECT_EQ(db, nullptr);
  }
  FaultFs faults;
  faults.FailNth(FsOp::kOpen, 1, FsError::kAccessDenied, "h.sqlite");
  ScopedFs scoped(&faults);
  sqlite3* db = nullptr;
  EXPECT_EQ(StoreFault::kUnreadable, OpenSqliteDb(path_, false, &db).fault);
}

TEST_F(HostVfsTest, AWriterAndAReaderTakeTurns) {
  sqlite3 *writer = nullptr, *reader = nullptr;
  ASSERT_TRUE(OpenSqliteDb(path_, true, &writer).ok());
  ASSERT_TRUE(OpenSqliteDb(path_, false, &reader).ok());
  sqlite3_busy_timeout(reader, 0);
  sqlite3_busy_timeout(writer, 0);
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));
  EXPECT_EQ(SQLITE_BUSY, sqlite3_exec(reader, "SELECT count(*) FROM host_meta", nullptr, nullptr, nullptr));
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(writer,
                                    "INSERT INTO host_meta VALUES('k', 1); COMMIT",
                                    nullptr, nullptr, nullptr));
  int rows = 0;
  auto count = [](void* out, int, char** values, char**) {
    *static_cast<int*>(out) = std::stoi(values[0]);
    return 0;
  };
  EXPECT_EQ(SQLITE_OK, sqlite3_exec(reader, "SELECT count(*) FROM host_meta WHERE key = 'k'", count,
                                    &rows, nullptr));
  EXPECT_EQ(rows, 1);
  // A reader in a transaction keeps the writer from committing.
  ASSERT_EQ(SQLITE_OK, sqlite3_exec(reader, "BEGIN; SELECT * FROM host_meta", nullptr, nullptr, nullptr));
  EXPECT_EQ(SQLITE_BUSY, sqlite3_exec(writer, "DELETE FROM host_meta WHERE key = 'k'", nullptr, nullptr, nullptr));
  sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  sqlite3_close(writer);
}

}  // namespace
