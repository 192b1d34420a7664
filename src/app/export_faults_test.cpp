// Whole runs of the application object with file-system faults injected: a
// failed file is never reported as success, the previous export stays as it
// was, and no temporary file is left.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include <map>
#include <string>
#include <vector>

#include "ClAccConnect.h"
#include "ClControlVelor.h"
#include "ClConditionEntry.h"
#include "exportreport.h"
#include "faultfs.h"
#include "filecause.h"
#include "filecommit.h"
#include "hostcodes.h"
#include "hostsession.h"
#include "ledger_store.h"
#include "memory_store.h"
#include "nativeos.h"
#include "scripted_frontend.h"
#include "tempdir.h"
#include "testdrives.h"
#include "winproc.h"
#include "messagebox.h"

namespace {

using Folder = std::map<std::string, std::string>;  // name -> bytes

// The names of folder and their sizes, for a failure's message.
std::string Names(const Folder& folder) {
  std::string names;
  for (const auto& [name, bytes] : folder) names += name + " (" + std::to_string(bytes.size()) + ") ";
  return names;
}

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

class ExportFaultsTest : public ::testing::Test {
 protected:
  ExportFaultsTest()
      : viewer_("VELOR_VIEWER", "") {
    drives_.Add("T:", tmp_.path());
    SetTextViewerEnabled(false);
    MakeNativeFolders(tmp_.Native("out"));
  }

  // The previous export: files the next run must replace or leave alone.
  void WritePrevious() {
    WriteFileBytes(tmp_.Native("out/a.csv"), "previous asset rows\r\n");
    WriteFileBytes(tmp_.Native("out/syurui.SSC"), "previous kinds\r\n");
    WriteFileBytes(tmp_.Native("out/VelrixSysErr.txt"), "previous entries\r\n");
  }

  Folder Out() const {
    Folder files;
    for (const std::string& name : FolderEntryNames(tmp_.Native("out"))) {
      files[name] = ReadFileBytes(tmp_.Native("out/" + name));
    }
    return files;
  }

  // One run exporting to T:\out\a.csv; the text of its last message box.
  // at_export (when given) runs as the export begins, after the dialog.
  std::string Export(ClControlVelor::RunOutcome* outcome, std::function<void()> at_export = nullptr) {
    ScriptedFrontEnd fe;
    ClControlVelor app;
    if (at_export) fe.OnExportStart(at_export);
    fe.Type(IDC_OUTPUT_PATH, "T:\\out\\a.csv");
    fe.Answer(IDYES);
    fe.Click(IDC_EXECUTE);
    app.InitInstance();
    app.ExitInstance();
    *outcome = app.GetOutcome();
    return fe.boxes().empty() ? std::string() : fe.boxes().back().text;
  }
  // Export from ledger (held in memory) for its user u.
  std::string ExportFrom(std::shared_ptr<MemoryLedger> ledger, ClControlVelor::RunOutcome* outcome) {
    ClAccConnect::Inst()->Release();
    std::string message;
    EXPECT_EQ(HostSession::Adopt(std::make_unique<MemoryHostStore>(ledger), "u", &message), 0) << message;
    return Export(outcome);
  }
  // Export with faults as the file system in use.
  std::string ExportUnder(FaultFs* faults, ClControlVelor::RunOutcome* outcome) {
    ScopedFs scoped(faults);
    return Export(outcome);
  }

  TempDir tmp_;
  TestDrives drives_;
  ScopedEnv viewer_;
};

// The demo ledger's user aoki has diagnostics entries: all three files are
// written.
TEST_F(ExportFaultsTest, EveryFaultAtEveryFileKeepsThePreviousExport) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  const std::string out = "/out/";  // in the paths of the files of T:\out
  const FsOp ops[] = {FsOp::kOpen, FsOp::kWrite, FsOp::kSync, FsOp::kClose,
                      FsOp::kRename, FsOp::kLock};
  const FsError errors[] = {FsError::kDiskFull, FsError::kIoError, FsError::kAccessDenied};
  int struck = 0;
  for (FsOp op : ops) {
    for (FsError error : errors) {
      for (int nth = 1; nth <= 8; ++nth) {
        WritePrevious();
        const Folder previous = Out();
        // The calls of the export itself: the dialog's look at the folder
        // before it (the company of the files there) reads, and a failed
        // read only makes it say nothing.
        FaultFs faults(Fs::Default());
        ClControlVelor::RunOutcome outcome;
        std::string text;
        {
          ScopedFs scoped(&faults);
          text = Export(&outcome, [&] { faults.FailNth(op, nth, error, out, 3); });
        }
        SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " error " +
                     std::to_string(static_cast<int>(error)) + " call " + std::to_string(nth));
        if (faults.Struck() == 0) {
          // The fault lay beyond the calls of the run: a complete export.
          EXPECT_EQ(outcome, ClControlVelor::kOutcomeDiagnostics);
          EXPECT_EQ(Out().size(), 3u);
          EXPECT_NE(Out()["a.csv"], previous.at("a.csv"));
          continue;
        }
        ++struck;
        EXPECT_EQ(outcome, ClControlVelor::kOutcomeStopped);
        EXPECT_EQ(text.find("終了しました"), std::string::npos) << text;
        EXPECT_NE(text.find("出力に失敗しました"), std::string::npos) << text;
        EXPECT_NE(text.find(FileFailureCause(error)), std::string::npos) << text;
        EXPECT_TRUE(Out() == previous) << Names(Out());
      }
    }
  }
  EXPECT_GT(struck, 60);
}

TEST_F(ExportFaultsTest, ACrashAnywhereLeavesThePreviousExportAndTheNextRunCleansUp) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  ClControlVelor::RunOutcome outcome;
  Export(&outcome);
  ASSERT_EQ(outcome, ClControlVelor::kOutcomeDiagnostics);
  const Folder fresh = Out();
  // The files are written in this order: asset file, log, kind file.
  const uint64_t asset = fresh.at("a.csv").size(), log = fresh.at("VelrixSysErr.txt").size();
  const uint64_t kind = fresh.at("syurui.SSC").size();
  const uint64_t points[] = {0,          asset / 2,        asset - 1,
                             asset,      asset + log / 2,  asset + log - 1,
                             asset + log, asset + log + kind / 2, asset + log + kind - 1};
  for (uint64_t point : points) {
    SCOPED_TRACE("crash after " + std::to_string(point) + " bytes");
    WritePrevious();
    const Folder previous = Out();
    FaultFs faults(Fs::Default());
    faults.CrashAfterBytes(point);
    {
      ScopedFs scoped(&faults);
      Export(&outcome);
    }
    EXPECT_TRUE(faults.Crashed());
    // What a power loss then leaves: the previous files, and perhaps
    // temporaries.
    faults.LoseUnsynced();
    Folder left = Out();
    for (const auto& [name, bytes] : previous) EXPECT_TRUE(left[name] == bytes) << name;
    Export(&outcome);
    EXPECT_EQ(outcome, ClControlVelor::kOutcomeDiagnostics);
    EXPECT_TRUE(Out() == fresh) << Names(Out());
  }
}

// A run killed at any rename, removal or flush of the commit step, and the
// machine then losing what was not flushed: the clean-up of the next run
// puts back one whole export, the previous one when the commit had not
// finished, and no file of the other. An export that reported success
// survives such a loss right after it.
TEST_F(ExportFaultsTest, ACrashAtAnyStepOfTheCommitLeavesOneWholeExport) {
  // aoki's export keeps its log; yamada's has none, so the previous log goes.
  for (const char* user : {"aoki", "yamada"}) {
    SCOPED_TRACE(user);
    LedgerStore store(ReadDemoLedger(), user);
    ASSERT_TRUE(store.ok()) << store.error();
    const auto clear = [&] {
      for (const char* name : {"a.csv", "syurui.SSC", "VelrixSysErr.txt"}) {
        Fs::Default()->Remove(tmp_.Native(std::string("out/") + name));  // may be missing
      }
    };
    clear();
    ClControlVelor::RunOutcome outcome;
    Export(&outcome);
    const Folder fresh = Out();
    int restored = 0, finished = 0;
    // The renames, removals and flushes in the folder, and the writes of
    // the program's files there (killed then, the journal is incomplete and
    // nothing moved).
    const std::pair<FsOp, std::string> steps[] = {{FsOp::kRename, "/out"},
                                                  {FsOp::kRemove, "/out"},
                                                  {FsOp::kSync, "/out"},
                                                  {FsOp::kWrite, "/out/~vel"}};
    // Over a previous export (each final name gets a backup) and into an
    // empty folder (none does).
    // How many of the folder changes not yet flushed the medium kept, in
    // the order they were made: none, all, or some.
    enum Kept { kNone, kAll, kSome };
    for (bool over_previous : {true, false}) {
      for (Kept kept : {kNone, kAll, kSome}) {
        for (const auto& [op, where] : steps) {
          for (int nth = 1;; ++nth) {
            SCOPED_TRACE("crash at call " + std::to_string(nth) + " of op " +
                         std::to_string(static_cast<int>(op)) + ", changes kept " +
                         std::to_string(kept) +
                         (over_previous ? ", over the previous export" : ", into an empty folder"));
            clear();
            if (over_previous) WritePrevious();
            const Folder previous = Out();
            FaultFs faults(Fs::Default());
            faults.CrashAtNth(op, nth, where);
            {
              ScopedFs scoped(&faults);
              Export(&outcome);
            }
            const bool crashed = faults.Crashed();
            const size_t unflushed = faults.Unflushed();
            faults.LoseUnsynced(kept == kNone  ? 0
                                : kept == kAll ? unflushed
                                               : static_cast<size_t>(nth) % (unflushed + 1));
            {
              std::unique_ptr<FsLock> lock;
              ASSERT_EQ(FsError::kNone, Fs::System()->LockFolder(tmp_.Native("out"), 0, &lock));
              RemoveStaleTemps("T:\\out\\a.csv");
            }
            const Folder cleaned = Out();
            if (!crashed) {
              EXPECT_EQ(outcome, user == std::string("aoki") ? ClControlVelor::kOutcomeDiagnostics
                                                             : ClControlVelor::kOutcomeDone);
              EXPECT_TRUE(cleaned == fresh) << Names(cleaned);
              break;
            }
            EXPECT_TRUE(cleaned == previous || cleaned == fresh) << Names(cleaned);
            // Every rename comes before the commit is final.
            if (op == FsOp::kRename || op == FsOp::kWrite) {
              EXPECT_TRUE(cleaned == previous) << Names(cleaned);
            }
            restored += cleaned == previous;
            finished += cleaned == fresh;
            Export(&outcome);
            EXPECT_TRUE(Out() == fresh) << Names(Out());
          }
        }
      }
    }
    EXPECT_GE(restored, 7);
    EXPECT_GE(finished, 1);
  }
}

// Every rename of a.csv after its move to a backup name fails: the run puts
// the previous file back by a copy before it ends, and leaves no backup.
// When the copy cannot be made either, the message says where the previous
// file lies, and the next export brings it back from its journal.
TEST_F(ExportFaultsTest, APreviousFileIsPutBackOrNamedWithItsPlace) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  for (bool copies : {true, false}) {
    SCOPED_TRACE(copies ? "the copy back works" : "the copy back fails");
    WritePrevious();
    const Folder previous = Out();
    FaultFs faults(Fs::Default());
    for (int nth = 2; nth <= 40; ++nth) faults.FailNth(FsOp::kRename, nth, FsError::kIoError, "a.csv");
    for (int nth = 1; !copies && nth <= 40; ++nth) {
      faults.FailNth(FsOp::kOpen, nth, FsError::kIoError, "out/a.csv");
    }
    ClControlVelor::RunOutcome outcome;
    std::string text = ExportUnder(&faults, &outcome);
    EXPECT_GE(faults.Struck(), 2);
    EXPECT_EQ(outcome, ClControlVelor::kOutcomeStopped);
    EXPECT_NE(text.find("出力に失敗しました"), std::string::npos) << text;
    const bool named = text.find("前回のファイル T:\\out\\a.csv は、T:\\out\\~vel") != std::string::npos &&
                       text.find("に移されたままです") != std::string::npos;
    EXPECT_EQ(named, !copies) << text;
    if (!copies) {
      std::unique_ptr<FsLock> lock;
      ASSERT_EQ(FsError::kNone, Fs::System()->LockFolder(tmp_.Native("out"), 0, &lock));
      RemoveStaleTemps("T:\\out\\a.csv");
    }
    EXPECT_TRUE(Out() == previous) << Names(Out());
  }
}

// A backup that cannot be removed after a good commit: the export counts as
// it is, and the report names the file that stays.
TEST_F(ExportFaultsTest, ABackupLeftAfterAGoodCommitIsNamedAndTheOutcomeStays) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  WritePrevious();
  FaultFs faults(Fs::Default());
  faults.FailNth(FsOp::kRemove, 1, FsError::kAccessDenied, ".bak");
  ScriptedFrontEnd fe;
  ClControlVelor app;
  fe.Type(IDC_OUTPUT_PATH, "T:\\out\\a.csv");
  fe.Answer(IDYES);
  fe.Click(IDC_EXECUTE);
  {
    ScopedFs scoped(&faults);
    app.InitInstance();
    app.ExitInstance();
  }
  EXPECT_EQ(faults.Struck(), 1);
  EXPECT_EQ(app.GetOutcome(), ClControlVelor::kOutcomeDiagnostics);
  ASSERT_NE(app.GetReport(), nullptr);
  const std::string report = app.GetReport()->ToJson();
  size_t left = report.find("\"left_files\": [\n    \"T:\\\\out\\\\~vel");
  EXPECT_NE(left, std::string::npos) << report;
  // The record of the commit names it: the next export removes it.
  ClControlVelor::RunOutcome outcome;
  Export(&outcome);
  EXPECT_EQ(Out().size(), 3u) << Names(Out());
}

// A file of the user's that merely has a name like the program's
// temporary files is no left-over: the next export leaves it alone.
TEST_F(ExportFaultsTest, TheCleanUpLeavesTheUsersFilesOfTheTemporaryPattern) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  for (const char* name : {"~vel12345678.tmp", "~velABCDEF01.bak", "~vel00000001.jnl"}) {
    WriteFileBytes(tmp_.Native(std::string("out/") + name), "the user's");
  }
  ClControlVelor::RunOutcome outcome;
  Export(&outcome);
  ASSERT_EQ(outcome, ClControlVelor::kOutcomeDiagnostics);
  const Folder out = Out();
  EXPECT_EQ(out.size(), 6u) << Names(out);
  for (const char* name : {"~vel12345678.tmp", "~velABCDEF01.bak", "~vel00000001.jnl"}) {
    EXPECT_TRUE(out.count(name) == 1 && out.at(name) == "the user's") << name;
  }
}

TEST_F(ExportFaultsTest, ASymlinkAtAFinalNameIsReplacedNotFollowed) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  WriteFileBytes(tmp_.Native("outside/target"), "not to be touched");
  for (const char* name : {"a.csv", "syurui.SSC", "VelrixSysErr.txt"}) {
    if (!MakeSymlink(tmp_.Native("outside/target"), tmp_.Native(std::string("out/") + name))) {
      GTEST_SKIP() << "no symbolic links can be made here";
    }
  }
  ClControlVelor::RunOutcome outcome;
  Export(&outcome);
  EXPECT_EQ(outcome, ClControlVelor::kOutcomeDiagnostics);
  EXPECT_EQ(ReadFileBytes(tmp_.Native("outside/target")), "not to be touched");
  for (const char* name : {"a.csv", "syurui.SSC", "VelrixSysErr.txt"}) {
    EXPECT_FALSE(IsSymlink(tmp_.Native(std::string("out/") + name))) << name;
  }
}

TEST_F(ExportFaultsTest, AnotherExportInTheFolderIsWaitedForThenRefused) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  WritePrevious();
  std::unique_ptr<FsLock> other;
  ASSERT_EQ(FsError::kNone, Fs::System()->LockFolder(tmp_.Native("out"), 0, &other));
  // Taken after the lock, which under Windows is a file in the folder.
  const Folder previous = Out();
  ClControlVelor::RunOutcome outcome;
  std::string text = Export(&outcome);
  EXPECT_EQ(outcome, ClControlVelor::kOutcomeStopped);
  EXPECT_NE(text.find(FileFailureCause(FsError::kBusy)), std::string::npos) << text;
  EXPECT_TRUE(Out() == previous) << Names(Out());
}

TEST_F(ExportFaultsTest, AFailedSaveOfTheSettingsFileIsAFailureAndKeepsTheExport) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  const std::string settings = store.dir().Native("settings/Velorant.env");
  // The path the messages name, read while the store is connected (a run
  // disconnects it at its end).
  char settings_path[kPathBufferSize] = {};
  ASSERT_TRUE(ClConditionEntry::GetSettingsFilePath(settings_path));
  EXPECT_NE(std::string(settings_path), "Velorant.env");
  ClControlVelor::RunOutcome outcome;
  Export(&outcome);
  ASSERT_EQ(outcome, ClControlVelor::kOutcomeDiagnostics);
  const Folder fresh = Out();
  // Every file call of the save in the settings folder fails in turn, each
  // with each error: the save fails with its cause and leaves the file as it
  // was, or (a fault in the clean-up of left-overs) goes through whole.
  const std::string folder = store.dir().Native("settings");
  const FsOp ops[] = {FsOp::kOpen,   FsOp::kRead,   FsOp::kWrite, FsOp::kSync,
                      FsOp::kClose,  FsOp::kRename, FsOp::kRemove, FsOp::kLock,
                      FsOp::kStat,   FsOp::kList,   FsOp::kFolder};
  const FsError errors[] = {FsError::kDiskFull, FsError::kIoError, FsError::kAccessDenied,
                            FsError::kBusy};
  int failed = 0;
  for (FsOp op : ops) {
    for (FsError error : errors) {
      for (int nth = 1;; ++nth) {
        SCOPED_TRACE("op " + std::to_string(static_cast<int>(op)) + " call " + std::to_string(nth) +
                     " error " + std::to_string(static_cast<int>(error)));
        WriteFileBytes(settings, "other/1:C:\\x.csv\n");
        WritePrevious();
        FaultFs faults(Fs::Default());
        std::string text;
        {
          ScopedFs scoped(&faults);
          // Only the save's calls: the dialog read the file before.
          text = Export(&outcome, [&] { faults.FailNth(op, nth, error, "/settings"); });
        }
        if (faults.Struck() == 0) break;
        // The export itself was put in place either way.
        EXPECT_TRUE(Out() == fresh) << Names(Out());
        const std::string saved = ReadFileBytes(settings);
        if (outcome == ClControlVelor::kOutcomeDiagnostics) {
          EXPECT_EQ(saved.rfind("other/1:C:\\x.csv\n", 0), 0u) << saved;
          EXPECT_NE(saved.find(":T:\\out\\a.csv\n"), std::string::npos) << saved;
        } else {
          ++failed;
          EXPECT_EQ(outcome, ClControlVelor::kOutcomeStopped);
          EXPECT_EQ(text.find("終了しました"), std::string::npos) << text;
          EXPECT_NE(text.find("設定ファイルに保存できませんでした"), std::string::npos) << text;
          EXPECT_NE(text.find(settings_path), std::string::npos) << text;
          EXPECT_NE(text.find(SettingsFailureCause(error)), std::string::npos) << text;
          // A flush of the folder that fails after the rename leaves the new
          // file, which may not survive a power loss: the save counts as failed.
          if (op != FsOp::kSync || saved.find(":T:\\out\\a.csv\n") == std::string::npos) {
            EXPECT_EQ(saved, "other/1:C:\\x.csv\n");
          }
        }
        // Nothing but the program's own left-overs, which the next save
        // clears.
        for (const std::string& name : FolderEntryNames(folder)) {
          EXPECT_TRUE(name == "Velorant.env" || IsOwnFileName(name)) << name;
        }
        Export(&outcome);
        EXPECT_EQ(FolderEntryNames(folder), std::vector<std::string>{"Velorant.env"});
      }
    }
  }
  EXPECT_GT(failed, 60);
}

TEST_F(ExportFaultsTest, AFailedExportNamesAFailedSaveToo) {
  LedgerStore store(ReadDemoLedger(), "aoki");
  ASSERT_TRUE(store.ok()) << store.error();
  WritePrevious();
  const Folder previous = Out();
  FaultFs faults(Fs::Default());
  faults.FailNth(FsOp::kWrite, 1, FsError::kDiskFull, "/out/");
  faults.FailNth(FsOp::kOpen, 1, FsError::kAccessDenied, "settings/~vel");
  ClControlVelor::RunOutcome outcome;
  std::string text = ExportUnder(&faults, &outcome);
  EXPECT_EQ(faults.Struck(), 2);
  EXPECT_EQ(outcome, ClControlVelor::kOutcomeStopped);
  EXPECT_NE(text.find("出力に失敗しました"), std::string::npos) << text;
  EXPECT_NE(text.find(FileFailureCause(FsError::kDiskFull)), std::string::npos) << text;
  EXPECT_NE(text.find(SettingsFailureCause(FsError::kAccessDenied)), std::string::npos) << text;
  EXPECT_TRUE(Out() == previous) << Names(Out());
}

// A store that fails in the middle of the export (a lost connection, a
// statement timeout, a read error): the export fails naming the store and
// its cause, and the previous files stay as they were.
TEST_F(ExportFaultsTest, AStoreFailingMidwayFailsTheExportWithItsCause) {
  MakeNativeFolders(tmp_.Native("set"));
  ClControlVelor::RunOutcome outcome;
  const std::string first = ExportFrom(TenAssets(), &outcome);
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
    std::string box = ExportFrom(ledger, &outcome);
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
  ClAccConnect::Inst()->Release();
}

}  // namespace
