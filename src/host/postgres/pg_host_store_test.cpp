#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pg_store.h"
#include "pg_test_server.h"

namespace {

using ::testing::HasSubstr;

constexpr int kAssets = 4500;  // more than two batches of the walk

// A store with company 1 (data number 1) of kAssets assets whose codes are
// their numbers and whose costs are their numbers times 10,000.
void FillStore(const PgTestDatabase& db) {
  std::unique_ptr<StoreSql> sql;
  StoreError error = CreatePgStoreSql(db.uri(), "C:\\", "C:\\", &sql);
  ASSERT_TRUE(error.ok()) << error.detail;
  db.Run(
      "INSERT INTO companies(cid, data_no, data_id, szDataName) VALUES(1, 1, 'D1', '\\x41'::bytea);"
      "INSERT INTO assets(cid, seq, szAssetCode, cyAcquisitionCost, cyEnteredDepreciation)"
      " SELECT 1, g, convert_to(g::text, 'UTF8'), g * 10000, -g FROM generate_series(0, " +
      std::to_string(kAssets - 1) +
      ") AS g;"
      "INSERT INTO breakdowns(cid, asset_seq, seq, szBreakdownName) VALUES(1, 7, 0, "
      "'\\x42'::bytea)");
}

// Walks the assets of company 1 from from, checking each; the number of
// assets seen. after(n) runs once n assets have been read.
template <typename After>
int Walk(HostStore* store, long from, int stopAt, After after, StoreError* error) {
  std::unique_ptr<AssetWalk> walk;
  *error = store->WalkAssets(1, from, &walk);
  if (!error->ok()) return 0;
  int seen = 0;
  for (;;) {
    long long seq = -1;
    StKOTEISHISANINFO asset;
    StKOTEINENINFO year;
    std::memset(&asset, 0, sizeof asset);
    std::memset(&year, 0, sizeof year);
    bool got = false;
    *error = walk->Next(&seq, &asset, &year, &got);
    if (!error->ok() || !got) return seen;
    EXPECT_EQ(seq, from + seen);
    EXPECT_STREQ(asset.szAssetCode, std::to_string(seq).c_str());
    EXPECT_EQ(asset.cyAcquisitionCost.int64, seq * 10000);
    EXPECT_EQ(year.cyEnteredDepreciation.int64, -seq);
    if (++seen == stopAt) after();
  }
}

TEST(PgHostStore, WalkStreamsEveryAssetOfOneState) {
  PG_TEST_DATABASE(db, "velor_t_walk");
  FillStore(db);
  // Texts come whole whatever form the server gives bytea in by default.
  db.Run("ALTER DATABASE velor_t_walk SET bytea_output = escape");
  std::unique_ptr<HostStore> store;
  StoreError error = OpenPgHostStore(db.uri(), &store);
  ASSERT_TRUE(error.ok()) << error.detail;
  EXPECT_EQ(store->name(), db.uri());
  long count = 0;
  ASSERT_TRUE(store->CountAssets(1, &count).ok());
  EXPECT_EQ(count, kAssets);
  // An import that empties the company in the middle of the walk is not
  // seen; breakdown lines read in the middle come from the same state.
  std::vector<StIKKATSUINFO> lines;
  int seen = Walk(
      store.get(), 0, 2500,
      [&] {
        db.Run("DELETE FROM breakdowns; DELETE FROM assets");
        ASSERT_TRUE(store->ReadBreakdowns(1, 7, &lines).ok());
      },
      &error);
  ASSERT_TRUE(error.ok()) << error.detail;
  EXPECT_EQ(seen, kAssets);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_STREQ(lines[0].szBreakdownName, "B");
  ASSERT_TRUE(store->CountAssets(1, &count).ok());
  EXPECT_EQ(count, kAssets);
  // A walk from a later number, and another connection on the same state.
  EXPECT_EQ(Walk(
                store.get(), 4000, -1, [] {}, &error),
            kAssets - 4000);
  std::unique_ptr<HostStore> another;
  ASSERT_TRUE(store->OpenAnother(&another).ok());
  EXPECT_EQ(Walk(
                another.get(), 0, -1, [] {}, &error),
            kAssets);
  ASSERT_TRUE(error.ok()) << error.detail;
  // A new view sees the import.
  store.reset();
  another.reset();
  ASSERT_TRUE(OpenPgHostStore(db.uri(), &store).ok());
  ASSERT_TRUE(store->CountAssets(1, &count).ok());
  EXPECT_EQ(count, 0);
}

TEST(PgHostStore, TextOrderIsSavedThoughTheViewOnlyReads) {
  PG_TEST_DATABASE(db, "velor_t_order");
  FillStore(db);
  std::unique_ptr<HostStore> store;
  ASSERT_TRUE(OpenPgHostStore(db.uri(), &store).ok());
  const std::string entries("\x01\0\0\0\x00\0\0\0", 8);
  for (int round = 0; round < 2; ++round) {
    StoreError error = store->SaveTextOrder("D1", "group", entries.substr(0, 4 * (round + 1)));
    ASSERT_TRUE(error.ok()) << error.detail;
  }
  std::unique_ptr<HostStore> later;
  ASSERT_TRUE(OpenPgHostStore(db.uri(), &later).ok());
  std::string read;
  bool found = false;
  ASSERT_TRUE(later->ReadTextOrder("D1", "group", &read, &found).ok());
  EXPECT_TRUE(found);
  EXPECT_EQ(read, entries);
}

TEST(PgHostStore, ConnectionKilledInTheMiddleOfTheWalkIsTold) {
  PG_TEST_DATABASE(db, "velor_t_killed");
  FillStore(db);
  std::unique_ptr<HostStore> store;
  ASSERT_TRUE(OpenPgHostStore(db.uri(), &store).ok());
  StoreError error;
  int seen = Walk(
      store.get(), 0, 10,
      [&] {
        db.Run(
            "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = "
            "'velor'"
            " AND datname = current_database() AND pid <> pg_backend_pid()");
      },
      &error);
  EXPECT_LT(seen, kAssets);
  EXPECT_EQ(error.fault, StoreFault::kLost);
  EXPECT_THAT(error.detail, HasSubstr("database velor_t_killed"));
  // The store's other questions fail the same way, and nothing hangs.
  long count = 0;
  EXPECT_EQ(store->CountAssets(1, &count).fault, StoreFault::kLost);
}

}  // namespace
