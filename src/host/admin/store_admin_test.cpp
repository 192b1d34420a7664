// The store's journal is seen through the file-system interface, and the
// check holds when any file call fails.
#include "store_admin.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "faultfs.h"
#include "ledger_import.h"
#include "nativeos.h"
#include "tempdir.h"

namespace {

TEST(StoreJournalTest, AJournalWithContentIsAnUnfinishedChange) {
  TempDir tmp;
  const std::string db = tmp.Native("h.sqlite");
  bool pending = true;
  EXPECT_EQ(StoreJournalPending(db, &pending), FsError::kNone);
  EXPECT_FALSE(pending);
  WriteFileBytes(db + "-journal", "");
  EXPECT_EQ(StoreJournalPending(db, &pending), FsError::kNone);
  EXPECT_FALSE(pending);
  WriteFileBytes(db + "-journal", "x");
  EXPECT_EQ(StoreJournalPending(db, &pending), FsError::kNone);
  EXPECT_TRUE(pending);
  FaultFs fs;
  fs.FailNth(FsOp::kStat, 1, FsError::kIoError, "-journal");
  ScopedFs scoped(&fs);
  EXPECT_EQ(StoreJournalPending(db, &pending), FsError::kIoError);
  EXPECT_FALSE(pending);
}

}  // namespace

// velor-host check with each file call of the store failing in turn (once,
// and from that call on): the check ends, never says "no problems" of a store
// it could not read whole unless the store was indeed sound, and never
// changes the store.
TEST(CheckStoreTest, AFailureAtAnyFileCallNeitherChangesTheStoreNorPassesUnread) {
  TempDir tmp;
  const std::string path = tmp.Native("h.sqlite");
  {
    std::unique_ptr<StoreSql> sql;
    ASSERT_TRUE(CreateStoreSql(path, "C:\\out\\", "C:\\set\\", &sql).ok());
    std::istringstream ledger(R"({"format": "velor-ledger/1",
      "users": [{"user_id": "u", "selected_data_no": 1}],
      "companies": [{"data_no": 1, "data_id": "A", "asset_kinds": [{"lKindNo": 1}],
        "assets": [{"szAssetCode": "1"}, {"szAssetCode": "2", "nMethod": 4, "breakdowns": [{}]}]}]})");
    std::string error;
    ASSERT_TRUE(ImportLedger(sql.get(), ledger, &error)) << error;
  }
  const std::string before = ReadFileBytes(path);
  int runs = 0, refused = 0;
  for (FsOp op : {FsOp::kOpen, FsOp::kRead, FsOp::kStat, FsOp::kLock, FsOp::kClose}) {
    for (bool persistent : {false, true}) {
      for (int nth = 1; nth <= 200; ++nth) {
        FaultFs faults;
        for (int k = 0; k < (persistent ? 50 : 1); ++k) faults.FailNth(op, nth + k, FsError::kIoError, "h.sqlite");
        long problems = -2;
        std::string error;
        std::ostringstream out;
        {
          ScopedFs scoped(&faults);
          std::unique_ptr<StoreSql> sql;
          StoreError opened = OpenStoreSql(path, true, &sql);
          if (!opened.ok() && opened.fault != StoreFault::kLocked) opened = OpenStoreSql(path, false, &sql);
          if (opened.ok()) problems = CheckStore(sql.get(), out, &error);
        }
        ++runs;
        const std::string at = "op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(nth) +
                               (persistent ? " on" : "");
        EXPECT_EQ(ReadFileBytes(path), before) << at;
        if (faults.Struck() == 0) {
          EXPECT_EQ(problems, 0) << at << ": " << out.str() << error;
          break;
        }
        if (problems != 0) ++refused;
        // Reads that keep failing never give a sound store (one failed read
        // may be taken back: the check opens the store again read-only).
        if (op == FsOp::kRead && persistent) {
          EXPECT_NE(problems, 0) << at << ": " << out.str();
        }
        // A read that failed is never a sound store: the report names it.
        if (problems > 0) {
          EXPECT_NE(out.str().find("damaged store file"), std::string::npos) << at << out.str();
        }
      }
    }
  }
  EXPECT_GT(refused, 5) << runs << " runs";
}
