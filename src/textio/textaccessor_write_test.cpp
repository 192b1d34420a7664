#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ClMsgMgr.h"
#include "TextFile.h"
#include "allocation_count.h"
#include "faultfs.h"
#include "tempdir.h"
#include "testdrives.h"
#include "textaccessor.h"

namespace {

typedef ClTextAccessor A;

StTAFORMAT Item(const char* name, int32_t width, int32_t decimals, int32_t offset, int32_t size,
                int32_t type) {
  StTAFORMAT f = {};
  std::strncpy(f.szName, name, sizeof f.szName - 1);
  f.lWidth = width;
  f.lDecimals = decimals;
  f.lOffset = offset;
  f.lSize = size;
  f.lType = type;
  return f;
}

// Writes lines through a ClTextFile on a drive mapped to a temporary folder
// and reads back the whole file.
class WriteTest : public ::testing::Test {
 protected:
  WriteTest() {
    drives_.Add("T:", dir_.path());
  }

  // Builds the accessor over formats_ and record_, attached to an open file.
  A& Make(A::_Delimiter delimiter = A::DLM_COMMA, A::_Quote quote = A::QUOTE_NONE) {
    accessor_.reset(new A("G_TEST", formats_.data(), static_cast<long>(formats_.size()), record_));
    EXPECT_EQ(0, file_.Open("T:\\out.csv", ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE));
    EXPECT_EQ(0, file_.Attach(accessor_.get()));
    EXPECT_EQ(0, accessor_->SetMode(delimiter, quote));
    return *accessor_;
  }
  std::string Written() {
    EXPECT_EQ(0, file_.Close());
    return ReadFileBytes(dir_.Native("out.csv"));
  }
  void Text(int32_t offset, const char* text) { std::strcpy(reinterpret_cast<char*>(record_) + offset, text); }
  template <typename T>
  void Value(int32_t offset, T v) {
    std::memcpy(record_ + offset, &v, sizeof v);
  }

  TempDir dir_;
  TestDrives drives_;
  ClTextFile file_;
  std::vector<StTAFORMAT> formats_;
  unsigned char record_[4096] = {};
  std::unique_ptr<A> accessor_;
};

TEST_F(WriteTest, CommaLineWithEmptyTextAndNumber) {
  formats_ = {Item("a", 10, 0, 0, 11, A::TAT_STRING), Item("b", 10, 0, 11, 11, A::TAT_STRING),
              Item("c", 10, 0, 22, 4, A::TAT_NUMBER)};
  A& a = Make();
  Text(0, "A");
  Value<int32_t>(22, 12);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("A,,12\r\n", Written());
}

TEST_F(WriteTest, QuotesAreWrittenAroundTextAndNeverEscaped) {
  formats_ = {Item("a", 10, 0, 0, 11, A::TAT_STRING), Item("n", 5, 2, 11, 8, A::TAT_NUMBER)};
  A& a = Make(A::DLM_COMMA, A::QUOTE_DOUBLE);
  Text(0, "x\"y,z");
  Value<int64_t>(11, 15000);
  EXPECT_EQ(0, a.Write());
  ASSERT_EQ(0, a.SetMode(A::DLM_TAB, A::QUOTE_SINGLE));
  Text(0, "it's");
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("\"x\"y,z\",1.50\r\n'it's'\t1.50\r\n", Written());
}

TEST_F(WriteTest, TextIsCutToItsWidthInEveryLayout) {
  formats_ = {Item("a", 8, 0, 0, 21, A::TAT_STRING), Item("b", 3, 0, 21, 4, A::TAT_STRING)};
  A& a = Make();
  Text(0, "ABCDEFGHIJKLMNOPQRST");
  Text(21, "xy");
  const A::_Delimiter layouts[] = {A::DLM_COMMA, A::DLM_TAB, A::DLM_SPACE, A::DLM_FIXED};
  for (A::_Delimiter d : layouts) {
    ASSERT_EQ(0, a.SetMode(d, A::QUOTE_NONE));
    EXPECT_EQ(0, a.Write());
  }
  EXPECT_EQ("ABCDEFGH,xy\r\nABCDEFGH\txy\r\nABCDEFGH xy\r\nABCDEFGHxy \r\n", Written());
}

TEST_F(WriteTest, TextWithoutTerminatorStopsAtItsSlot) {
  formats_ = {Item("a", 10, 0, 0, 4, A::TAT_STRING), Item("b", 10, 0, 4, 4, A::TAT_STRING)};
  A& a = Make();
  std::memcpy(record_, "ABCDxyz", 8);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("ABCD,xyz\r\n", Written());
}

// Texts are copied several bytes a step: every length around those steps,
// double-byte characters among them, cut at the width or the slot's end.
TEST_F(WriteTest, TextsOfEveryLengthUpToTheirLimit) {
  formats_ = {Item("w", 16, 0, 0, 20, A::TAT_STRING), Item("s", 30, 0, 20, 17, A::TAT_STRING)};
  A& a = Make();
  std::string expected;
  const std::string letters = "\x82\xa0" "bcdefghijklmnopqrstu";
  for (size_t length = 0; length <= 20; ++length) {
    std::memset(record_, 'x', 37);
    std::string text = letters.substr(0, length);
    std::memcpy(record_, text.c_str(), text.size() + (length < 20 ? 1 : 0));
    std::memcpy(record_ + 20, text.c_str(), length < 17 ? length + 1 : 17);
    EXPECT_EQ(0, a.Write()) << length;
    expected += text.substr(0, 16) + "," + text.substr(0, 17) + "\r\n";
  }
  EXPECT_EQ(expected, Written());
}

TEST_F(WriteTest, MasksBlankOrSpaceAnItemAndStayAcrossLines) {
  formats_ = {Item("a", 3, 0, 0, 4, A::TAT_STRING), Item("b", 3, 0, 4, 4, A::TAT_STRING),
              Item("c", 4, 0, 8, 4, A::TAT_NUMBER)};
  A& a = Make();
  Text(0, "A");
  Text(4, "B");
  Value<int32_t>(8, 5);
  EXPECT_EQ(0, a.SetMask(1, A::TAM_BLANK));
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ(0, a.SetMask(1, A::TAM_SPACE));
  EXPECT_EQ(0, a.SetMask(2, A::TAM_BLANK));
  EXPECT_EQ(0, a.Write());
  ASSERT_EQ(0, a.SetMode(A::DLM_FIXED, A::QUOTE_NONE));
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ(0, a.SetMask(1, A::TAM_SHOW));
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("A,,5\r\nA,,5\r\nA, ,\r\nA         \r\nA  B      \r\n", Written());
}

TEST_F(WriteTest, MaskRangeAndLowByte) {
  formats_.assign(250, Item("n", 4, 0, 0, 1, A::TAT_UNSIGNED));
  A& a = Make();
  EXPECT_EQ(0, a.SetMask(199, 0x102));
  EXPECT_EQ(2, a.GetMask(199));
  EXPECT_EQ(0, a.SetMask(0, 0xFF));
  EXPECT_EQ(255, a.GetMask(0));
  EXPECT_EQ(-1, a.SetMask(-1, 1));
  EXPECT_EQ(-1, a.SetMask(200, 1));
  EXPECT_EQ(-1, a.GetMask(200));
  EXPECT_EQ(-1, a.GetMask(-1));
  EXPECT_EQ(-1, a.SetMask(250, 1));
  EXPECT_EQ(250, a.GetFormatCount());
  // Items beyond the masks are always shown.
  record_[0] = 7;
  EXPECT_EQ(0, a.Write());
  std::string line = Written();
  EXPECT_EQ(std::string(",7,7\r\n"), line.substr(line.size() - 6));
  EXPECT_EQ(0u, line.find(",7,"));  // item 0 masked: empty
}

TEST_F(WriteTest, FixedColumnsPadTextRightAndNumbersLeft) {
  formats_ = {Item("t", 5, 0, 0, 6, A::TAT_STRING), Item("n", 5, 0, 6, 4, A::TAT_NUMBER),
              Item("m", 2, 0, 10, 4, A::TAT_NUMBER), Item("u", 6, 0, 14, 2, A::TAT_UNSIGNED)};
  A& a = Make(A::DLM_FIXED);
  Text(0, "AB");
  Value<int32_t>(6, 7);
  Value<int32_t>(10, -1234);  // longer than its field: written whole
  Value<uint16_t>(14, 65535);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("AB       7-1234 65535\r\n", Written());
}

TEST_F(WriteTest, CurrencyIsTruncatedToItsDecimals) {
  formats_ = {Item("d2", 0, 2, 0, 8, A::TAT_NUMBER), Item("d0", 0, 0, 0, 8, A::TAT_NUMBER),
              Item("d4", 0, 4, 0, 8, A::TAT_NUMBER), Item("p2", 0, 2, 8, 8, A::TAT_NUMBER),
              Item("p3", 0, 3, 16, 8, A::TAT_NUMBER), Item("h0", 0, 0, 24, 8, A::TAT_NUMBER),
              Item("min", 0, 4, 32, 8, A::TAT_NUMBER)};
  A& a = Make();
  Value<int64_t>(0, -1234567);
  Value<int64_t>(8, 1234567);
  Value<int64_t>(16, 5);
  Value<int64_t>(24, -5000);
  Value<int64_t>(32, std::numeric_limits<int64_t>::min());
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("-123.45,-123,-123.4567,123.45,0.000,-0,-922337203685477.5808\r\n", Written());
}

TEST_F(WriteTest, FixedCurrencyAlignsTheIntegerPart) {
  formats_ = {Item("a", 10, 2, 0, 8, A::TAT_NUMBER), Item("b", 6, 0, 0, 8, A::TAT_NUMBER),
              Item("c", 3, 2, 0, 8, A::TAT_NUMBER)};
  A& a = Make(A::DLM_FIXED);
  Value<int64_t>(0, -1234567);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("   -123.45  -123-123.45\r\n", Written());
}

TEST_F(WriteTest, IntegersIgnoreDecimalsAndKeepTheirWidth) {
  formats_ = {Item("s2", 0, 2, 0, 2, A::TAT_NUMBER), Item("s1", 0, 0, 2, 1, A::TAT_NUMBER),
              Item("s4", 0, 0, 3, 4, A::TAT_NUMBER), Item("u1", 0, 0, 7, 1, A::TAT_UNSIGNED),
              Item("u4", 0, 0, 8, 4, A::TAT_UNSIGNED)};
  A& a = Make();
  Value<int16_t>(0, 1234);
  Value<int8_t>(2, -128);
  Value<int32_t>(3, std::numeric_limits<int32_t>::min());
  Value<uint8_t>(7, 255);
  Value<uint32_t>(8, 4294967295u);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("1234,-128,-2147483648,255,4294967295\r\n", Written());
}

TEST_F(WriteTest, Write2LeadsWithEmptyQuotedItems) {
  formats_ = {Item("x", 5, 0, 0, 6, A::TAT_STRING)};
  A& a = Make();
  Text(0, "X");
  EXPECT_EQ(0, a.Write2(2));
  ASSERT_EQ(0, a.SetMode(A::DLM_FIXED, A::QUOTE_NONE));
  EXPECT_EQ(0, a.Write2(1));
  EXPECT_EQ("\"\",\"\",X\r\n\"\",X    \r\n", Written());
}

TEST_F(WriteTest, EmptySequenceWritesOnlyTheLineEnd) {
  A& a = Make();
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ(0, a.ItemNameWrite());
  EXPECT_EQ("\r\n\r\n", Written());
}

TEST_F(WriteTest, FixedModeWithQuoteIsRefusedAndChangesNothing) {
  formats_ = {Item("a", 3, 0, 0, 4, A::TAT_STRING), Item("b", 3, 0, 4, 4, A::TAT_STRING)};
  A& a = Make(A::DLM_COMMA, A::QUOTE_SINGLE);
  Text(0, "A");
  Text(4, "B");
  EXPECT_EQ(-1003, a.SetMode(A::DLM_FIXED, A::QUOTE_DOUBLE));
  EXPECT_EQ(-1003, ClMsgMgr::Inst()->GetLastErrorCode());
  EXPECT_STREQ("textaccessor", ClMsgMgr::Inst()->GetLastErrorSource());
  EXPECT_EQ(112, ClMsgMgr::Inst()->GetLastErrorLine());
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ(0, a.SetMode(A::DLM_SPACE, A::QUOTE_NONE));
  EXPECT_EQ(0, ClMsgMgr::Inst()->GetLastErrorCode());
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("'A','B'\r\nA B\r\n", Written());
}

TEST_F(WriteTest, ItemNamesInDelimitedAndFixedTitleLines) {
  formats_ = {Item("Code", 10, 0, 0, 4, A::TAT_STRING), Item("取得価額", 2, 0, 4, 8, A::TAT_NUMBER),
              Item("Memo", 1, 0, 12, 4, A::TAT_STRING)};
  A& a = Make(A::DLM_COMMA, A::QUOTE_DOUBLE);
  EXPECT_EQ(0, a.ItemNameWrite());
  EXPECT_EQ(0, a.ItemNameWrite2(1));
  ASSERT_EQ(0, a.SetMode(A::DLM_FIXED, A::QUOTE_NONE));
  EXPECT_EQ(0, a.ItemNameWrite());
  EXPECT_EQ(0, a.SetMask(1, A::TAM_BLANK));
  EXPECT_EQ(0, a.ItemNameWrite());
  ASSERT_EQ(0, a.SetMode(A::DLM_COMMA, A::QUOTE_NONE));
  EXPECT_EQ(0, a.SetMask(1, A::TAM_SPACE));
  EXPECT_EQ(0, a.ItemNameWrite());
  std::string name = "取得価額";  // code page 932 bytes
  ASSERT_EQ(8u, name.size());
  EXPECT_EQ("\"Code\",\"" + name + "\",\"Memo\"\r\n" +  //
                "\"\",\"Code\",\"" + name + "\",\"Memo\"\r\n" +  //
                "Code  " + name + "  Memo\r\n" +                 //
                "Code          Memo\r\n" +                       //
                "Code, ,Memo\r\n",
            Written());
}

TEST_F(WriteTest, CommentLinesAreWrittenUnchanged) {
  formats_ = {Item("a", 3, 0, 0, 4, A::TAT_STRING)};
  A& a = Make(A::DLM_COMMA, A::QUOTE_DOUBLE);
  EXPECT_EQ(0, a.CommentWrite("# a,\"b\""));
  EXPECT_EQ(0, a.CommentWrite(""));
  EXPECT_EQ("# a,\"b\"\r\n\r\n", Written());
}

TEST_F(WriteTest, ItemOrderIsFollowedOnlyWithTheSelectFlagOff) {
  formats_ = {Item("a", 3, 0, 0, 4, A::TAT_STRING), Item("b", 3, 0, 4, 4, A::TAT_STRING),
              Item("c", 3, 0, 8, 4, A::TAT_STRING)};
  A& a = Make();
  Text(0, "A");
  Text(4, "B");
  Text(8, "C");
  StTAORDER order[] = {2, 0, 2};
  EXPECT_EQ(0, a.SetOrder(order, 3));
  EXPECT_EQ(0, a.Write());  // the select flag starts on: all items
  a.SetSelectFlag(0);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ(0, a.ItemNameWrite());
  EXPECT_EQ(0, a.SetOrder(order, 0));  // no entries: all items again
  EXPECT_EQ(0, a.Write());
  StTAORDER bad[] = {1, 7};
  EXPECT_EQ(0, a.SetOrder(bad, 2));
  EXPECT_EQ(-1003, a.Write());  // an entry naming no item ends the line at once
  EXPECT_EQ("A,B,C\r\nC,A,C\r\nc,a,c\r\nA,B,C\r\nB,", Written());
}

TEST_F(WriteTest, ItemsOutsideTheModelAreRefused) {
  formats_ = {Item("wide", 1024, 0, 0, 2000, A::TAT_STRING), Item("cy", 10, 5, 0, 8, A::TAT_NUMBER),
              Item("odd", 10, 0, 0, 3, A::TAT_NUMBER), Item("neg", -1, 0, 0, 4, A::TAT_STRING),
              Item("max", 1023, 0, 0, 8, A::TAT_NUMBER), Item("type", 4, 0, 0, 4, 9)};
  A& a = Make(A::DLM_FIXED);
  std::memset(record_, 'x', 1500);
  StTAORDER order[] = {0};
  a.SetSelectFlag(0);
  for (int32_t item = 0; item < 6; ++item) {
    order[0] = item;
    ASSERT_EQ(0, a.SetOrder(order, 1));
    EXPECT_EQ(item == 4 ? 0 : -1, a.Write()) << "item " << item;
  }
  std::memset(record_, 0, 8);
  std::string s = Written();
  EXPECT_EQ(1025u, s.size());  // only the widest accepted item was written
}

TEST_F(WriteTest, WidthsChangedThroughTheFormatCountFromTheNextLine) {
  formats_ = {Item("a", 3, 0, 0, 8, A::TAT_STRING), Item("b", 0, 0, 0, 0, A::TAT_STRING),
              Item("c", 5, 0, 8, 8, A::TAT_STRING)};
  A& a = Make();
  a.SetMask(1, A::TAM_BLANK);
  Text(0, "abcdefg");
  Text(8, "xyz");
  EXPECT_EQ(0, a.Write());
  // A width the accessor refuses, then a narrower one, each set after a line.
  a.GetFormat()[2].lWidth = 1024;
  EXPECT_EQ(-1, a.Write());
  a.GetFormat()[2].lWidth = 2;
  a.GetFormat()[0].lWidth = 5;
  EXPECT_EQ(0, a.Write());
  a.ResetRotate();
  EXPECT_EQ(0, a.Write());
  // The refused line stops before its item, with no line end.
  EXPECT_EQ("abc,,xyz\r\n" "abc,," "abcde,,xy\r\n" "abc,,xyz\r\n", Written());
}

TEST_F(WriteTest, CurrencyFractionsKeepTheirInnerZeros) {
  formats_ = {Item("a", 0, 4, 0, 8, A::TAT_NUMBER), Item("b", 0, 4, 8, 8, A::TAT_NUMBER),
              Item("c", 0, 3, 16, 8, A::TAT_NUMBER), Item("d", 0, 1, 24, 8, A::TAT_NUMBER)};
  A& a = Make();
  Value<int64_t>(0, 10102);
  Value<int64_t>(8, -9990);
  Value<int64_t>(16, 1000009);
  Value<int64_t>(24, 99);
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("1.0102,-0.9990,100.000,0.0\r\n", Written());
}

TEST_F(WriteTest, LinesLongerThanTheLineBufferArriveWhole) {
  // Five items of 600 bytes: the line passes the accessor's buffer several
  // times over, in the middle of items and of their padding.
  for (int32_t i = 0; i < 5; ++i) formats_.push_back(Item("t", 600, 0, i * 601, 601, A::TAT_STRING));
  A& a = Make();
  std::string expected;
  for (int i = 0; i < 5; ++i) {
    std::string text(i == 2 ? 10 : 600, static_cast<char>('a' + i));
    Text(i * 601, text.c_str());
    expected += (i ? "," : "") + text;
  }
  EXPECT_EQ(0, a.Write2(400));
  ASSERT_EQ(0, a.SetMode(A::DLM_FIXED, A::QUOTE_NONE));
  EXPECT_EQ(0, a.Write());
  std::string lead;
  for (int i = 0; i < 400; ++i) lead += "\"\",";
  std::string fixed;
  for (int i = 0; i < 5; ++i) {
    std::string text(i == 2 ? 10 : 600, static_cast<char>('a' + i));
    fixed += text + std::string(600 - text.size(), ' ');
  }
  EXPECT_EQ(lead + expected + "\r\n" + fixed + "\r\n", Written());
}

TEST_F(WriteTest, WritingAllocatesNothing) {
  formats_ = {Item("t", 8, 0, 0, 21, A::TAT_STRING), Item("n", 6, 0, 21, 4, A::TAT_NUMBER),
              Item("c", 12, 2, 25, 8, A::TAT_NUMBER), Item("u", 3, 0, 33, 1, A::TAT_UNSIGNED)};
  A& a = Make();
  Text(0, "減価償却資産");
  Value<int64_t>(25, -1234567);
  a.SetMask(3, A::TAM_SPACE);
  const long before = AllocationCount();
  for (int i = 0; i < 5000; ++i) {
    Value<int32_t>(21, i);
    ASSERT_EQ(0, a.Write());
    ASSERT_EQ(0, a.ItemNameWrite2(1));
    ASSERT_EQ(0, a.CommentWrite("#"));
  }
  ASSERT_EQ(0, a.SetMode(A::DLM_FIXED, A::QUOTE_NONE));
  ASSERT_EQ(0, a.Write());
  EXPECT_EQ(before, AllocationCount());
  EXPECT_EQ(0, file_.Close());
}

TEST(WriteUnattached, WritingWithoutStreamIsRefused) {
  StTAFORMAT f = Item("a", 3, 0, 0, 4, A::TAT_STRING);
  char record[4] = "A";
  A a("G", &f, 1, record);
  EXPECT_EQ(-1, a.Write());
  EXPECT_EQ(-1, a.Write2(1));
  EXPECT_EQ(-1, a.ItemNameWrite());
  EXPECT_EQ(-1, a.ItemNameWrite2(1));
  EXPECT_EQ(-1, a.CommentWrite("x"));
  A none("G", nullptr, 3, nullptr);
  EXPECT_EQ(0, none.GetFormatCount());
}

// The file's buffer goes to disk in the middle of the eleventh line; the disk
// is full: that line fails, and every one after it.
TEST_F(WriteTest, AFailureInTheMiddleOfALineFailsThatLine) {
  FaultFs faults;
  faults.FailNth(FsOp::kWrite, 1, FsError::kDiskFull);
  ScopedFs scoped(&faults);
  for (int32_t i = 0; i < 5; ++i) formats_.push_back(Item("t", 600, 0, i * 601, 601, A::TAT_STRING));
  A& a = Make();
  for (int32_t i = 0; i < 5; ++i) Text(i * 601, std::string(600, static_cast<char>('a' + i)).c_str());
  std::string results;
  for (int line = 1; line <= 12; ++line) results += a.Write() == 0 ? '+' : '-';
  EXPECT_EQ(results, "++++++++++--");
  EXPECT_EQ(-1, a.CommentWrite("x"));
  EXPECT_EQ(faults.Struck(), 1);
  EXPECT_NE(0, file_.Close());
}

TEST_F(WriteTest, WritingToAClosedFileFails) {
  formats_ = {Item("a", 3, 0, 0, 4, A::TAT_STRING), Item("b", 3, 0, 4, 4, A::TAT_STRING)};
  A& a = Make();
  Text(0, "A");
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("A,\r\n", Written());
  EXPECT_EQ(-1, a.Write());
  EXPECT_EQ(-1, a.CommentWrite("x"));
  // Reopening attaches the same stream again: the accessor writes once more.
  ASSERT_EQ(0, file_.Open("T:\\out.csv", ClTextFile::TFOM_WRITE | ClTextFile::TFOM_APPEND));
  EXPECT_EQ(0, a.Write());
  EXPECT_EQ("A,\r\nA,\r\n", Written());
}

}  // namespace
