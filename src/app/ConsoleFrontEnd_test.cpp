#include "ConsoleFrontEnd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "ClConditionEntry.h"
#include "pseudoterminal.h"
#include "small_ledger.h"
#include "tempdir.h"
#include "testdrives.h"
#include "messagebox.h"

namespace {

// A console front end reading from a given text and writing to two files
// that the test reads back.
class ConsoleTest : public ::testing::Test {
 protected:
  void Start(const std::string& input, bool interactive, bool yes = false) {
    WriteFileBytes(tmp_.Native("in"), input);
    in_ = std::fopen(tmp_.Native("in").c_str(), "rb");
    out_ = std::fopen(tmp_.Native("out").c_str(), "wb");
    err_ = std::fopen(tmp_.Native("err").c_str(), "wb");
    fe_ = new ConsoleFrontEnd(in_, out_, err_, interactive, yes);
    current_ = new ScopedFrontEnd(fe_);
  }
  ConsoleTest() { drives_.Add("T:", tmp_.path()); }
  ~ConsoleTest() override {
    delete current_;
    delete fe_;
    for (FILE* f : {in_, out_, err_}) {
      if (f != nullptr) std::fclose(f);
    }
  }
  std::string Out() {
    std::fflush(out_);
    return ReadFileBytes(tmp_.Native("out"));
  }
  std::string Err() {
    std::fflush(err_);
    return ReadFileBytes(tmp_.Native("err"));
  }

  TempDir tmp_;
  TestDrives drives_;
  FILE *in_ = nullptr, *out_ = nullptr, *err_ = nullptr;
  ConsoleFrontEnd* fe_ = nullptr;
  ScopedFrontEnd* current_ = nullptr;
};

TEST_F(ConsoleTest, ProgressOnlyOnATerminal) {
  Start("", false);
  EXPECT_TRUE(fe_->ShowProgress(64, 100, 1000));
  fe_->EndProgress();
  EXPECT_EQ(Err(), "");
  EXPECT_EQ(Out(), "");

  // On a terminal: one line overwritten in place, erased at the end.
  PseudoTerminal pty;
  if (!pty.ok()) GTEST_SKIP() << "no pseudo-terminal on this system";
  {
    ConsoleFrontEnd console(in_, out_, pty.terminal(), false, false);
    EXPECT_TRUE(console.ShowProgress(64, 100, 1000));
    EXPECT_TRUE(console.ShowProgress(100, 100, 1200));
    console.EndProgress();
  }
  EXPECT_EQ(pty.CloseAndRead(),
            "\rvelor: 64 of 100 assets (1000 a second)\x1b[K"
            "\rvelor: 100 of 100 assets (1200 a second)\x1b[K\r\x1b[K");

  // On a narrow terminal the line stays within one line (a wrapped line
  // would be left behind by every "\r").
  for (int columns : {40, 12}) {
    PseudoTerminal narrow;
    ASSERT_TRUE(narrow.SetColumns(columns));
    {
      ConsoleFrontEnd console(in_, out_, narrow.terminal(), false, false);
      EXPECT_TRUE(console.ShowProgress(123456, 1000000, 98765));
      console.EndProgress();
    }
    EXPECT_EQ(narrow.CloseAndRead(), columns == 40 ? "\r123456/1000000 (98765/s)\x1b[K\r\x1b[K"
                                                   : "\r123456/1000\x1b[K\r\x1b[K");
  }
}

TEST_F(ConsoleTest, InformationGoesToOutputTheRestToErrors) {
  Start("", false);
  EXPECT_EQ(MessageBoxA(nullptr, "完了", "減価償却", MB_ICONINFORMATION), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "不正", "減価償却", MB_ICONEXCLAMATION), IDOK);
  EXPECT_EQ(Out(), U8(u8"[減価償却]\n完了\n"));
  EXPECT_EQ(Err(), U8(u8"[減価償却]\n不正\n"));
}

TEST_F(ConsoleTest, QuestionsWithoutTerminalTakeTheFixedAnswer) {
  Start("y\n", false);
  EXPECT_EQ(MessageBoxA(nullptr, "?", "c", MB_YESNO | MB_ICONQUESTION), IDNO);
  ConsoleFrontEnd yes(in_, out_, err_, false, true);
  ScopedFrontEnd current(&yes);
  EXPECT_EQ(MessageBoxA(nullptr, "?", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(Err(), "[c]\n?\n(y/n) n\n[c]\n?\n(y/n) y\n");
}

TEST_F(ConsoleTest, QuestionsOnATerminalWaitForYOrN) {
  Start("maybe\nY\nn\n", true);
  EXPECT_EQ(MessageBoxA(nullptr, "?", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "?", "c", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "?", "c", MB_YESNO | MB_ICONQUESTION), IDNO);  // end of input
}

TEST_F(ConsoleTest, TheDialogAsksAgainAfterARefusalAndCancelsAtTheEnd) {
  Start("T:\\a*.csv\r\n\n", true);
  ClConditionEntry dlg;
  dlg.m_strCompany = " 山田";
  dlg.m_strPeriod = " 2025/04/01～2026/03/31";
  EXPECT_EQ(dlg.DoModal(), IDC_CANCEL);
  std::string out = Out();
  EXPECT_NE(out.find(U8(u8"減価償却 - 集計条件\n  事業所名： 山田\n  会計期間： 2025/04/01～2026/03/31\n")),
            std::string::npos)
      << out;
  // The refused path is offered again, then kept by the empty answer.
  EXPECT_NE(out.find(U8(u8"出力先 [T:\\a*.csv]: ")), std::string::npos) << out;
  EXPECT_NE(out.find(U8(u8"｢減価償却｣の集計を中止します。")), std::string::npos);
  EXPECT_EQ(dlg.m_strOutputPath.str(), "T:\\a*.csv");
  // Refused for each of the two answers.
  std::string err = Err(), refusal = U8(u8"不正な文字");
  size_t first = err.find(refusal);
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(err.find(refusal, first + 1), std::string::npos);
}

TEST_F(ConsoleTest, ATypedPathTooLongForTheEditIsRefusedAndTheOldOneKept) {
  const std::string long_path = "T:\\" + std::string(253, 'p') + ".csv";  // 260 bytes
  Start(long_path + "\n\n", true);
  ClConditionEntry dlg;
  EXPECT_EQ(dlg.DoModal(), IDC_CANCEL);
  EXPECT_NE(Err().find("260 bytes long in code page 932, too long; at most 255 fit"), std::string::npos)
      << Err();
  // The cut path (".c" gone) was never executed nor offered.
  EXPECT_EQ(Out().find(std::string(253, 'p')), std::string::npos) << Out();
  EXPECT_NE(dlg.m_strOutputPath.str().size(), 255u);
}

TEST_F(ConsoleTest, WithoutTerminalTheOfferedPathRunsOnce) {
  ScopedEnv tmpdir("TMPDIR", tmp_.path());
  Start("", false);
  ClConditionEntry dlg;
  EXPECT_EQ(dlg.DoModal(), IDC_CANCEL);  // the offered pattern is refused
  EXPECT_NE(Err().find(U8(u8"不正な文字")), std::string::npos);
  EXPECT_EQ(Out().find(U8(u8"中止")), std::string::npos);  // no cancellation message
}

TEST_F(ConsoleTest, APresetPathIsExecutedOnce) {
  Start("", false);
  PresetPathFrontEnd preset(*fe_, "T:\\new.csv");
  ScopedFrontEnd current(&preset);
  ClConditionEntry dlg;
  EXPECT_EQ(dlg.DoModal(), IDC_EXECUTE);
  EXPECT_EQ(dlg.m_strOutputPath.str(), "T:\\new.csv");
  PresetPathFrontEnd bad(*fe_, "T:\\");
  ScopedFrontEnd current_bad(&bad);
  ClConditionEntry refused;
  EXPECT_EQ(refused.DoModal(), IDC_CANCEL);
}

TEST_F(ConsoleTest, ShowsATextFileInUtf8) {
  Start("", false);
  WriteFileBytes(tmp_.Native("log.txt"), "＜ERROR＞\r\n");
  EXPECT_TRUE(fe_->ShowTextFile(tmp_.Native("log.txt")));
  EXPECT_EQ(Out(), U8(u8"＜ERROR＞\r\n"));
  EXPECT_FALSE(fe_->ShowTextFile(tmp_.Native("missing.txt")));
}

}  // namespace
