// What the engine tells its observer: entries with the asset, column and
// value they concern, the counts, and a cancel between rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ClDataMgr.h"
#include "ClDepreciation.h"
#include "ClSetData.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

struct Seen {
  bool error;
  std::string code, name, breakdown, value, text;
  long column;
};

class Recorder : public ClExportObserver {
 public:
  explicit Recorder(long cancel_after = -1) : cancel_after_(cancel_after) {}
  void OnLogEntry(const ClLogEntry& e) override {
    entries.push_back({e.error, std::string(e.code), std::string(e.name), std::string(e.breakdown),
                       std::string(e.value), std::string(e.text), e.column});
  }
  bool OnAssetsDone(long done, long total) override {
    progress.push_back(done);
    last_total = total;
    return cancel_after_ < 0 || done < cancel_after_;
  }
  std::vector<Seen> entries;
  std::vector<long> progress;
  long last_total = -1;

 private:
  long cancel_after_;
};

// Three ordinary assets (the third with the first one's code and a cost
// beyond the amount columns) and one lump-sum asset of two lines.
const char8_t kLedger[] = u8R"({"format": "velor-ledger/1",
  "users": [{"user_id": "sato", "selected_data_no": 1}],
  "companies": [{"data_no": 1, "data_id": "D0001", "szDataName": "見本商事",
    "lTermStart": 20260401, "lTermEnd": 20270331, "bEntityKind": 1,
    "asset_kinds": [{"lKindNo": 5, "szKindName": "器具備品"}],
    "assets": [
      {"szAssetCode": "1", "lKindCode": 5, "szAssetName": "机", "nMethod": 5,
       "cyAcquisitionCost": "480000"},
      {"szAssetCode": "2", "lKindCode": 5, "szAssetName": "棚", "nMethod": 5,
       "cyAcquisitionCost": "1000"},
      {"szAssetCode": "1", "lKindCode": 5, "szAssetName": "椅子", "nMethod": 5,
       "cyAcquisitionCost": "123456789012"},
      {"szAssetCode": "9", "lKindCode": 5, "szAssetName": "一括", "nMethod": 4,
       "breakdowns": [{"szBreakdownName": "パソコン", "cyBreakdownCost": "100000"},
                      {"szBreakdownName": "プリンタ", "cyBreakdownCost": "123456789012"}]}]}]})";

class ObserverTest : public ::testing::Test {
 protected:
  ObserverTest() : store_(kLedger, u8"sato") {
    drives_.Add("C:", dir_.path());
    MakeNativeFolders(dir_.Native("out"));
  }
  // Runs the three stages with observer; returns the engine's failures.
  unsigned Run(ClExportObserver* observer, ClDepreciation::Tally* tally, BOOL* cancelled) {
    StDATAINFO data = *ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo();
    ClDepreciation engine;
    engine.SetObserver(observer);
    engine.m_strOutputPath = "C:\\out\\a.csv";
    engine.OutputPreamble(&data);
    engine.OutputAssets(&data);
    engine.OutputAssetKinds(&data);
    engine.CommitOutput();
    *tally = engine.GetTally();
    *cancelled = engine.WasCancelled();
    return engine.GetFileFailures();
  }
  TempDir dir_;
  TestDrives drives_;
  LedgerStore store_;
};

TEST_F(ObserverTest, EntriesNameTheirAssetColumnAndValue) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  Recorder recorder;
  ClDepreciation::Tally tally;
  BOOL cancelled = TRUE;
  EXPECT_EQ(Run(&recorder, &tally, &cancelled), 0u);
  EXPECT_FALSE(cancelled);
  EXPECT_EQ(tally.assets, 4);
  EXPECT_EQ(tally.rows, 5);
  EXPECT_EQ(tally.breakdown_rows, 2);
  EXPECT_EQ(tally.kinds, 1);
  EXPECT_EQ(recorder.progress, (std::vector<long>{0, 1, 2, 3, 4}));
  EXPECT_EQ(recorder.last_total, 4);

  ASSERT_EQ(recorder.entries.size(), 3u);
  // The log holds the same entries in the same order.
  std::string log = ReadFileBytes(dir_.Native("out/VelrixSysErr.txt"));
  size_t at = 0;
  for (const Seen& e : recorder.entries) {
    at = log.find(e.text, at);
    EXPECT_NE(at, std::string::npos) << e.text;
  }
  const Seen& duplicate = recorder.entries[0];
  EXPECT_TRUE(duplicate.error);
  EXPECT_EQ(duplicate.code, "1");
  EXPECT_EQ(duplicate.name, "椅子");
  EXPECT_EQ(duplicate.column, 1);
  EXPECT_EQ(duplicate.value, "1");
  EXPECT_EQ(duplicate.breakdown, "");
  const Seen& amount = recorder.entries[1];
  EXPECT_EQ(amount.name, "椅子");
  EXPECT_EQ(amount.column, 25);
  EXPECT_EQ(amount.value, "123456789012");
  const Seen& line = recorder.entries[2];
  EXPECT_EQ(line.code, "9");
  EXPECT_EQ(line.name, "一括");
  EXPECT_EQ(line.breakdown, "2");
  EXPECT_EQ(line.column, 25);
  EXPECT_EQ(line.value, "123456789012");
}

TEST_F(ObserverTest, CancelStopsBetweenRowsAndFailsTheFiles) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  WriteFileBytes(dir_.Native("out/syurui.SSC"), "earlier");
  WriteFileBytes(dir_.Native("out/a.csv"), "earlier rows");
  WriteFileBytes(dir_.Native("out/VelrixSysErr.txt"), "earlier log");
  Recorder recorder(2);
  ClDepreciation::Tally tally;
  BOOL cancelled = FALSE;
  unsigned failures = Run(&recorder, &tally, &cancelled);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(failures, ClDepreciation::kFailedAsset | ClDepreciation::kFailedLog);
  EXPECT_EQ(recorder.progress, (std::vector<long>{0, 1, 2}));
  EXPECT_EQ(tally.assets, 2);
  EXPECT_EQ(tally.rows, 2);
  EXPECT_EQ(tally.kinds, 0);
  EXPECT_TRUE(recorder.entries.empty());
  // Nothing is put in place: the previous export stays whole, no temporary
  // file is left.
  EXPECT_EQ(ReadFileBytes(dir_.Native("out/syurui.SSC")), "earlier");
  EXPECT_EQ(ReadFileBytes(dir_.Native("out/a.csv")), "earlier rows");
  EXPECT_EQ(ReadFileBytes(dir_.Native("out/VelrixSysErr.txt")), "earlier log");
  for (const std::string& name : FolderEntryNames(dir_.Native("out"))) {
    EXPECT_EQ(name.rfind("~vel", 0), std::string::npos) << name;
  }

  // A cancel before the first asset writes no row.
  Recorder at_once(0);
  Run(&at_once, &tally, &cancelled);
  EXPECT_TRUE(cancelled);
  EXPECT_EQ(tally.assets, 0);
  EXPECT_EQ(tally.rows, 0);
}

}  // namespace
