#include "ClConditionEntry.h"

#include <gtest/gtest.h>

#include <string>

#include "faultfs.h"
#include "scripted_frontend.h"
#include "small_ledger.h"
#include "tempdir.h"
#include "testdrives.h"
#include "filedialog.h"
#include "messagebox.h"

namespace {

const char kM1[] = "データ出力先が指定されていません。\n\n出力先を指定してください。";
const char kM2[] = "データの出力先に不正な文字が含まれています。\n\n出力先を再入力してください。";
const char kM3[] = "ドライブ名が有効でありません。\n\n有効なドライブを指定してください。";
const char kM4[] = "ファイル名が指定されていません。";
const char kM5[] = "指定されたフォルダは存在しません。\n\n作成してもよろしいですか？";
const char kM6[] = "フォルダの作成に失敗しました。\n\n出力先を再入力してください。";
const char kM7[] = "同名のファイルが存在します。\n\n上書きしてもよろしいですか？";
const char kCancel[] = "｢減価償却｣の集計を中止します。";
const char kCaption[] = "減価償却";

// A dialog with drive T: on a temporary folder (R: removable, Q: a CD-ROM,
// M: a RAM disk) and a share \\srv\share, and no host connection: the host's
// default folder is empty, so the temporary folder (T:\tmp, as POSIX finds it
// through TMPDIR and Windows through TMP) is offered.
class ConditionEntryTest : public ::testing::Test {
 protected:
  ConditionEntryTest() : tmpdir_("TMPDIR", tmp_.Native("tmp")), windows_tmp_("TMP", "T:\\tmp") {
    drives_.Add("T:", tmp_.path());
    drives_.Add("R:", tmp_.path(), DRIVE_REMOVABLE);
    drives_.Add("Q:", tmp_.path(), DRIVE_CDROM);
    drives_.Add("M:", tmp_.path(), DRIVE_RAMDISK);
    drives_.Add("\\\\srv\\share", tmp_.Native("share"), DRIVE_REMOTE);
    WriteFileBytes(tmp_.Native("share/dir/keep"), "");
    WriteFileBytes(tmp_.Native("tmp/keep"), "");
  }

  // Runs the dialog over the queued script; returns its end code.
  int Run() { return static_cast<int>(dlg_.DoModal()); }

  // Types path into the edit and clicks execute.
  void Execute(const std::string& path) {
    fe_.Type(IDC_OUTPUT_PATH, path);
    fe_.Click(IDC_EXECUTE);
  }

  // Checks, at this point of the script, that the last box was text and
  // that the dialog shows the path edit focused with all of it selected.
  void ExpectRefusedWith(const char* text) {
    fe_.Inspect([this, text](CDialog& dlg) {
      ASSERT_FALSE(fe_.boxes().empty());
      EXPECT_EQ(fe_.boxes().back().text, text);
      EXPECT_EQ(fe_.boxes().back().caption, kCaption);
      EXPECT_EQ(fe_.boxes().back().owner, dlg.GetSafeHwnd());
      ExpectPathSelected(dlg);
    });
  }

  static void ExpectPathSelected(CDialog& dlg) {
    EXPECT_FALSE(dlg.IsEnded());
    EXPECT_EQ(dlg.FocusId(), IDC_OUTPUT_PATH);
    const ControlState* edit = dlg.Control(IDC_OUTPUT_PATH);
    EXPECT_EQ(edit->sel_start, 0);
    EXPECT_EQ(edit->sel_end, static_cast<int>(edit->text.size()));
    EXPECT_TRUE(edit->caret_scrolled);
  }

  TempDir tmp_;
  TestDrives drives_;
  ScopedEnv tmpdir_, windows_tmp_;
  ScriptedFrontEnd fe_;
  ClConditionEntry dlg_;
};

TEST_F(ConditionEntryTest, OffersTheTemporaryFolderPatternAndRefusesIt) {
  fe_.Inspect([](CDialog& dlg) {
    EXPECT_EQ(dlg.Control(IDC_OUTPUT_PATH)->text, "T:\\tmp\\*.csv");
    EXPECT_EQ(dlg.Control(IDC_OUTPUT_PATH)->limit, 255u);
    EXPECT_EQ(dlg.FocusId(), IDC_OUTPUT_PATH);
  });
  fe_.Click(IDC_EXECUTE);
  ExpectRefusedWith(kM2);
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_TRUE(fe_.ran_out());
}

TEST_F(ConditionEntryTest, RefusalsLeaveThePathSelected) {
  Execute("");
  ExpectRefusedWith(kM1);
  Execute("T:\\a\\\\b.csv");
  ExpectRefusedWith(kM2);
  Execute("T:\\a.csv|");
  ExpectRefusedWith(kM2);
  Execute("1:\\a.csv");
  ExpectRefusedWith(kM3);
  Execute("T:\\tmp\\");
  ExpectRefusedWith(kM4);
  Execute("T:\\tmp");  // an existing folder
  ExpectRefusedWith(kM4);
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_EQ(fe_.unanswered(), 0);
}

TEST_F(ConditionEntryTest, DriveTypesDecide) {
  Execute("Q:\\a.csv");
  ExpectRefusedWith(kM3);
  Execute("M:\\a.csv");
  ExpectRefusedWith(kM3);
  Execute("R:\\a.csv");  // removable and writable
  EXPECT_EQ(Run(), IDC_EXECUTE);
}

TEST_F(ConditionEntryTest, ADriveWithoutRootPassesTheDriveCheck) {
  // K: is not mapped: the drive check lets it pass, the missing folder is
  // asked about next.
  Execute("K:\\a.csv");
  fe_.Inspect([this](CDialog&) { EXPECT_EQ(fe_.boxes().back().text, kM5); });
  EXPECT_EQ(Run(), IDC_CANCEL);
}

TEST_F(ConditionEntryTest, NetworkPaths) {
  Execute("\\\\srv\\share");  // ends right after the share name
  ExpectRefusedWith(kM3);
  Execute("\\\\other\\share\\dir\\a.csv");  // unreachable share
  ExpectRefusedWith(kM3);
  Execute("\\\\srv\\share\\dir\\a.csv");
  EXPECT_EQ(Run(), IDC_EXECUTE);
  EXPECT_EQ(dlg_.m_strOutputPath.str(), "\\\\srv\\share\\dir\\a.csv");
}

TEST_F(ConditionEntryTest, OneQuestionCreatesBothMissingLevels) {
  Execute("T:\\a\\b\\out.csv");
  fe_.Answer(IDYES);
  EXPECT_EQ(Run(), IDC_EXECUTE);
  ASSERT_EQ(fe_.boxes().size(), 1u);
  EXPECT_EQ(fe_.boxes()[0].text, kM5);
  EXPECT_EQ(fe_.boxes()[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_TRUE(NativeExists(tmp_.Native("a/b")));
  EXPECT_FALSE(NativeExists(tmp_.Native("a/b/out.csv")));
}

TEST_F(ConditionEntryTest, NoToTheFolderQuestionRefusesSilently) {
  Execute("T:\\a\\b\\out.csv");
  fe_.Answer(IDNO);
  fe_.Inspect([this](CDialog& dlg) {
    EXPECT_EQ(fe_.boxes().size(), 1u);
    ExpectPathSelected(dlg);
  });
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_FALSE(NativeExists(tmp_.Native("a")));
}

TEST_F(ConditionEntryTest, AFailedLevelRemovesTheLevelsCreatedBefore) {
  // The second level cannot be created (access denied).
  FaultFs faults;
  faults.FailNth(FsOp::kFolder, 1, FsError::kAccessDenied, "level2");
  ScopedFs scoped(&faults);
  Execute("T:\\new\\level2\\out.csv");
  fe_.Answer(IDYES);
  ExpectRefusedWith(kM6);
  // A file holding the name of a level.
  WriteFileBytes(tmp_.Native("blocker"), "x");
  Execute("T:\\blocker\\sub\\out.csv");
  fe_.Answer(IDYES);
  ExpectRefusedWith(kM6);
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_EQ(faults.Struck(), 1);
  EXPECT_FALSE(NativeExists(tmp_.Native("new")));
  EXPECT_EQ(ReadFileBytes(tmp_.Native("blocker")), "x");
  EXPECT_TRUE(NativeExists(tmp_.Native("tmp/keep")));
}

TEST_F(ConditionEntryTest, AnExistingFileIsReplacedOnlyAfterYes) {
  WriteFileBytes(tmp_.Native("old.csv"), "old");
  Execute("T:\\old.csv");
  fe_.Answer(IDNO);
  fe_.Inspect([this](CDialog& dlg) {
    ASSERT_EQ(fe_.boxes().size(), 1u);
    EXPECT_EQ(fe_.boxes()[0].text, kM7);
    ExpectPathSelected(dlg);
  });
  fe_.Click(IDC_EXECUTE);
  fe_.Answer(IDYES);
  EXPECT_EQ(Run(), IDC_EXECUTE);
  EXPECT_EQ(fe_.boxes().size(), 2u);
  EXPECT_EQ(ReadFileBytes(tmp_.Native("old.csv")), "old");
}

TEST_F(ConditionEntryTest, NamesOfTheFilesWrittenBesideAreRefused) {
  const char kReserved[] =
      "ファイル名にVelrixSysErr.txtとsyurui.SSCは使用できません。\n\n出力先を再入力してください。";
  Execute("T:\\VELRIXSYSERR.TXT");
  ExpectRefusedWith(kReserved);
  Execute("T:\\sub\\Syurui.ssc");
  ExpectRefusedWith(kReserved);
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_FALSE(NativeExists(tmp_.Native("sub")));  // refused before asking
}

// Names that no export may take: devices of Windows (as a file or a
// folder) and the program's own temporary files, which the next export's
// clean-up would take for its own. Refused before any folder is made.
TEST_F(ConditionEntryTest, DeviceNamesAndTheProgramsOwnNamesAreRefused) {
  const char kDevice[] =
      "ファイル名またはフォルダ名にデバイス名(CON、PRN、AUX、NUL、COM1～9、LPT1～9など)は"
      "使用できません。\n\n出力先を再入力してください。";
  const char kOwn[] =
      "ファイル名に｢~vel｣で始まる一時ファイルの名前は使用できません。\n\n出力先を再入力してください。";
  Execute("T:\\new\\con.csv");
  ExpectRefusedWith(kDevice);
  Execute("T:\\LPT1\\a.csv");
  ExpectRefusedWith(kDevice);
  Execute("T:\\new\\~vel12345678.tmp");
  ExpectRefusedWith(kOwn);
  Execute("T:\\new\\~VEL0000ABCD.BAK");
  ExpectRefusedWith(kOwn);
  Execute("T:\\new\\a\tb.csv");
  ExpectRefusedWith(kM2);
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_FALSE(NativeExists(tmp_.Native("new")));
  EXPECT_FALSE(NativeExists(tmp_.Native("LPT1")));
}

TEST_F(ConditionEntryTest, APathWithoutFolderOrTooLongForTheLogIsRefused) {
  Execute("T:a.csv");
  ExpectRefusedWith("出力先のフォルダが指定されていません。\n\n出力先を再入力してください。");
  // A folder of 249 bytes: the asset file fits, the log beside it would not.
  Execute("T:\\" + std::string(245, 'd') + "\\" + "a.csv");
  ExpectRefusedWith("データの出力先が長すぎます。\n\n出力先を再入力してください。");
  EXPECT_EQ(Run(), IDC_CANCEL);
}

TEST_F(ConditionEntryTest, ARefusedCharacterRightAfterTheColonIsLeftToLaterSteps) {
  Execute("T:*\\a.csv");
  fe_.Inspect([this](CDialog&) { EXPECT_NE(fe_.boxes().back().text, kM2); });
  EXPECT_EQ(Run(), IDC_CANCEL);
}

TEST_F(ConditionEntryTest, DoubleByteTrailBackslashIsNoFolderBoundary) {
  // 表 and ソ end in the byte 0x5C.
  Execute("T:\\表\\ソ.csv");
  fe_.Answer(IDYES);
  EXPECT_EQ(Run(), IDC_EXECUTE);
  EXPECT_EQ(fe_.boxes().size(), 1u);
  EXPECT_TRUE(NativeExists(tmp_.Native(U8(u8"表"))));
}

TEST_F(ConditionEntryTest, EnterInTheEditMovesToBrowseAndNeverExecutes) {
  fe_.Type(IDC_OUTPUT_PATH, "T:\\tmp\\a.csv");
  fe_.Key(IDC_OUTPUT_PATH, VK_RETURN);
  fe_.Inspect([this](CDialog& dlg) {
    EXPECT_FALSE(dlg.IsEnded());
    EXPECT_EQ(dlg.FocusId(), IDC_BROWSE);
    EXPECT_TRUE(fe_.boxes().empty());
    EXPECT_TRUE(fe_.choosers().empty());
  });
  fe_.Key(0, VK_RETURN);  // now on browse: the chooser
  fe_.Inspect([this](CDialog& dlg) {
    EXPECT_EQ(fe_.choosers().size(), 1u);
    EXPECT_EQ(dlg.FocusId(), IDC_EXECUTE);
  });
  fe_.Key(0, VK_RETURN);  // now on execute
  EXPECT_EQ(Run(), IDC_EXECUTE);
}

TEST_F(ConditionEntryTest, EnterInTheEditGoesToExecuteWhenBrowseIsDisabled) {
  fe_.Inspect([](CDialog& dlg) { dlg.GetDlgItem(IDC_BROWSE)->EnableWindow(FALSE); });
  fe_.Key(IDC_OUTPUT_PATH, VK_RETURN);
  fe_.Inspect([](CDialog& dlg) { EXPECT_EQ(dlg.FocusId(), IDC_EXECUTE); });
  EXPECT_EQ(Run(), IDC_CANCEL);
}

TEST_F(ConditionEntryTest, F12ExecutesUnlessAModifierIsHeld) {
  fe_.Type(IDC_OUTPUT_PATH, "T:\\tmp\\a.csv");
  fe_.Key(IDC_OUTPUT_PATH, VK_F12, kModCtrl);
  fe_.Key(IDC_OUTPUT_PATH, VK_RETURN, kModShift);
  fe_.Inspect([this](CDialog& dlg) {
    EXPECT_FALSE(dlg.IsEnded());
    EXPECT_TRUE(fe_.boxes().empty());
    EXPECT_EQ(dlg.FocusId(), IDC_OUTPUT_PATH);
  });
  fe_.Key(IDC_BROWSE, VK_F12);
  EXPECT_EQ(Run(), IDC_EXECUTE);
}

TEST_F(ConditionEntryTest, EveryWayOfCancellingShowsTheMessageFirst) {
  for (int way = 0; way < 4; ++way) {
    ScriptedFrontEnd fe;
    ClConditionEntry dlg;
    if (way == 0) fe.Key(IDC_OUTPUT_PATH, VK_ESCAPE);
    if (way == 1) fe.Click(IDC_CANCEL);
    if (way == 2) fe.Close();
    if (way == 3) fe.Key(IDC_CANCEL, VK_RETURN);
    EXPECT_EQ(dlg.DoModal(), IDC_CANCEL) << way;
    ASSERT_EQ(fe.boxes().size(), 1u) << way;
    EXPECT_EQ(fe.boxes()[0].text, kCancel);
    EXPECT_EQ(fe.boxes()[0].type, MB_ICONINFORMATION);
    EXPECT_FALSE(fe.ran_out());
  }
}

TEST_F(ConditionEntryTest, PastResultsDataIsRefusedBeforeTheUserCanAct) {
  dlg_.m_nPastResults = 1;
  fe_.Click(IDC_EXECUTE);
  EXPECT_EQ(Run(), IDC_CANCEL);
  EXPECT_EQ(fe_.dialogs_run(), 0);
  ASSERT_EQ(fe_.boxes().size(), 1u);
  EXPECT_EQ(fe_.boxes()[0].text,
            "過去実績データは、連携の対象として使用できません。\n\nアプリケーションを終了します。");
  EXPECT_EQ(fe_.boxes()[0].type, MB_ICONEXCLAMATION);
}

TEST_F(ConditionEntryTest, BrowseOffersThePathAndTakesTheChoice) {
  fe_.Type(IDC_OUTPUT_PATH, "T:\\tmp\\out.csv");
  fe_.CancelNext();
  fe_.Click(IDC_BROWSE);
  fe_.Inspect([](CDialog& dlg) {
    EXPECT_EQ(dlg.Control(IDC_OUTPUT_PATH)->text, "T:\\tmp\\out.csv");
    EXPECT_EQ(dlg.FocusId(), IDC_EXECUTE);
  });
  fe_.Type(IDC_OUTPUT_PATH, "T:abc.csv");
  fe_.ChooseNext("T:\\tmp\\chosen.csv");
  fe_.Click(IDC_BROWSE);
  fe_.Inspect([](CDialog& dlg) {
    EXPECT_EQ(dlg.Control(IDC_OUTPUT_PATH)->text, "T:\\tmp\\chosen.csv");
    EXPECT_EQ(dlg.FocusId(), IDC_EXECUTE);
  });
  EXPECT_EQ(Run(), IDC_CANCEL);
  ASSERT_EQ(fe_.choosers().size(), 2u);
  const FileChooserRequest& first = fe_.choosers()[0];
  EXPECT_TRUE(first.save_form);
  EXPECT_EQ(first.initial_dir, "T:\\tmp\\");
  EXPECT_EQ(first.file_name, "out.csv");
  EXPECT_EQ(first.default_ext, "CSV");
  EXPECT_EQ(first.filter, "CSV Files (*.csv)|*.csv||");
  EXPECT_EQ(first.title, "保存ファイルを指定");
  EXPECT_EQ(first.flags, OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
  EXPECT_NE(first.owner, nullptr);
  // Without a backslash the colon splits folder and name.
  EXPECT_EQ(fe_.choosers()[1].initial_dir, "T:");
  EXPECT_EQ(fe_.choosers()[1].file_name, "abc.csv");
}

}  // namespace
