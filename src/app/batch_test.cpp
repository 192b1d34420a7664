#include "batch.h"

#include <gtest/gtest.h>

#include <string>

#include "ClControlVelor.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "scripted_frontend.h"
#include "small_ledger.h"
#include "tempdir.h"
#include "testdrives.h"
#include "messagebox.h"
#include "winproc.h"

namespace {

// A scripted front end that says it is on a desktop.
class DesktopFrontEnd : public ScriptedFrontEnd {
 public:
  bool OnDesktop() const override { return true; }
};

// A batch run by the application object over the demo ledger (data 1 has
// no diagnostics entries, data 2 has some), with drive T: on a temporary
// folder.
class BatchTest : public ::testing::Test {
 protected:
  BatchTest() {
    drives_.Add("T:", tmp_.path());
    SetTextViewerEnabled(true);
  }

  // Runs start-up over the batch of list into pattern; returns the outcome.
  ClControlVelor::RunOutcome Run(const char* list, const char* pattern) {
    BatchRequest request;
    std::string error;
    EXPECT_TRUE(ParseCompanySelection(list, &request.selection, &error)) << error;
    request.pattern = pattern;
    request.report = report_;
    app_.SetBatch(request);
    EXPECT_TRUE(app_.InitInstance());
    app_.ExitInstance();
    return app_.GetOutcome();
  }

  TempDir tmp_;
  TestDrives drives_;
  ScopedCurrentFolder cwd_;  // start-up moves to the program's folder
  DesktopFrontEnd fe_;
  ClControlVelor app_;
  std::string report_;
};

TEST_F(BatchTest, AsksThePathQuestionsShowsNoDialogAndSumsUpInOneMessage) {
  LedgerStore store(ReadDemoLedger(), "yamada");
  ASSERT_TRUE(store.ok()) << store.error();
  report_ = tmp_.Native("report.json");
  // The two missing folders are created after their questions; the table
  // offered at the end is taken.
  fe_.Answer(IDYES);
  fe_.Answer(IDYES);
  fe_.Answer(IDYES);
  WriteFileBytes(tmp_.Native("viewer.sh"), "cat \"$1\" > \"$0.copy\"\n");
  ScopedEnv viewer("VELOR_VIEWER", "/bin/sh " + tmp_.Native("viewer.sh"));
  EXPECT_EQ(Run("all", "T:\\b\\{no}\\a.csv"), ClControlVelor::kOutcomeDiagnostics);
  EXPECT_EQ(fe_.dialogs_run(), 0);
  EXPECT_EQ(fe_.unanswered(), 0);
  ASSERT_EQ(fe_.boxes().size(), 3u);
  EXPECT_EQ(fe_.boxes()[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  const ScriptedFrontEnd::Box& last = fe_.boxes().back();
  EXPECT_EQ(last.type, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION));
  EXPECT_NE(last.text.find("一覧を表示しますか？"), std::string::npos) << last.text;
  EXPECT_NE(last.text.find("減価償却情報の一括出力が終了しました。"), std::string::npos) << last.text;
  EXPECT_NE(last.text.find("出力 ⇒ 2 社（うち診断情報あり 1 社）"), std::string::npos) << last.text;
  EXPECT_NE(last.text.find("report.json"), std::string::npos) << last.text;
  EXPECT_FALSE(ReadFileBytes(tmp_.Native("b/1/a.csv")).empty());
  EXPECT_FALSE(ReadFileBytes(tmp_.Native("b/2/VelrixSysErr.txt")).empty());
  EXPECT_FALSE(ReadFileBytes(report_).empty());
  // No path is remembered: the settings folder is never made.
  EXPECT_FALSE(NativeExists(store.dir().Native("settings")));
  if (TextViewerIsNotepad()) return;  // under Windows Notepad shows the table
  std::string table;
  for (int i = 0; i < 100 && table.empty(); ++i) {
    SleepMilliseconds(50);
    table = ReadFileBytes(tmp_.Native("viewer.sh.copy"));
  }
  // The viewer is given a UTF-8 copy.
  EXPECT_NE(table.find(U8(u8"株式会社山田製作所")), std::string::npos) << table;
  EXPECT_NE(table.find("T:\\b\\2\\\r\n"), std::string::npos) << table;
}

TEST_F(BatchTest, AQuestionAnsweredNoRefusesThatCompanyOnly) {
  LedgerStore store(ReadDemoLedger(), "yamada");
  ASSERT_TRUE(store.ok()) << store.error();
  fe_.Answer(IDNO);
  fe_.Answer(IDYES);
  fe_.Answer(IDNO);
  EXPECT_EQ(Run("1-2", "T:\\b\\{no}\\a.csv"), ClControlVelor::kOutcomeStopped);
  EXPECT_FALSE(NativeExists(tmp_.Native("b/1")));
  EXPECT_FALSE(ReadFileBytes(tmp_.Native("b/2/a.csv")).empty());
  const ScriptedFrontEnd::Box& last = fe_.boxes().back();
  EXPECT_EQ(last.type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
  EXPECT_NE(last.text.find("失敗 ⇒ 1 社"), std::string::npos) << last.text;
}

TEST_F(BatchTest, TwoCompaniesInOneFolderWriteNothing) {
  LedgerStore store(ReadDemoLedger(), "yamada");
  ASSERT_TRUE(store.ok()) << store.error();
  EXPECT_EQ(Run("all", "T:\\b\\x{no}.csv"), ClControlVelor::kOutcomeBadRequest);
  // Two spellings of one folder.
  EXPECT_EQ(Run("all", "T:\\b\\{no}\\..\\a.csv"), ClControlVelor::kOutcomeBadRequest);
  EXPECT_FALSE(NativeExists(tmp_.Native("b")));
  EXPECT_TRUE(fe_.boxes().empty() || fe_.boxes().back().type != MB_ICONINFORMATION);
}

}  // namespace
