#include "exportrun.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledger_store.h"
#include "twocompany_fixture.h"

namespace {

using ExportRunFilesTest = TwoCompanyTest;

TEST_F(ExportRunFilesTest, ARecordOfAnotherCompanyThanTheSelectionFailsAndWritesNothing) {
  LedgerStore store(TwoCompanyLedger(), u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  MakeFolder("a");
  WriteFileBytes(dir_.Native("a/x.csv"), "previous");
  ExportRunResult run = RunExportFiles(Company(2), "C:\\a\\x.csv", nullptr, ExportCompany::kSelection);
  EXPECT_EQ(run.outcome, ExportRunResult::kFailed);
  EXPECT_TRUE(run.wrong_company);
  EXPECT_EQ(Bytes("a/x.csv"), "previous");
  EXPECT_EQ(FolderEntryNames(dir_.Native("a")), std::vector<std::string>{"x.csv"});
  std::string text = ExportFailureText(run, "");
  EXPECT_NE(text.find("会計ホストで選択されている会社データと一致しません"), std::string::npos) << text;

  // The selection's own record exports as before.
  run = RunExportFiles(Company(1), "C:\\a\\x.csv", nullptr, ExportCompany::kSelection);
  EXPECT_EQ(run.outcome, ExportRunResult::kExportedWithDiagnostics);
  EXPECT_EQ(run.tally.assets, 2);
  EXPECT_NE(Bytes("a/x.csv").find("一番商事"), std::string::npos);
}

TEST_F(ExportRunFilesTest, ACompanyGivenByItsRecordEqualsItsOwnSingleExport) {
  MakeFolder("single");
  MakeFolder("record");
  {
    LedgerStore store(TwoCompanyLedger(), u8"ito");
    ASSERT_TRUE(store.ok()) << store.error();
    ExportRunResult run = RunExportFiles(Company(2), "C:\\single\\x.csv", nullptr, ExportCompany::kSelection);
    ASSERT_EQ(run.outcome, ExportRunResult::kExportedWithDiagnostics);
  }
  LedgerStore store(TwoCompanyLedger(), u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  ExportRunResult run = RunExportFiles(Company(2), "C:\\record\\x.csv", nullptr, ExportCompany::kRecord);
  ASSERT_EQ(run.outcome, ExportRunResult::kExportedWithDiagnostics);
  EXPECT_FALSE(run.wrong_company);
  EXPECT_EQ(ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo()->lDataNo, 1);
  for (const char* name : {"x.csv", "syurui.SSC", "VelrixSysErr.txt"}) {
    std::string single = Bytes(std::string("single/") + name);
    EXPECT_FALSE(single.empty()) << name;
    EXPECT_EQ(Bytes(std::string("record/") + name), single) << name;
  }
}

}  // namespace
