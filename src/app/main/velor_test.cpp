#include <gtest/gtest.h>

#include <string>

#include "commandline.h"
#include "drivemap.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "small_ledger.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

// Runs the velor program with args (a shell word list) and no terminal;
// returns its exit status and its standard output and error in *out.
int RunVelor(const std::string& args, std::string* out) {
  return RunShellCommand(ShellQuote(VELOR_PROGRAM) + " " + args, out);
}

// The program runs with drive T: on a temporary folder natively; under
// Windows it reaches the folder by its own path. T(name) is the Windows path
// of name in that folder, quoted for the shell.
class VelorProgramTest : public ::testing::Test {
 protected:
  VelorProgramTest() : viewer_("VELOR_VIEWER", "") {
    drives_.Add("T:", tmp_.path());
    std::string windows;
    EXPECT_TRUE(DriveMapToWindows(tmp_.Native("x"), &windows));
    root_ = windows.substr(0, windows.size() - 1);
  }
  std::string T(const std::string& name) const { return ShellQuote(root_ + name); }
  TempDir tmp_;
  TestDrives drives_;
  ScopedEnv viewer_;
  std::string root_;  // "T:\\" natively
};

TEST_F(VelorProgramTest, ExportsAndReportsThroughTheExitStatus) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  std::string out;
  // A native output path, turned into its Windows form through the map.
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user sato --yes --no-viewer --output " +
                         tmp_.Native("out/a.csv"),
                     &out),
            0)
      << out;
  EXPECT_NE(out.find(U8(u8"償却資産データ ⇒ ") + root_ + "out\\a.csv"), std::string::npos) << out;
  EXPECT_TRUE(NativeExists(tmp_.Native("out/a.csv")));
  EXPECT_TRUE(NativeExists(tmp_.Native("out/syurui.SSC")));
  EXPECT_FALSE(NativeExists(tmp_.Native("out/VelrixSysErr.txt")));

  // Without --output and without a terminal, the remembered path runs once;
  // the existing file is not replaced without --yes.
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user sato --no-viewer", &out), 1) << out;
  EXPECT_NE(out.find(U8(u8"上書きしてもよろしいですか？")), std::string::npos) << out;
  EXPECT_NE(out.find(U8(u8"佐藤商事")), std::string::npos) << out;
}

TEST_F(VelorProgramTest, AnOutputPathTooLongForTheEditIsRefusedNotCut) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  std::string out;
  // 259 bytes: cut to 255, ".csv" would go and another file be written.
  ASSERT_LT(root_.size(), 200u);
  const std::string name = std::string(259 - root_.size() - 4, 'n') + ".csv";
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user sato --yes --no-viewer --output " + T(name), &out), 1)
      << out;
  EXPECT_NE(out.find("too long"), std::string::npos) << out;
  EXPECT_FALSE(NativeExists(tmp_.Native(name)));
  EXPECT_FALSE(NativeExists(tmp_.Native(name.substr(0, 255 - root_.size()))));
  EXPECT_FALSE(NativeExists(tmp_.Native("syurui.SSC")));
}

TEST_F(VelorProgramTest, AMalformedDriveMapEntryIsRefusedAtStart) {
  if (!HasDriveMap()) GTEST_SKIP() << "no drive map on this platform";
  std::string out;
  for (const char* map : {"Z:=/;garbage", "Z:=/;T:=/tmp;t:=/var"}) {
    ScopedEnv drives("VELOR_DRIVES", map);
    EXPECT_EQ(RunVelor("--db /nowhere.sqlite --user sato --output " + T("a.csv"), &out), 1) << map;
    EXPECT_NE(out.find("VELOR_DRIVES entry"), std::string::npos) << out;
  }
}

// A path on a drive the map lacks is taken, and its folder cannot be made
// (the message box stays the system's); the standard error says why, once.
TEST_F(VelorProgramTest, ADriveOutsideTheMapIsNamedWithTheDrivesOfTheMap) {
  if (!HasDriveMap()) GTEST_SKIP() << "no drive map on this platform";
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  std::string out;
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user sato --yes --no-viewer --output 'Q:\\out\\a.csv'",
                     &out),
            1)
      << out;
  EXPECT_NE(out.find(U8(u8"フォルダの作成に失敗しました。")), std::string::npos) << out;
  EXPECT_NE(out.find("Q:\\out\\a.csv lies on a drive or share that the drive map VELOR_DRIVES does not hold"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("T:"), std::string::npos) << out;
}

TEST_F(VelorProgramTest, DiagnosticsGiveStatusThree) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  std::string out;
  // Under Windows the log would go to Notepad itself, which no test starts.
  const std::string viewer = TextViewerIsNotepad() ? " --no-viewer" : "";
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user aoki --output " + T("b.csv") + viewer, &out), 3) << out;
  EXPECT_FALSE(ReadFileBytes(tmp_.Native("VelrixSysErr.txt")).empty());
  if (TextViewerIsNotepad()) return;
  // No desktop and no viewer command: the log's text is printed.
  EXPECT_NE(out.find(U8(u8"＜ERROR＞")), std::string::npos) << out;
}

TEST_F(VelorProgramTest, RefusalsAndBadCommandLines) {
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  std::string out;
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user sato --output " + T("*.csv"), &out), 1);
  EXPECT_NE(out.find(U8(u8"不正な文字")), std::string::npos) << out;
  EXPECT_EQ(RunVelor("--db " + tmp_.Native("none.sqlite") + " --user sato --output " + T("a.csv"), &out), 1);
  EXPECT_FALSE(out.empty());  // the host says why
  if (HasDriveMap()) {
    // A native path outside every drive of the map.
    ScopedEnv only_t("VELOR_DRIVES", "T:=" + tmp_.path() + ";Z:=" + tmp_.Native("z"));
    EXPECT_EQ(RunVelor("--output /nowhere-mapped/a.csv", &out), 2) << out;
    EXPECT_NE(out.find("VELOR_DRIVES"), std::string::npos) << out;
  }
  EXPECT_EQ(RunVelor("--frobnicate", &out), 2);
  EXPECT_EQ(RunVelor("--output " + T("\xF0\x9F\x98\x80.csv"), &out), 2) << out;  // no code page 932 form
  EXPECT_EQ(RunVelor("--ui desktop --output " + T("a.csv"), &out), 2);
  EXPECT_EQ(RunVelor("--help", &out), 0);
  EXPECT_NE(out.find("--no-viewer"), std::string::npos);
  EXPECT_NE(out.find("--report FILE"), std::string::npos);
}

// A copy of the program without its installed-products file beside it: the
// system's refusal, and the file that was looked for on the standard error.
TEST_F(VelorProgramTest, AMissingInstalledProductsFileIsNamed) {
  if (!HasDriveMap()) GTEST_SKIP() << "the program's own path is a Windows path there";
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  MakeNativeFolders(tmp_.Native("bare"));
  std::string out;
  ASSERT_EQ(RunShellCommand("cp " + ShellQuote(VELOR_PROGRAM) + " " + ShellQuote(tmp_.Native("bare/velor")), &out), 0)
      << out;
  EXPECT_EQ(RunShellCommand(ShellQuote(tmp_.Native("bare/velor")) + " --db " + store.path() +
                                " --user sato --output " + T("a.csv"),
                            &out),
            1);
  EXPECT_NE(out.find(U8(u8"動作環境が不正です。")), std::string::npos) << out;
  EXPECT_NE(out.find("the installed-products file " + root_ + "bare\\OrbelleDef.ini is not there"),
            std::string::npos)
      << out;
}

TEST_F(VelorProgramTest, AReportBesideTheSummaryLine) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  std::string out;
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user aoki --no-viewer --output " + T("b.csv") + " --report=" +
                         tmp_.Native("r.json"),
                     &out),
            3)
      << out;
  EXPECT_NE(out.find("velor: 8 assets read, 8 data rows (0 breakdown rows), 6 asset kinds, "
                     "1 warnings, 4 errors"),
            std::string::npos)
      << out;
  EXPECT_NE(ReadFileBytes(tmp_.Native("r.json")).find("\"asset_code\": \"51\""), std::string::npos);
  // A report that cannot be put in place fails the run.
  EXPECT_EQ(RunVelor("--db " + store.path() + " --user aoki --yes --no-viewer --output " + T("b.csv") + " "
                     "--report " + tmp_.Native("missing/r.json"),
                     &out),
            1)
      << out;
  EXPECT_NE(out.find(tmp_.Native("missing/r.json")), std::string::npos) << out;
}

// The program's own messages follow the locale; the system's texts do not.
TEST_F(VelorProgramTest, MessagesInTheLanguageOfTheLocale) {
  ScopedEnv all("LC_ALL", ""), messages("LC_MESSAGES", ""), language("LANGUAGE", "");
  RemoveEnvValue("LC_ALL");
  RemoveEnvValue("LC_MESSAGES");
  RemoveEnvValue("LANGUAGE");
  LedgerStore store(kSmallLedger, u8"sato");
  ASSERT_TRUE(store.ok()) << store.error();
  const std::string db = "--db " + store.path();
  const struct {
    std::string args;
    int status;
    std::string english, japanese;
  } cases[] = {
      {"--frobnicate", 2, "unknown option --frobnicate", U8(u8"不明なオプションです: --frobnicate")},
      {db + " --user suzuki --output " + T("a.csv"), 1, "is not in the host store",
       U8(u8"ユーザー「suzuki」はホストストア")},
      {"--db " + tmp_.Native("none.sqlite") + " --user sato", 1, "no host store at",
       U8(u8"にホストストアがありません")},
      {"--help", 0, "usage: velor", U8(u8"使い方: velor")},
  };
  for (const char* lang : {"C", "ja_JP.UTF-8"}) {
    ScopedEnv locale("LANG", lang);
    bool japanese = std::string(lang) == "ja_JP.UTF-8";
    for (const auto& c : cases) {
      std::string out;
      EXPECT_EQ(RunVelor(c.args, &out), c.status) << lang << " " << c.args;
      EXPECT_NE(out.find(japanese ? c.japanese : c.english), std::string::npos) << lang << "\n" << out;
    }
    // A refused path: the message box is the system's own, in any locale.
    std::string out;
    EXPECT_EQ(RunVelor(db + " --user sato --output " + T("*.csv"), &out), 1);
    EXPECT_NE(out.find(U8(u8"データの出力先に不正な文字が含まれています。")), std::string::npos) << out;
  }
}

TEST(VelorOptionsTest, Parses) {
  VelorOptions o;
  std::string error;
  ASSERT_TRUE(ParseVelorOptions({"--db", "x.sqlite", "--user=u", "--output", "C:\\a.csv", "--yes",
                                 "--no-viewer", "--ui", "console", "--report", "r.json"},
                                &o, &error))
      << error;
  EXPECT_EQ(o.db, "x.sqlite");
  EXPECT_EQ(o.user, "u");
  EXPECT_EQ(o.output, "C:\\a.csv");
  EXPECT_TRUE(o.has_output && o.yes && o.no_viewer);
  EXPECT_EQ(o.ui, VelorOptions::kUiConsole);
  EXPECT_TRUE(o.has_report);
  EXPECT_EQ(o.report, "r.json");
  for (const auto& bad : std::vector<std::vector<std::string>>{
           {"--db"}, {"--user="}, {"--ui", "web"}, {"--yes", "--yes"}, {"stray"}, {"--x"}}) {
    VelorOptions p;
    EXPECT_FALSE(ParseVelorOptions(bad, &p, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
