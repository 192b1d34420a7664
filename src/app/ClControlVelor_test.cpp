#include "ClControlVelor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <nlohmann/json.hpp>

#include "ClAccConnect.h"
#include "ClConditionEntry.h"
#include "codepage.h"
#include "drivemap.h"
#include "faultfs.h"
#include "fs.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "scripted_frontend.h"
#include "small_ledger.h"
#include "tempdir.h"
#include "testdrives.h"
#include "winproc.h"
#include "messagebox.h"

namespace {

const char kCaption[] = "減価償却";

// The bytes of a UTF-8 literal, as the report holds them.
std::string operator""_s(const char8_t* text, size_t n) {
  return std::string(reinterpret_cast<const char*>(text), n);
}
const char kCancel[] = "｢減価償却｣の集計を中止します。";
const char kDoneWithLog[] = "減価償却情報の出力が一応終了しました。\n\nアプリケーションを終了します。";

// A run of the application object over a store, with drive T: on a
// temporary folder and the rest of the file system on Z:.
class ControlVelorTest : public ::testing::Test {
 protected:
  ControlVelorTest()
      : viewer_("VELOR_VIEWER", "") {
    drives_.Add("T:", tmp_.path());
    // Notepad itself is never started by a test.
    SetTextViewerEnabled(!TextViewerIsNotepad());
  }

  // Runs start-up and the end of the application; returns InitInstance's
  // result.
  BOOL Run() {
    BOOL result = app_.InitInstance();
    app_.ExitInstance();
    return result;
  }

  const ScriptedFrontEnd::Box& LastBox() { return fe_.boxes().back(); }

  TempDir tmp_;
  TestDrives drives_;
  ScopedEnv viewer_;
  ScopedCurrentFolder cwd_;  // start-up moves to the program's folder
  ScriptedFrontEnd fe_;
  ClControlVelor app_;
};

TEST_F(ControlVelorTest, ACleanRunDeletesTheLogAndNamesBothFiles) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  fe_.Inspect([](CDialog& dlg) {
    EXPECT_EQ(dlg.Control(IDC_COMPANY)->text, " 佐藤商事株式会社");
    EXPECT_EQ(dlg.Control(IDC_PERIOD)->text, " 2025/04/01～2026/03/31");
  });
  fe_.Type(IDC_OUTPUT_PATH, "T:\\出力\\資産.csv");
  fe_.Answer(IDYES);
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeDone);
  ASSERT_EQ(fe_.boxes().size(), 2u);
  EXPECT_EQ(LastBox().text,
            "減価償却情報の出力が正常に終了しました。\n\n償却資産データ ⇒ T:\\出力\\資産.csv    \n"
            "資産種類データ ⇒ T:\\出力\\syurui.SSC    \n\nアプリケーションを終了します。");
  EXPECT_EQ(LastBox().caption, kCaption);
  EXPECT_EQ(LastBox().type, MB_ICONINFORMATION);
  EXPECT_EQ(LastBox().owner, nullptr);
  EXPECT_TRUE(NativeExists(tmp_.Native(U8(u8"出力/資産.csv"))));
  EXPECT_TRUE(NativeExists(tmp_.Native(U8(u8"出力/syurui.SSC"))));
  EXPECT_FALSE(NativeExists(tmp_.Native(U8(u8"出力/VelrixSysErr.txt"))));
  EXPECT_GE(fe_.max_wait_depth(), 1);
  EXPECT_EQ(fe_.wait_depth(), 0);
  EXPECT_FALSE(ClAccConnect::Inst()->IsConnected());
  // The path is remembered for the next run of this user and data.
  std::string settings = ReadFileBytes(store.dir().Native("settings/Velorant.env"));
  EXPECT_NE(settings.find("sato/"), std::string::npos);
  EXPECT_NE(settings.find(":T:\\出力\\資産.csv\n"), std::string::npos);
}

TEST_F(ControlVelorTest, TheRememberedPathIsOfferedNextTime) {
  {
    LedgerStore store(kSmallLedger, u8"sato");
    ASSERT_TRUE(store.ok()) << store.error();
    WriteFileBytes(store.dir().Native("settings/Velorant.env"), "sato/S0007:T:\\x\\y.csv\n");
    fe_.Inspect([](CDialog& dlg) { EXPECT_EQ(dlg.Control(IDC_OUTPUT_PATH)->text, "T:\\x\\y.csv"); });
    fe_.Close();
    EXPECT_FALSE(Run());
  }
  // Without a remembered path the host's default folder is offered.
  LedgerStore other(kSmallLedger, u8"sato");
  ASSERT_TRUE(other.ok()) << other.error();
  std::string expected;
  fe_.Inspect([&](CDialog& dlg) { expected = dlg.Control(IDC_OUTPUT_PATH)->text; });
  fe_.Close();
  Run();
  EXPECT_EQ(expected.substr(expected.size() - 10), "\\out\\*.csv");
}

TEST_F(ControlVelorTest, CancellingWritesNothingAndStillCloses) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  fe_.Type(IDC_OUTPUT_PATH, "T:\\a.csv");
  fe_.Key(IDC_OUTPUT_PATH, VK_ESCAPE);
  EXPECT_FALSE(Run());
  ASSERT_EQ(fe_.boxes().size(), 1u);
  EXPECT_EQ(fe_.boxes()[0].text, kCancel);
  EXPECT_FALSE(NativeExists(tmp_.Native("a.csv")));
  EXPECT_FALSE(NativeExists(store.dir().Native("settings/Velorant.env")));
  EXPECT_FALSE(ClAccConnect::Inst()->IsConnected());
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeStopped);
}

TEST_F(ControlVelorTest, PastResultsDataEndsTheRun) {
  LedgerStore store(kSmallLedger, u8"kako");
  ASSERT_TRUE(store.ok()) << store.error();
  EXPECT_FALSE(Run());
  ASSERT_EQ(fe_.boxes().size(), 1u);
  EXPECT_EQ(fe_.boxes()[0].type, MB_ICONEXCLAMATION);
  EXPECT_EQ(fe_.dialogs_run(), 0);
}

TEST_F(ControlVelorTest, UnknownSelectedDataIsRefusedBeforeTheDialog) {
  LedgerStore store(kSmallLedger, u8"nobody");
  ASSERT_TRUE(store.ok()) << store.error();
  bool shown = false;
  fe_.Inspect([&shown](CDialog&) { shown = true; });
  fe_.Close();
  EXPECT_FALSE(Run());
  EXPECT_FALSE(shown);
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeStopped);
  ASSERT_FALSE(fe_.boxes().empty());
  EXPECT_NE(LastBox().text.find("選択されている会社データが会計ホストにありません。"), std::string::npos);
  EXPECT_EQ(LastBox().type, MB_ICONEXCLAMATION);
}

TEST_F(ControlVelorTest, DiagnosticsKeepTheLogAndShowIt) {
  std::string ledger = ReadDemoLedger();
  ASSERT_FALSE(ledger.empty());
  LedgerStore store(ledger, "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  fe_.Type(IDC_OUTPUT_PATH, "T:\\aoki.csv");
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeDiagnostics);
  EXPECT_EQ(LastBox().text, kDoneWithLog);
  EXPECT_EQ(LastBox().type, MB_ICONINFORMATION);
  EXPECT_FALSE(ReadFileBytes(tmp_.Native("VelrixSysErr.txt")).empty());
  // Without a viewer the front end shows the log (under Windows Notepad does).
  if (TextViewerIsNotepad()) return;
  ASSERT_EQ(fe_.shown_files().size(), 1u);
  EXPECT_EQ(fe_.shown_files()[0], tmp_.Native("VelrixSysErr.txt"));
}

TEST_F(ControlVelorTest, TheViewerCommandGetsAUtf8CopyOfTheLog) {
  if (TextViewerIsNotepad()) GTEST_SKIP() << "under Windows the log goes to Notepad itself, not to VELOR_VIEWER";
  std::string ledger = ReadDemoLedger();
  LedgerStore store(ledger, "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  WriteFileBytes(tmp_.Native("viewer.sh"),
                 "cat \"$1\" > \"$0.copy\"; pwd > \"$0.out\"; basename \"$1\" >> \"$0.out\"\n");
  ScopedEnv viewer("VELOR_VIEWER", "/bin/sh " + tmp_.Native("viewer.sh"));
  ScopedEnv temp("TMPDIR", tmp_.Native("tmp"));
  WriteFileBytes(tmp_.Native("tmp/keep"), "");
  WriteFileBytes(tmp_.Native("sub/keep"), "");
  fe_.Type(IDC_OUTPUT_PATH, "T:\\sub\\aoki.csv");
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  std::string seen;
  for (int i = 0; i < 100 && seen.find('\n', seen.find('\n') + 1) == std::string::npos; ++i) {
    SleepMilliseconds(50);
    seen = ReadFileBytes(tmp_.Native("viewer.sh.out"));
  }
  // Run in the output folder, on a copy of the same name; the log itself
  // stays code page 932.
  EXPECT_EQ(seen, tmp_.Native("sub") + "\nVelrixSysErr.txt\n");
  std::string log = ReadFileBytes(tmp_.Native("sub/VelrixSysErr.txt")), utf8;
  ASSERT_TRUE(Cp932ToUtf8(log, &utf8));
  EXPECT_NE(log, utf8);
  EXPECT_EQ(ReadFileBytes(tmp_.Native("viewer.sh.copy")), utf8);
  EXPECT_TRUE(fe_.shown_files().empty());
}

TEST_F(ControlVelorTest, NoViewerWhenTurnedOff) {
  std::string ledger = ReadDemoLedger();
  LedgerStore store(ledger, "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  SetTextViewerEnabled(false);
  fe_.Type(IDC_OUTPUT_PATH, "T:\\aoki.csv");
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  EXPECT_TRUE(fe_.shown_files().empty());
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeDiagnostics);
}

TEST_F(ControlVelorTest, AFileTheEngineCannotWriteIsNoSuccess) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  // A folder holds the log's name, so the log cannot be opened.
  WriteFileBytes(tmp_.Native("VelrixSysErr.txt/keep"), "");
  fe_.Type(IDC_OUTPUT_PATH, "T:\\a.csv");
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeStopped);
  EXPECT_EQ(LastBox().type, MB_ICONEXCLAMATION);
  EXPECT_NE(LastBox().text.find("T:\\VelrixSysErr.txt"), std::string::npos);
  EXPECT_EQ(LastBox().text.find("正常に終了"), std::string::npos);
  EXPECT_TRUE(NativeExists(tmp_.Native("VelrixSysErr.txt/keep")));
}

TEST_F(ControlVelorTest, AStoreThatCannotBeOpenedEndsSilently) {
  ClAccConnect::Inst()->Release();
  ClAccConnect::SetStoreOptions(tmp_.Native("missing.sqlite").c_str(), "sato");
  EXPECT_FALSE(Run());
  EXPECT_TRUE(fe_.boxes().empty());
  EXPECT_EQ(fe_.dialogs_run(), 0);
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeStopped);
}

// A store read that fails anywhere in start-up never passes for company
// data the store lacks: the message says the data could not be read, and
// why.
TEST_F(ControlVelorTest, AStoreReadErrorIsNoMissingCompany) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  int unreadable = 0;
  for (int nth = 1; nth <= 60; ++nth) {
    FaultFs faults;
    faults.FailNth(FsOp::kRead, nth, FsError::kIoError, store.path());
    ScriptedFrontEnd fe;
    ClControlVelor app;
    ClAccConnect::Inst()->Terminate();  // connected anew, under the faults
    {
      ScopedFs scoped(&faults);
      app.InitInstance();  // a dialog, when one comes, is closed by the empty script
      app.ExitInstance();
    }
    for (const auto& box : fe.boxes()) {
      EXPECT_EQ(box.text.find("会計ホストにありません"), std::string::npos) << nth << box.text;
      if (box.text.find("会社データを読み込めませんでした") != std::string::npos) {
        ++unreadable;
        EXPECT_NE(box.text.find("原因 ⇒ "), std::string::npos) << box.text;
      }
    }
    if (faults.Struck() == 0) break;
  }
  EXPECT_GE(unreadable, 1);
}

TEST_F(ControlVelorTest, TheReportNamesEachEntrysAssetAndColumn) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  WriteFileBytes(tmp_.Native("report.json"), "an earlier report");
  app_.SetReportPath(tmp_.Native("report.json"));
  SetTextViewerEnabled(false);
  fe_.Type(IDC_OUTPUT_PATH, "T:\\aoki.csv");
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeDiagnostics);
  auto report = nlohmann::json::parse(ReadFileBytes(tmp_.Native("report.json")));
  EXPECT_EQ(report["outcome"], "exported with diagnostics");
  EXPECT_EQ(report["company"]["name"], u8"青木農園　青木一郎"_s);
  EXPECT_EQ(report["files"]["assets"]["path"], "T:\\aoki.csv");
  std::string native;
  ASSERT_TRUE(DriveMapToNative("T:\\aoki.csv", &native));
  EXPECT_EQ(report["files"]["assets"]["native_path"], native);
  EXPECT_EQ(report["files"]["log"]["written"], true);
  const auto& counts = report["counts"];
  EXPECT_EQ(counts["assets_read"], 8);
  EXPECT_EQ(counts["data_rows"], 8);
  EXPECT_EQ(counts["warnings"], 1);
  EXPECT_EQ(counts["errors"], 4);
  ASSERT_EQ(report["entries"].size(), 5u);
  const auto& amount = report["entries"][3];
  EXPECT_EQ(amount["kind"], "ERROR");
  EXPECT_EQ(amount["asset_code"], "51");
  EXPECT_EQ(amount["asset_name"], u8"大規模農地造成用地"_s);
  EXPECT_EQ(amount["column"], 44);
  EXPECT_EQ(amount["column_title"], u8"期首帳簿価額"_s);
  EXPECT_EQ(amount["value"], "123456789012");
  EXPECT_EQ(report["entries"][1]["column_title"], u8"資産コード"_s);
  EXPECT_EQ(app_.GetReport()->SummaryLine(),
            "velor: 8 assets read, 8 data rows (0 breakdown rows), 6 asset kinds, 1 warnings, "
            "4 errors");
}

// A report that could not be written, or a settings folder this account may
// not write, would fail the run after the export had replaced the previous
// files: both are refused before the dialog, and nothing is written.
TEST_F(ControlVelorTest, AnUnwritableReportOrSettingsFolderIsRefusedBeforeTheExport) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  WriteFileBytes(tmp_.Native("a.csv"), "previous");
  for (const char* report : {"no/such/folder/report.json", "folder"}) {
    MakeNativeFolders(tmp_.Native("folder"));
    app_.SetReportPath(tmp_.Native(report));
    bool shown = false;
    fe_.Inspect([&shown](CDialog&) { shown = true; });
    EXPECT_FALSE(Run()) << report;
    EXPECT_FALSE(shown);
    EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeStopped);
    EXPECT_EQ(LastBox().type, MB_ICONEXCLAMATION);
    EXPECT_EQ(LastBox().text.rfind("減価償却情報のレポートを書き込めません。", 0), 0u) << LastBox().text;
    EXPECT_NE(LastBox().text.find(tmp_.Native(report)), std::string::npos) << LastBox().text;
    EXPECT_EQ(ReadFileBytes(tmp_.Native("a.csv")), "previous");
  }
  app_.SetReportPath("");

  FaultFs faults;
  ScopedFs scoped(&faults);
  faults.DenyWriting(store.dir().path());  // settings/ is not there: its folder counts
  bool shown = false;
  fe_.Inspect([&shown](CDialog&) { shown = true; });
  EXPECT_FALSE(Run());
  EXPECT_FALSE(shown);
  EXPECT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeStopped);
  EXPECT_EQ(LastBox().text.rfind("出力先を記憶する設定フォルダに書き込めません。", 0), 0u) << LastBox().text;
  EXPECT_NE(LastBox().text.find("\\settings\\"), std::string::npos) << LastBox().text;
  EXPECT_NE(LastBox().text.find("管理者に依頼してください"), std::string::npos) << LastBox().text;
  EXPECT_EQ(ReadFileBytes(tmp_.Native("a.csv")), "previous");
}

TEST_F(ControlVelorTest, TheReportIsPutInPlaceWhole) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  app_.SetReportPath(tmp_.Native("report.json"));
  fe_.Type(IDC_OUTPUT_PATH, "T:\\a.csv");
  fe_.Click(IDC_EXECUTE);
  EXPECT_TRUE(Run());
  EXPECT_EQ(ReadFileBytes(tmp_.Native("report.json")).rfind("{", 0), 0u);
  EXPECT_EQ(CountFolderEntries(tmp_.path()), 3);  // a.csv, syurui.SSC and the report: no temporary
}

// Another company's export in the folder: its asset-kind file and log are
// named in the replace question (No keeps them), and the same company's own
// files are replaced without one.
TEST_F(ControlVelorTest, AnotherCompanysFilesInTheFolderAreNamedBeforeTheyAreReplaced) {
  const std::string ledger = ReadDemoLedger();
  {
    LedgerStore yamada(ledger, "yamada");
    ASSERT_TRUE(yamada.ok()) << yamada.error();
    fe_.Type(IDC_OUTPUT_PATH, "T:\\out\\yamada.csv");
    fe_.Answer(IDYES);  // the folder is made
    fe_.Click(IDC_EXECUTE);
    ASSERT_TRUE(Run());
    ASSERT_EQ(app_.GetOutcome(), ClControlVelor::kOutcomeDone);
  }
  const std::string kinds = ReadFileBytes(tmp_.Native("out/syurui.SSC"));
  ASSERT_FALSE(kinds.empty()) << fe_.boxes().back().text;
  LedgerStore aoki(ledger, "aoki");
  ASSERT_TRUE(aoki.ok()) << aoki.error();
  fe_.Type(IDC_OUTPUT_PATH, "T:\\out\\aoki.csv");
  fe_.Answer(IDNO);
  fe_.Click(IDC_EXECUTE);
  fe_.Close();
  const size_t asked = fe_.boxes().size();
  EXPECT_FALSE(Run());
  ASSERT_GE(fe_.boxes().size(), asked + 2);
  const std::string question = fe_.boxes()[asked].text;
  EXPECT_EQ(fe_.boxes()[asked].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_NE(question.find("別の会社データ（株式会社山田製作所）"), std::string::npos) << question;
  EXPECT_NE(question.find("上書きされるファイル ⇒ T:\\out\\syurui.SSC"), std::string::npos) << question;
  EXPECT_EQ(question.find("aoki.csv"), std::string::npos) << question;  // a new file replaces nothing
  EXPECT_EQ(ReadFileBytes(tmp_.Native("out/syurui.SSC")), kinds);
  EXPECT_FALSE(NativeExists(tmp_.Native("out/aoki.csv")));

  // Yes: replaced as asked. Then aoki's own files are aoki's: no question.
  for (int run = 0; run < 2; ++run) {
    size_t before = fe_.boxes().size();
    fe_.Type(IDC_OUTPUT_PATH, run == 0 ? "T:\\out\\aoki.csv" : "T:\\out\\aoki2.csv");
    if (run == 0) fe_.Answer(IDYES);
    fe_.Click(IDC_EXECUTE);
    EXPECT_TRUE(Run());
    EXPECT_NE(app_.GetOutcome(), ClControlVelor::kOutcomeStopped) << run;
    EXPECT_EQ(fe_.boxes().size() - before, run == 0 ? 2u : 1u) << run;
  }
  EXPECT_NE(ReadFileBytes(tmp_.Native("out/syurui.SSC")), kinds);
}

TEST(GetDispTextTest, FormatsAndOverwrites) {
  StDATAINFO data = {};
  std::strcpy(data.szDataName, "山田製作所");
  data.lTermStart = 20250401;
  data.lTermEnd = 20260331;
  const char* first = ClControlVelor::GetDispText(0, &data);
  EXPECT_STREQ(first, " 山田製作所");
  std::string kept = first;
  const char* second = ClControlVelor::GetDispText(1, &data);
  EXPECT_EQ(first, second);  // the same buffer, overwritten
  EXPECT_STREQ(second, " 2025/04/01～2026/03/31");
  EXPECT_EQ(kept, " 山田製作所");
  EXPECT_STREQ(ClControlVelor::GetDispText(2, &data), "");
  EXPECT_STREQ(ClControlVelor::GetDispText(0, nullptr), "");
  // A name that fills its field is cut at a whole character.
  std::memset(data.szDataName, 0, sizeof data.szDataName);
  for (int i = 0; i < 129; ++i) std::strcat(data.szDataName, "表");
  std::string cut = ClControlVelor::GetDispText(0, &data);
  EXPECT_EQ(cut.size(), 255u);
  EXPECT_EQ(cut.substr(cut.size() - 2), "表");
}

}  // namespace
