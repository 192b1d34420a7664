#include "batchrun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storesql.h"
#include "ledger_generate.h"
#include "ledger_store.h"
#include "twocompany_fixture.h"

namespace {

using BatchRunTest = TwoCompanyTest;

TEST_F(BatchRunTest, JobsOnTwoThreadsWriteWhatOneThreadWrites) {
  LedgerStore store(TwoCompanyLedger(), u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  auto batch = [&](const std::string& folder, int threads) {
    std::vector<BatchJob> jobs;
    for (int round = 0; round < 4; ++round) {
      for (long no : {1L, 2L}) {
        std::string sub = folder + "/" + std::to_string(round) + "_" + std::to_string(no);
        MakeFolder(sub.c_str());
        BatchJob job;
        job.data = Company(no);
        job.asset_path = "C:\\" + folder + "\\" + std::to_string(round) + "_" + std::to_string(no) + "\\x.csv";
        jobs.push_back(job);
      }
    }
    RunBatchJobs(&jobs, threads, [](long, long) { return true; });
    return jobs;
  };
  std::vector<BatchJob> one = batch("one", 1), two = batch("two", 2);
  ASSERT_EQ(one.size(), two.size());
  for (size_t i = 0; i < one.size(); ++i) {
    EXPECT_TRUE(two[i].started);
    EXPECT_EQ(two[i].result.outcome, ExportRunResult::kExportedWithDiagnostics) << two[i].failure;
    EXPECT_EQ(two[i].errors, one[i].errors);
    EXPECT_EQ(two[i].report_json.substr(two[i].report_json.find("\"counts\"")),
              one[i].report_json.substr(one[i].report_json.find("\"counts\"")));
    std::string sub = std::to_string(i / 2) + "_" + std::to_string(i % 2 + 1);
    for (const char* name : {"/x.csv", "/syurui.SSC", "/VelrixSysErr.txt"}) {
      EXPECT_EQ(Bytes("two/" + sub + name), Bytes("one/" + sub + name)) << sub << name;
    }
  }
}

TEST_F(BatchRunTest, ACancelStopsTheRunningJobBetweenRowsAndStartsNoOther) {
  LedgerStore store(TwoCompanyLedger(), u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  // A company large enough to be running when the first tick comes.
  std::unique_ptr<StoreSql> sql;
  std::string detail;
  ASSERT_TRUE(OpenStoreSql(store.path(), true, &sql).ok());
  GeneratedCompany made;
  bool generated = GenerateCompany(sql.get(), 60000, 1, &made, &detail);
  sql.reset();
  ASSERT_TRUE(generated) << detail;
  MakeFolder("big");
  MakeFolder("after");
  WriteFileBytes(dir_.Native("big/x.csv"), "previous");
  std::vector<BatchJob> jobs(2);
  jobs[0].data = Company(made.dataNo);
  jobs[0].asset_path = "C:\\big\\x.csv";
  jobs[1].data = Company(1);
  jobs[1].asset_path = "C:\\after\\x.csv";
  long ticks = 0;
  RunBatchJobs(&jobs, 1, [&](long done, long) {
    EXPECT_EQ(done, 0);
    ++ticks;
    return false;
  });
  EXPECT_EQ(ticks, 1);
  ASSERT_TRUE(jobs[0].started);
  EXPECT_EQ(jobs[0].result.outcome, ExportRunResult::kCancelled);
  EXPECT_LT(jobs[0].result.tally.assets, 60000);
  EXPECT_EQ(Bytes("big/x.csv"), "previous");
  EXPECT_EQ(FolderEntryNames(dir_.Native("big")), std::vector<std::string>{"x.csv"});
  EXPECT_FALSE(jobs[1].started);
  EXPECT_TRUE(FolderEntryNames(dir_.Native("after")).empty());
}

}  // namespace
