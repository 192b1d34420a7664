// The store's journal is seen through the file-system interface.
#include "store_admin.h"

#include <gtest/gtest.h>

#include "faultfs.h"
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
