#include "hostvfs.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "faultfs.h"
#include "hoststore.h"
#include "tempdir.h"

namespace {

class HostVfsTest : public ::testing::Test {
 protected:
  HostVfsTest() : path_(dir_.Native("h.sqlite")) {
    std::string error;
    EXPECT_TRUE(CreateHostStore(path_, "C:\\out\\", "C:\\set\\", &error)) << error;
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(HostVfsTest, StoreReadsGoThroughTheFileSystem) {
  FaultFs faults;
  ScopedFs scoped(&faults);
  sqlite3* db = nullptr;
  std::string detail;
  ASSERT_EQ(HOST_OPEN_OK, OpenHostStore(path_, false, &db, &detail)) << detail;
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
    std::string detail;
    EXPECT_EQ(HOST_OPEN_UNREADABLE, OpenHostStore(path_, false, &db, &detail));
    EXPECT_EQ(db, nullptr);
  }
  FaultFs faults;
  faults.FailNth(FsOp::kOpen, 1, FsError::kAccessDenied, "h.sqlite");
  ScopedFs scoped(&faults);
  sqlite3* db = nullptr;
  std::string detail;
  EXPECT_EQ(HOST_OPEN_UNREADABLE, OpenHostStore(path_, false, &db, &detail));
}

TEST_F(HostVfsTest, AWriterAndAReaderTakeTurns) {
  sqlite3 *writer = nullptr, *reader = nullptr;
  std::string detail;
  ASSERT_EQ(HOST_OPEN_OK, OpenHostStore(path_, true, &writer, &detail)) << detail;
  ASSERT_EQ(HOST_OPEN_OK, OpenHostStore(path_, false, &reader, &detail)) << detail;
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
