#include "ClCSVEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "allocation_count.h"
#include "faultfs.h"
#include "hostrecords.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

// The engine's writer with its record formats open to the tests.
class TestableCSVEdit : public ClCSVEdit {
 public:
  using ClCSVEdit::m_clInfo;
};

const char kAssetPath[] = "C:\\data\\out\\assets.csv";

// Drive C: maps to a temporary folder holding data\out.
class CSVEditTest : public ::testing::Test {
 protected:
  CSVEditTest() {
    drives_.Add("C:", dir_.path());
    MakeNativeFolders(dir_.Native("data/out"));
  }
  std::string Native(const char* name) const { return dir_.Native(std::string("data/out/") + name); }
  std::string Bytes(const char* name) const { return ReadFileBytes(Native(name)); }

  // The log's bytes after writing entry through WriteLog.
  std::string LogOf(const char* entry) {
    TestableCSVEdit edit;
    EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
    EXPECT_EQ(edit.WriteLog(entry), 1);
    edit.CommitOutput(TRUE);
    return Bytes("VelrixSysErr.txt");
  }

  TempDir dir_;
  TestDrives drives_;
};

TEST_F(CSVEditTest, OpensTheThreeFilesBesideTheAssetFile) {
  WriteFileBytes(Native("VelrixSysErr.txt"), "old entries");
  WriteFileBytes(Native("assets.csv"), "old rows");
  TestableCSVEdit edit;
  ASSERT_EQ(edit.BeginOutput(kAssetPath), 1);
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, kAssetPath), 1);
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_KIND, kAssetPath), 1);
  EXPECT_EQ(edit.OpenOutput(static_cast<ClCSVEdit::OutputFile>(3), kAssetPath), 1);
  for (int f = 0; f < 3; ++f) EXPECT_EQ(edit.CloseOutput(static_cast<ClCSVEdit::OutputFile>(f)), 1);
  EXPECT_EQ(edit.CloseOutput(static_cast<ClCSVEdit::OutputFile>(-1)), 1);
  // Until the commit the files are written beside the final names.
  EXPECT_EQ(Bytes("assets.csv"), "old rows");
  EXPECT_EQ(Bytes("VelrixSysErr.txt"), "old entries");
  EXPECT_EQ(edit.CommitOutput(TRUE), 1);
  for (const char* name : {"assets.csv", "syurui.SSC"}) {
    EXPECT_TRUE(NativeExists(Native(name))) << name;
    EXPECT_EQ(Bytes(name), "") << name;
  }
  // An empty log is no log.
  EXPECT_FALSE(NativeExists(Native("VelrixSysErr.txt")));
  for (int f = 0; f < 3; ++f) EXPECT_FALSE(edit.HasFileFailed(static_cast<ClCSVEdit::OutputFile>(f)));
  EXPECT_EQ(FolderEntryNames(dir_.Native("data/out")),
            (std::vector<std::string>{"assets.csv", "syurui.SSC"}));
}

// A folder prepared ahead holds the folder's lock until the export that
// takes it over commits; one given up unused leaves the folder as it was.
TEST_F(CSVEditTest, APreparedFolderIsLockedUntilItsCommitAndLeftCleanUnused) {
  const std::string out = dir_.Native("data/out");
  std::unique_ptr<FsLock> other;
  {
    ClCSVEdit::PreparedOutput unused(kAssetPath);
    EXPECT_EQ(FolderEntryNames(out).size(), 1u);  // the list of its names
    EXPECT_EQ(FsError::kBusy, Fs::System()->LockFolder(out, 0, &other));
  }
  EXPECT_TRUE(FolderEntryNames(out).empty());
  auto prepared = std::make_unique<ClCSVEdit::PreparedOutput>(kAssetPath);
  TestableCSVEdit edit;
  ASSERT_EQ(edit.BeginOutput(prepared.get()), 1);
  prepared.reset();
  EXPECT_EQ(FsError::kBusy, Fs::System()->LockFolder(out, 0, &other));
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, kAssetPath), 1);
  EXPECT_EQ(edit.CommitOutput(TRUE), 1);
  EXPECT_EQ(FsError::kNone, Fs::System()->LockFolder(out, 0, &other));
  EXPECT_EQ(FolderEntryNames(out), std::vector<std::string>{"assets.csv"});
}

TEST_F(CSVEditTest, WritingRowsAllocatesNothing) {
  TestableCSVEdit edit;
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, kAssetPath), 1);
  StDATAINFO data{};
  data.lTermStart = 20250401;
  data.lTermEnd = 20260331;
  StKOTEINENINFO year{};
  year.cyComputedDepreciation.int64 = 1107000000;
  year.cySpecialDepreciation.int64 = 50000000;
  StKOTEISHISANINFO asset{};
  std::strcpy(asset.szAssetName, "複合機");
  std::strcpy(asset.szQuantity, "1,200.5台");
  std::strcpy(asset.szMemo, "本社の三階にある営業部の複合機とその付属品一式");
  asset.lKindCode = 5;
  asset.nMethod = 1;
  asset.nUsefulLife = 5;
  asset.lRate = 369;
  asset.lAcquiredDate = 20060510;
  asset.lServiceDate = 20070601;
  asset.cyAcquisitionCost.int64 = 4800007500;
  asset.cyLimit.int64 = 240000000;
  asset.bLimitByAmount = 1;
  asset.bMonthsEntered = 1;
  asset.nMonthCount = 6;
  asset.nMonthDivisor = 1;
  asset.nDisposalKind = 4;
  StIKKATSUINFO line{};
  std::strcpy(line.szBreakdownNo, "1");
  std::strcpy(line.szBreakdownName, "机");
  line.lBreakdownQuantity = 250;
  // The first row sets up the code register; twenty more codes fit it as is.
  std::strcpy(asset.szAssetCode, "A0");
  ASSERT_EQ(edit.WriteAssetRow(&asset, &year, nullptr, nullptr, &data), 1);
  const long before = AllocationCount();
  for (int i = 1; i <= 20; ++i) {
    asset.szAssetCode[1] = static_cast<char>('A' + i);
    asset.nMethod = i % 5 == 0 ? 4 : static_cast<int16_t>(1 + i % 8);
    ASSERT_EQ(edit.WriteAssetRow(&asset, &year, nullptr, &line, &data), 1);
  }
  EXPECT_EQ(AllocationCount(), before);
  EXPECT_EQ(edit.CommitOutput(TRUE), 1);
  // Every row reached the file: one plain row per asset, and one breakdown
  // row per lump-sum asset.
  const std::string rows = Bytes("assets.csv");
  EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 21);
}

TEST_F(CSVEditTest, CloseOfAFileNeverOpened) {
  TestableCSVEdit edit;
  EXPECT_EQ(edit.CloseOutput(ClCSVEdit::OF_KIND), 1);
  EXPECT_FALSE(edit.HasFileFailed(ClCSVEdit::OF_KIND));
}

TEST_F(CSVEditTest, FailedOpensAreRecorded) {
  TestableCSVEdit edit;
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, "C:\\missing\\assets.csv"), 0);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_ASSET));
  // No folder part: the log is refused rather than made the asset file's peer
  // in some folder; the asset file itself opens where the path leads.
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, "assets.csv"), 0);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_LOG));
  // A log that would be the asset file is not opened, so the asset stays.
  WriteFileBytes(Native("VelrixSysErr.txt"), "asset rows");
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_KIND, "C:\\data\\out\\VelrixSysErr.txt"), 1);
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, "C:\\data\\out\\VelrixSysErr.txt"), 0);
  EXPECT_EQ(Bytes("VelrixSysErr.txt"), "asset rows");
  // A path over 260 bytes is not cut to another file's name.
  std::string longPath = "C:\\data\\out\\" + std::string(249, 'a');
  EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, longPath.c_str()), 0);
  EXPECT_FALSE(NativeExists(Native(std::string(248, 'a').c_str())));
}

TEST_F(CSVEditTest, FailedWritesShowAtClose) {
  FaultFs faults(Fs::Default());
  faults.FailNth(FsOp::kWrite, 1, FsError::kDiskFull, ".tmp");  // the file, not its list
  ScopedFs scoped(&faults);
  TestableCSVEdit edit;
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, "C:\\data\\out\\full.csv"), 1);
  StDATAINFO data = {};
  edit.WritePreamble(&data);
  EXPECT_FALSE(edit.HasFileFailed(ClCSVEdit::OF_ASSET));
  EXPECT_EQ(edit.CloseOutput(ClCSVEdit::OF_ASSET), 1);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_ASSET));
}

TEST_F(CSVEditTest, AWriteThatFailedShowsAtOnce) {
  // The walk stops on the first failed write; it must not wait for the close.
  FaultFs faults(Fs::Default());
  faults.FailNth(FsOp::kWrite, 1, FsError::kDiskFull, ".tmp");  // the file, not its list
  ScopedFs scoped(&faults);
  TestableCSVEdit edit;
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, "C:\\data\\out\\full.csv"), 1);
  StDATAINFO data = {};
  for (int i = 0; i < 2000 && !edit.HasFileFailed(ClCSVEdit::OF_ASSET); ++i) edit.WritePreamble(&data);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_ASSET));
  edit.CloseOutput(ClCSVEdit::OF_ASSET);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_ASSET));
  EXPECT_EQ(edit.GetFailureCause(ClCSVEdit::OF_ASSET), FsError::kDiskFull);
}

TEST_F(CSVEditTest, MarkedFilesCountAsFailedUntilOpenedAgain) {
  TestableCSVEdit edit;
  EXPECT_FALSE(edit.HasFileFailed(ClCSVEdit::OF_KIND));
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_KIND, "C:\\data\\out\\a.csv"), 1);
  edit.MarkFailed(ClCSVEdit::OF_KIND);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_KIND));
  edit.CloseOutput(ClCSVEdit::OF_KIND);
  EXPECT_TRUE(edit.HasFileFailed(ClCSVEdit::OF_KIND));
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_KIND, "C:\\data\\out\\a.csv"), 1);
  EXPECT_FALSE(edit.HasFileFailed(ClCSVEdit::OF_KIND));
  edit.MarkFailed(static_cast<ClCSVEdit::OutputFile>(7));  // another value: nothing
}

TEST_F(CSVEditTest, LogEntryLayout) {
  const char* entry =
      "\n＜WARNING＞\n連携可能な最大内訳件数は99件です。\n100件目から後の内訳は出力されません。";
  std::string log = LogOf(entry);
  EXPECT_EQ(log, std::string(entry) + "\r\n");
  EXPECT_EQ(log.substr(0, 3), "\n\x81\x83");  // LF, then the full-width ＜
  EXPECT_EQ(std::count(log.begin(), log.end(), '\r'), 1);
  EXPECT_EQ(LogOf(""), "\r\n");
}

TEST_F(CSVEditTest, LogEntriesAreCutAtWholeCharacters) {
  EXPECT_EQ(LogOf(std::string(200, 'x').c_str()), std::string(152, 'x') + "\r\n");
  EXPECT_EQ(LogOf(std::string(152, 'x').c_str()), std::string(152, 'x') + "\r\n");
  // LF and 80 double-byte characters: the one on bytes 152 and 153 goes.
  std::string wide = "\n";
  for (int i = 0; i < 80; ++i) wide += "漢";
  EXPECT_EQ(LogOf(wide.c_str()), wide.substr(0, 151) + "\r\n");
  // A lone lead byte at the end of an entry is no character to keep whole.
  std::string lead = std::string(151, 'x') + "\x81";
  EXPECT_EQ(LogOf((lead + "\x81\x81").c_str()), std::string(151, 'x') + "\r\n");
}

TEST(CheckCodeChars, Modes) {
  TestableCSVEdit edit;
  EXPECT_EQ(edit.CheckCodeChars(3, "A1b2"), 1);
  EXPECT_EQ(edit.CheckCodeChars(3, "00-1"), 0);
  EXPECT_EQ(edit.CheckCodeChars(3, "A漢"), 0);
  EXPECT_EQ(edit.CheckCodeChars(3, "ｱ"), 0);  // single-byte katakana
  EXPECT_EQ(edit.CheckCodeChars(3, ""), 1);
  EXPECT_EQ(edit.CheckCodeChars(2, "AbZz"), 1);
  EXPECT_EQ(edit.CheckCodeChars(2, "A1"), 0);
  EXPECT_EQ(edit.CheckCodeChars(0, "漢-"), 1);
}

TEST(RegisterCode, GoesThroughTheRegister) {
  TestableCSVEdit edit;
  EXPECT_EQ(edit.RegisterCode("000123"), 0);
  EXPECT_EQ(edit.RegisterCode("000123"), 1);
  EXPECT_EQ(edit.RegisterCode("00012301"), 2);
}

TEST_F(CSVEditTest, AmountText) {
  TestableCSVEdit edit;
  char buffer[ClCSVEdit::kAmountTextSize];
  auto amountText = [&](int64_t value) { return edit.AmountText(value, 25, buffer); };
  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
  EXPECT_STREQ(amountText(999999999990000LL), "99999999999");
  EXPECT_STREQ(amountText(-99999999990000LL), "-9999999999");
  EXPECT_STREQ(amountText(-12345678), "-1234");
  EXPECT_STREQ(amountText(-5000), "0");
  EXPECT_STREQ(amountText(5000), "0");
  EXPECT_STREQ(amountText(0), "");
  edit.CommitOutput(TRUE);
  EXPECT_EQ(Bytes("VelrixSysErr.txt"), "");

  ASSERT_EQ(edit.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
  EXPECT_STREQ(amountText(999999999990001LL), "************");
  EXPECT_STREQ(amountText(-99999999990001LL), "************");
  EXPECT_STREQ(amountText(INT64_MIN), "************");
  edit.CommitOutput(TRUE);
  EXPECT_EQ(Bytes("VelrixSysErr.txt"),
            "\n＜ERROR＞\n金額｢99999999999｣は、連携可能最大桁数をオーバーしています。\r\n"
            "\n＜ERROR＞\n金額｢-9999999999｣は、連携可能最大桁数をオーバーしています。\r\n"
            "\n＜ERROR＞\n金額｢-922337203685477｣は、連携可能最大桁数をオーバーしています。\r\n");
}

// Quantity (item 15, currency) and unit (item 16) of the data record after
// SetQuantity(text).
struct Quantity {
  int64_t value;
  std::string unit;
};

class SetQuantityTest : public CSVEditTest {
 protected:
  Quantity Of(const char* text) {
    edit_.m_clInfo.Clear();
    EXPECT_EQ(edit_.SetQuantity(text), 1);
    Quantity q;
    std::memcpy(&q.value, edit_.m_clInfo.Slot(15), sizeof q.value);
    q.unit = edit_.m_clInfo.Slot(16);
    return q;
  }
  TestableCSVEdit edit_;
};

TEST_F(SetQuantityTest, NumberAndUnit) {
  ASSERT_EQ(edit_.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
  Quantity q = Of("10台");
  EXPECT_EQ(q.value, 100000);
  EXPECT_EQ(q.unit, "台");
  q = Of("1,234.5台");
  EXPECT_EQ(q.value, 12345000);
  EXPECT_EQ(q.unit, "台");
  q = Of("台");
  EXPECT_EQ(q.value, 0);
  EXPECT_EQ(q.unit, "台");
  q = Of("3");
  EXPECT_EQ(q.value, 30000);
  EXPECT_EQ(q.unit, "");
  // Of three characters the unit keeps the last two; the first stays in the
  // number text, which reads 5.
  q = Of("5個入箱");
  EXPECT_EQ(q.value, 50000);
  EXPECT_EQ(q.unit, "入箱");
  q = Of("2 kgs");
  EXPECT_EQ(q.value, 20000);
  EXPECT_EQ(q.unit, " kgs");
  q = Of("");
  EXPECT_EQ(q.value, 0);
  EXPECT_EQ(q.unit, "");
  EXPECT_EQ(Of("-1.255").value, -12600);
  EXPECT_EQ(Of("0x1").value, 0);
  EXPECT_EQ(Of("0x1").unit, "");  // the x is no unit: it is followed by a digit
  EXPECT_EQ(Of("1e2").value, 1000000);
  EXPECT_EQ(Of("inf").value, 0);
  EXPECT_EQ(Of("nan").value, 0);
  edit_.CommitOutput(TRUE);
  EXPECT_EQ(Bytes("VelrixSysErr.txt"), "");
}

TEST_F(SetQuantityTest, LargeQuantities) {
  ASSERT_EQ(edit_.OpenOutput(ClCSVEdit::OF_LOG, kAssetPath), 1);
  EXPECT_EQ(Of("1000000").value, 10000000000LL);
  EXPECT_EQ(Of("999999.99").value, 10000000000LL);  // single precision
  EXPECT_EQ(Of("999999").value, 9999990000LL);
  EXPECT_EQ(Of("-5000000").value, -50000000000LL);
  edit_.CommitOutput(TRUE);
  const char* warning =
      "｣は、連携可能最大桁数をオーバーしています。\n"
      "減価償却データが、正しく連携されない可能性があります。\r\n";
  EXPECT_EQ(Bytes("VelrixSysErr.txt"), std::string("\n＜WARNING＞\n数量｢1000000.00") + warning +
                                           "\n＜WARNING＞\n数量｢1000000.00" + warning);
  // A quantity beyond the decimal type's range is its overflow failure.
  EXPECT_THROW(Of("1e20"), int);
  EXPECT_THROW(Of("1e999"), int);
}

}  // namespace
