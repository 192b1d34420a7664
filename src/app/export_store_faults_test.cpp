// Whole runs of the application object over a store that fails in the
// middle of the export (a lost connection, a statement timeout, a read
// error): the export fails naming the store's cause, and the previous files
// stay as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "ClAccConnect.h"
#include "ClControlVelor.h"
#include "ClConditionEntry.h"
#include "hostcodes.h"
#include "hostsession.h"
#include "memory_store.h"
#include "messagebox.h"
#include "nativeos.h"
#include "scripted_frontend.h"
#include "tempdir.h"
#include "testdrives.h"
#include "winproc.h"

namespace {

// One company "A" (data number 1) of user "u": ten assets, the fourth a
// lump-sum asset with two breakdown lines, and two asset kinds.
std::shared_ptr<MemoryLedger> TenAssets() {
  auto ledger = std::make_shared<MemoryLedger>();
  ledger->users["u"] = {0, 1};
  ledger->outputFolder = "T:\\out\\";
  ledger->settingsFolder = "T:\\set\\";
  MemoryLedger::Company company;
  std::strcpy(company.info.szDataID, "A");
  std::strcpy(company.info.szDataName, "見本商事");
  company.info.lDataNo = 1;
  company.info.lTermStart = 20250401;
  company.info.lTermEnd = 20260331;
  for (int i = 0; i < 10; ++i) {
    StKOTEISHISANINFO asset{};
    StKOTEINENINFO year{};
    std::snprintf(asset.szAssetCode, sizeof asset.szAssetCode, "%d", i + 1);
    asset.nMethod = i == 3 ? kMethodLumpSum : kMethodStraight;
    asset.cyAcquisitionCost.int64 = (i + 1) * 100000LL * 10000;
    company.assets.emplace_back(asset, year);
  }
  company.lines[3].resize(2);
  company.kinds.resize(2);
  company.kinds[0].lKindNo = 1;
  company.kinds[1].lKindNo = 5;
  ledger->companies.push_back(company);
  return ledger;
}

class ExportStoreFaultsTest : public ::testing::Test {
 protected:
  ExportStoreFaultsTest() : viewer_("VELOR_VIEWER", "") {
    drives_.Add("T:", tmp_.path());
    SetTextViewerEnabled(false);
    MakeNativeFolders(tmp_.Native("out"));
    MakeNativeFolders(tmp_.Native("set"));
    WriteFileBytes(tmp_.Native("out/a.csv"), "previous asset rows\r\n");
    WriteFileBytes(tmp_.Native("out/syurui.SSC"), "previous kinds\r\n");
  }
  ~ExportStoreFaultsTest() override { ClAccConnect::Inst()->Release(); }

  // Connects ledger for user u and exports to T:\out\a.csv; the text of the
  // last message box.
  std::string Export(std::shared_ptr<MemoryLedger> ledger, ClControlVelor::RunOutcome* outcome) {
    ClAccConnect::Inst()->Release();
    std::string message;
    EXPECT_EQ(HostSession::Adopt(std::make_unique<MemoryHostStore>(ledger), "u", &message), 0) << message;
    ScriptedFrontEnd fe;
    ClControlVelor app;
    fe.Type(IDC_OUTPUT_PATH, "T:\\out\\a.csv");
    fe.Answer(IDYES);
    fe.Click(IDC_EXECUTE);
    app.InitInstance();
    app.ExitInstance();
    *outcome = app.GetOutcome();
    return fe.boxes().empty() ? std::string() : fe.boxes().back().text;
  }

  TempDir tmp_;
  TestDrives drives_;
  ScopedEnv viewer_;
};

TEST_F(ExportStoreFaultsTest, AStoreFailingMidwayFailsTheExportWithItsCause) {
  ClControlVelor::RunOutcome outcome;
  const std::string first = Export(TenAssets(), &outcome);
  ASSERT_EQ(first.find("失敗"), std::string::npos) << first;
  ASSERT_EQ(outcome, ClControlVelor::kOutcomeDone) << first;
  const std::string good = ReadFileBytes(tmp_.Native("out/a.csv"));
  ASSERT_NE(good, "previous asset rows\r\n");

  const struct {
    const char* what;
    void (*fail)(MemoryLedger*);
    const char* cause;  // in the message box (code page 932 or ASCII)
  } cases[] = {
      {"connection lost at the sixth asset",
       [](MemoryLedger* l) {
         l->walkFailsAt = 5;
         l->walkFault = StoreError::Of(StoreFault::kLost, "server closed the connection unexpectedly");
       },
       "server closed the connection unexpectedly"},
      {"timeout at the first asset",
       [](MemoryLedger* l) {
         l->walkFailsAt = 0;
         l->walkFault = StoreError::Of(StoreFault::kTimeout, "canceling statement due to statement timeout");
       },
       "canceling statement due to statement timeout"},
      {"breakdown lines unreadable",
       [](MemoryLedger* l) { l->breakdownFault = StoreError::Of(StoreFault::kUnreadable, "disk I/O error"); },
       "disk I/O error"},
      {"asset kinds unreadable",
       [](MemoryLedger* l) { l->kindFault = StoreError::Of(StoreFault::kLost, "terminating connection"); },
       "terminating connection"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(tmp_.Native("out/a.csv"), "previous asset rows\r\n");
    WriteFileBytes(tmp_.Native("out/syurui.SSC"), "previous kinds\r\n");
    auto ledger = TenAssets();
    c.fail(ledger.get());
    std::string box = Export(ledger, &outcome);
    EXPECT_EQ(outcome, ClControlVelor::kOutcomeStopped) << c.what;
    EXPECT_NE(box.find("会計ホストのデータを読み込めませんでした"), std::string::npos) << c.what << ": " << box;
    EXPECT_NE(box.find(c.cause), std::string::npos) << c.what << ": " << box;
    EXPECT_NE(box.find("memory"), std::string::npos) << c.what << ": the store is named: " << box;
    EXPECT_EQ(ReadFileBytes(tmp_.Native("out/a.csv")), "previous asset rows\r\n") << c.what;
    EXPECT_EQ(ReadFileBytes(tmp_.Native("out/syurui.SSC")), "previous kinds\r\n") << c.what;
    for (const std::string& name : FolderEntryNames(tmp_.Native("out"))) {
      EXPECT_TRUE(name == "a.csv" || name == "syurui.SSC") << c.what << ": left " << name;
    }
  }
}

}  // namespace
