#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TextFile.h"
#include "drivemap.h"
#include "tempdir.h"
#include "textaccessor.h"

namespace {

// Exposes the parts of the reader that derived classes may call.
class Reader : public ClTextAccessor {
 public:
  using ClTextAccessor::CheckNumeric;
  using ClTextAccessor::ClTextAccessor;
};

StTAFORMAT Item(int32_t width, int32_t offset, int32_t size, int32_t type = ClTextAccessor::TAT_STRING,
                int32_t required = 0, int32_t decimals = 0) {
  StTAFORMAT f = {};
  std::snprintf(f.szName, sizeof f.szName, "i%d", offset);
  f.lWidth = width;
  f.lDecimals = decimals;
  f.lOffset = offset;
  f.lSize = size;
  f.lType = type;
  f.lRequired = required;
  return f;
}

// n text items of 16-byte slots (width 15), back to back.
std::vector<StTAFORMAT> TextItems(int n) {
  std::vector<StTAFORMAT> items;
  for (int i = 0; i < n; ++i) items.push_back(Item(15, i * 16, 16));
  return items;
}

// A reader over the given bytes with its own record buffer.
class ReadCase {
 public:
  ReadCase(std::vector<StTAFORMAT> format, const std::string& bytes,
           ClTextAccessor::_Delimiter layout = ClTextAccessor::DLM_COMMA,
           ClTextAccessor::_Quote quote = ClTextAccessor::QUOTE_NONE)
      : format_(std::move(format)), stream_(bytes) {
    record_.assign(4096, '\x7f');
    reader_ = std::make_unique<Reader>("G_TEST", format_.data(), static_cast<long>(format_.size()),
                                       record_.data());
    reader_->Attach(&stream_);
    reader_->SetMode(layout, quote);
  }
  Reader& r() { return *reader_; }
  long Read() { return reader_->Read(); }
  // The text slot of item i.
  std::string Text(int i) const { return std::string(record_.data() + format_[i].lOffset); }
  template <typename T>
  T Value(int i) const {
    T v;
    std::memcpy(&v, record_.data() + format_[i].lOffset, sizeof v);
    return v;
  }
  std::string LastLine() {
    char line[ClTextAccessor::kLineSize];
    reader_->GetReadLine(line);
    return std::string(line);
  }
  void Clear() { std::fill(record_.begin(), record_.end(), '\0'); }

 private:
  std::vector<StTAFORMAT> format_;
  std::stringstream stream_;
  std::vector<char> record_;
  std::unique_ptr<Reader> reader_;
};

TEST(TextReadComma, EmptyItemsBetweenAndAfterSeparators) {
  ReadCase c(TextItems(3), "a,,c\n");
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ("a", c.Text(0));
  EXPECT_EQ("", c.Text(1));
  EXPECT_EQ("c", c.Text(2));

  auto required = TextItems(3);
  required[1].lRequired = 1;
  ReadCase r(required, "a,,c\n");
  EXPECT_EQ(2, r.Read());
  EXPECT_EQ("a", r.Text(0));  // earlier items already stored

  ReadCase trailing(TextItems(3), "a,b,\n");
  EXPECT_EQ(0, trailing.Read());
  EXPECT_EQ("b", trailing.Text(1));
  EXPECT_EQ("", trailing.Text(2));
  ReadCase two(TextItems(2), "a,b,\n");
  EXPECT_EQ(2, two.Read());
}

TEST(TextReadComma, EmptyLineIsOneEmptyItemInDelimitedLayouts) {
  for (auto layout : {ClTextAccessor::DLM_COMMA, ClTextAccessor::DLM_TAB, ClTextAccessor::DLM_SPACE}) {
    ReadCase c(TextItems(1), "\n", layout);
    EXPECT_EQ(0, c.Read()) << layout;
    EXPECT_EQ("", c.Text(0));
    auto required = TextItems(1);
    required[0].lRequired = 1;
    ReadCase r(required, "\n", layout);
    EXPECT_EQ(2, r.Read()) << layout;
  }
  ReadCase fixed(TextItems(1), "\n", ClTextAccessor::DLM_FIXED);
  EXPECT_EQ(2, fixed.Read());
  ReadCase zero({Item(0, 0, 4)}, "\n", ClTextAccessor::DLM_FIXED);
  EXPECT_EQ(0, zero.Read());
  EXPECT_EQ("", zero.Text(0));
}

TEST(TextReadComma, Quotes) {
  ReadCase dq(TextItems(2), "\"x,y\",z\n", ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_DOUBLE);
  EXPECT_EQ(0, dq.Read());
  EXPECT_EQ("x,y", dq.Text(0));
  EXPECT_EQ("z", dq.Text(1));

  ReadCase apostrophe(TextItems(2), "'x',z\n", ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_DOUBLE);
  EXPECT_EQ(2, apostrophe.Read());
  ReadCase doubleInSingle(TextItems(1), "\"x\"\n", ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_SINGLE);
  EXPECT_EQ(2, doubleInSingle.Read());

  // Without a quote setting either character opens an item; the other one
  // and separators inside belong to it.
  ReadCase none(TextItems(2), "'a\"b, c' , \"d'e\"\n");
  EXPECT_EQ(0, none.Read());
  EXPECT_EQ("a\"b, c", none.Text(0));
  EXPECT_EQ("d'e", none.Text(1));

  ReadCase obrien(TextItems(1), "O'Brien\n");
  EXPECT_EQ(2, obrien.Read());
  ReadCase doubled(TextItems(1), "\"a\"\"b\"\n");
  EXPECT_EQ(2, doubled.Read());
  ReadCase unclosed(TextItems(1), "\"abc\n");
  EXPECT_EQ(2, unclosed.Read());

  // An empty quoted item is present, so a required item accepts it.
  auto required = TextItems(2);
  required[0].lRequired = 1;
  ReadCase empty(required, "\"\",x\n");
  EXPECT_EQ(0, empty.Read());
  EXPECT_EQ("", empty.Text(0));
}

TEST(TextReadComma, SpaceFlag) {
  ReadCase on(TextItems(2), "ab cd  ,x\n");
  on.r().SetSpaceFlag(1);
  EXPECT_EQ(0, on.Read());
  EXPECT_EQ("ab cd", on.Text(0));
  EXPECT_EQ("x", on.Text(1));

  ReadCase off(TextItems(2), "ab cd  ,x\n");
  EXPECT_EQ(2, off.Read());

  ReadCase tail(TextItems(2), "x,ab  \n");
  tail.r().SetSpaceFlag(1);
  EXPECT_EQ(0, tail.Read());
  EXPECT_EQ("ab  ", tail.Text(1));

  // Blanks around items are skipped with the flag off.
  ReadCase padded(TextItems(2), "  a \t,\tb  \n");
  EXPECT_EQ(0, padded.Read());
  EXPECT_EQ("a", padded.Text(0));
  EXPECT_EQ("b", padded.Text(1));
}

TEST(TextReadTab, BlankInsideItemIsRefusedWhateverTheSpaceFlag) {
  for (int flag : {0, 1}) {
    ReadCase c(TextItems(3), "x\ta b\ty\n", ClTextAccessor::DLM_TAB);
    c.r().SetSpaceFlag(flag);
    EXPECT_EQ(2, c.Read()) << flag;
  }
  // Spaces may stand after an item before the tab; the comma is text here.
  ReadCase ok(TextItems(3), "a  \t b,c\t\n", ClTextAccessor::DLM_TAB);
  EXPECT_EQ(0, ok.Read());
  EXPECT_EQ("a", ok.Text(0));
  EXPECT_EQ("b,c", ok.Text(1));
  EXPECT_EQ("", ok.Text(2));
}

TEST(TextReadSpace, RunsOfBlanksSeparate) {
  ReadCase c(TextItems(3), "  a \t 'b c'\"d\"\n", ClTextAccessor::DLM_SPACE);
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ("a", c.Text(0));
  EXPECT_EQ("b c", c.Text(1));
  EXPECT_EQ("d", c.Text(2));
  ReadCase quoteInside(TextItems(1), "a'b\n", ClTextAccessor::DLM_SPACE);
  EXPECT_EQ(2, quoteInside.Read());
  ReadCase unclosed(TextItems(1), "'ab\n", ClTextAccessor::DLM_SPACE);
  EXPECT_EQ(2, unclosed.Read());
  ReadCase blank(TextItems(1), " \t \n", ClTextAccessor::DLM_SPACE);
  EXPECT_EQ(0, blank.Read());
  ReadCase tooMany(TextItems(2), "a b c\n", ClTextAccessor::DLM_SPACE);
  EXPECT_EQ(2, tooMany.Read());
}

TEST(TextReadFixed, LineMustMatchTheWidths) {
  std::vector<StTAFORMAT> f = {Item(3, 0, 8), Item(2, 8, 8)};
  ReadCase exact(f, "abcde\nabcd\nabcdef\na c  \n", ClTextAccessor::DLM_FIXED);
  EXPECT_EQ(0, exact.Read());
  EXPECT_EQ("abc", exact.Text(0));
  EXPECT_EQ("de", exact.Text(1));
  EXPECT_EQ(2, exact.Read());
  EXPECT_EQ(2, exact.Read());
  EXPECT_EQ(0, exact.Read());  // padding blanks stay part of the items
  EXPECT_EQ("a c", exact.Text(0));
  EXPECT_EQ("  ", exact.Text(1));
}

TEST(TextReadItems, TextSlotsAndNumbers) {
  ReadCase slot({Item(20, 0, 12)}, "123456789012\n12345678901\n");
  EXPECT_EQ(2, slot.Read());
  EXPECT_EQ(0, slot.Read());
  EXPECT_EQ("12345678901", slot.Text(0));

  std::vector<StTAFORMAT> nums = {Item(8, 0, 4, ClTextAccessor::TAT_NUMBER),
                                  Item(8, 4, 8, ClTextAccessor::TAT_NUMBER),
                                  Item(8, 12, 1, ClTextAccessor::TAT_NUMBER),
                                  Item(8, 13, 2, ClTextAccessor::TAT_UNSIGNED)};
  ReadCase n(nums, "12.9,\"-1,234.5678\",300,65535\n-12.9,,-1,-1\n1,2,x,3\n");
  EXPECT_EQ(0, n.Read());
  EXPECT_EQ(12, n.Value<int32_t>(0));
  EXPECT_EQ(-12345678, n.Value<int64_t>(1));
  EXPECT_EQ(44, n.Value<uint8_t>(2));  // low byte of 300
  EXPECT_EQ(65535, n.Value<uint16_t>(3));
  EXPECT_EQ(0, n.Read());
  EXPECT_EQ(-12, n.Value<int32_t>(0));
  EXPECT_EQ(-12345678, n.Value<int64_t>(1));  // an empty number keeps the slot
  EXPECT_EQ(-1, n.Value<int8_t>(2));
  EXPECT_EQ(65535, n.Value<uint16_t>(3));
  EXPECT_EQ(0, n.Read());  // a number without digits reads as 0
  EXPECT_EQ(0, n.Value<int8_t>(2));

  // An unsigned 8-byte slot is not a number the buffer can hold: untouched.
  ReadCase u8({Item(8, 0, 8, ClTextAccessor::TAT_UNSIGNED)}, "5\n");
  u8.Clear();
  EXPECT_EQ(0, u8.Read());
  EXPECT_EQ(0, u8.Value<int64_t>(0));
}

TEST(TextReadItems, NumbersBeyondSixtyFourBitsRefuseTheLine) {
  std::vector<StTAFORMAT> cy = {Item(30, 0, 8, ClTextAccessor::TAT_NUMBER)};
  ReadCase c(cy,
             "922337203685477.5807\n-922337203685477.5808\n922337203685477.5808\n"
             "99999999999999999999999\n");
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ(INT64_MAX, c.Value<int64_t>(0));
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ(INT64_MIN, c.Value<int64_t>(0));
  EXPECT_EQ(2, c.Read());
  EXPECT_EQ(2, c.Read());
  EXPECT_EQ(1, c.Read());
}

TEST(TextReadItems, CheckNumeric) {
  const StTAFORMAT one = Item(8, 0, 8);
  char record[8];
  Reader r("G", &one, 1, record);
  struct Case {
    const char* text;
    long result;
    int64_t value;
  } cases[] = {
      {"1,234.5", 0, 12345000}, {" -0.25 ", 0, -2500}, {"1.23456", 0, 12345}, {"12a3", 0, 1230000},
      {"1 2", 2, 0},            {"+-1", 2, 0},         {"", 1, 0},           {" \t ", 1, 0},
      {"1.2.3", 2, 0},          {"5-", 2, 0},          {"+7", 0, 70000},     {"abc", 0, 0},
      {".5", 0, 5000},          {"\t3\t ", 0, 30000},
  };
  for (const Case& k : cases) {
    tagCY v;
    v.int64 = -99;
    EXPECT_EQ(k.result, r.CheckNumeric(k.text, &v)) << k.text;
    EXPECT_EQ(k.result == 0 ? k.value : -99, v.int64) << k.text;
  }
}

TEST(TextReadLines, CommentLinesAndCounters) {
  ReadCase skip(TextItems(1), ";x\n;y\n1\n");
  skip.r().SetCommentMark(";");
  EXPECT_EQ(0, skip.Read());
  EXPECT_EQ("1", skip.Text(0));
  EXPECT_EQ(3, skip.r().GetPhysicalLineNo());
  EXPECT_EQ(1, skip.r().GetLogicalLineNo());
  EXPECT_EQ(1, skip.Read());

  ReadCase report(TextItems(1), ";x\n;y\n1\n");
  report.r().SetCommentMark(";");
  report.r().SetCommentSkip(0);
  EXPECT_EQ(3, report.Read());
  EXPECT_EQ(";x", report.LastLine());
  EXPECT_EQ(3, report.Read());
  EXPECT_EQ(0, report.Read());
  EXPECT_EQ(3, report.r().GetPhysicalLineNo());
  EXPECT_EQ(1, report.r().GetLogicalLineNo());

  ReadCase plain(TextItems(1), "a\nb\nc\n");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(0, plain.Read());
  EXPECT_EQ(3, plain.r().GetPhysicalLineNo());
  EXPECT_EQ(3, plain.r().GetLogicalLineNo());
  EXPECT_EQ("c", plain.LastLine());

  // Comment lines at the end leave nothing to read.
  ReadCase trailing(TextItems(1), "a\n;z\n");
  trailing.r().SetCommentMark(";");
  EXPECT_EQ(0, trailing.Read());
  EXPECT_EQ(1, trailing.Read());
}

TEST(TextReadLines, LastLineWithoutLineEndIsReturned) {
  ReadCase c(TextItems(1), "a\nlast");
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ("last", c.Text(0));
  EXPECT_EQ(2, c.r().GetPhysicalLineNo());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(1, c.Read());
  EXPECT_EQ(2, c.r().GetPhysicalLineNo());
}

TEST(TextReadLines, OverlongLinesAreRefusedAndReadingGoesOn) {
  const std::string fits(1023, 'a');
  const std::string tooLong(1024, 'b');
  const std::string veryLong(5000, 'c');
  ReadCase c({Item(1023, 0, 1024)}, fits + "\n" + tooLong + "\n" + veryLong + "\nz\n" + veryLong);
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ(fits, c.Text(0));
  EXPECT_EQ(2, c.Read());
  EXPECT_EQ(std::string(1023, 'b'), c.LastLine());
  EXPECT_EQ(2, c.Read());
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ("z", c.Text(0));
  EXPECT_EQ(2, c.Read());  // an overlong last line without LF
  EXPECT_EQ(1, c.Read());
  EXPECT_EQ(5, c.r().GetPhysicalLineNo());
}

TEST(TextReadLines, NulByteInALineRefusesIt) {
  ReadCase c(TextItems(2), std::string("a,b\0c\nd,e\n", 10));
  EXPECT_EQ(2, c.Read());
  EXPECT_EQ(0, c.Read());
  EXPECT_EQ("e", c.Text(1));
}

// A stream buffer that fails with an exception after its first line.
class FailingBuf : public std::streambuf {
 protected:
  int_type underflow() override {
    if (served_) throw std::ios_base::failure("device error");
    served_ = true;
    setg(line_, line_, line_ + 2);
    return traits_type::to_int_type(line_[0]);
  }

 private:
  char line_[2] = {'x', '\n'};
  bool served_ = false;
};

TEST(TextReadLines, ReadErrorStopsReading) {
  auto f = TextItems(1);
  std::vector<char> record(16);
  Reader reader("G", f.data(), 1, record.data());
  FailingBuf buf;
  std::iostream stream(&buf);
  reader.Attach(&stream);
  reader.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  EXPECT_EQ(0, reader.Read());
  EXPECT_EQ(1, reader.Read());
  EXPECT_EQ(1, reader.Read());
  EXPECT_EQ(1, reader.GetPhysicalLineNo());

  Reader unattached("G", f.data(), 1, record.data());
  EXPECT_EQ(1, unattached.Read());
}

TEST(TextReadLines, MoreThanAHundredItemsOrPositions) {
  std::string line101;
  for (int i = 0; i < 101; ++i) {
    if (i) line101 += ',';
    line101 += static_cast<char>('0' + i % 10);
  }
  for (auto layout : {ClTextAccessor::DLM_COMMA, ClTextAccessor::DLM_TAB, ClTextAccessor::DLM_SPACE}) {
    std::string line = line101;
    const char sep = layout == ClTextAccessor::DLM_COMMA ? ',' : layout == ClTextAccessor::DLM_TAB ? '\t' : ' ';
    for (char& ch : line)
      if (ch == ',') ch = sep;
    std::vector<StTAFORMAT> f100, f101;
    for (int i = 0; i < 101; ++i) {
      if (i < 100) f100.push_back(Item(1, i * 2, 2));
      f101.push_back(Item(1, i * 2, 2));
    }
    ReadCase hundred(f100, line + "\n", layout);
    EXPECT_EQ(2, hundred.Read()) << layout;
    ReadCase positions(f101, line + "\n", layout);
    EXPECT_EQ(2, positions.Read()) << layout;
    ReadCase fits(f100, line.substr(0, line.size() - 2) + "\n", layout);
    EXPECT_EQ(0, fits.Read()) << layout;
    EXPECT_EQ("9", fits.Text(99));
  }
  std::vector<StTAFORMAT> fixed101;
  for (int i = 0; i < 101; ++i) fixed101.push_back(Item(1, i * 2, 2));
  ReadCase fixed(fixed101, std::string(101, 'x') + "\n", ClTextAccessor::DLM_FIXED);
  EXPECT_EQ(2, fixed.Read());
}

// Lines written by Write and read back through text files fill the record
// buffer as it was.
TEST(TextReadRoundTrip, EveryLayoutAndQuote) {
  struct Rec {
    char code[9];
    char name[21];
    int32_t count;
    int64_t amount;
    uint16_t small;
    int16_t neg;
  };
  const std::vector<StTAFORMAT> f = {
      Item(8, offsetof(Rec, code), 9), Item(20, offsetof(Rec, name), 21),
      Item(6, offsetof(Rec, count), 4, ClTextAccessor::TAT_NUMBER),
      Item(14, offsetof(Rec, amount), 8, ClTextAccessor::TAT_NUMBER, 0, 4),
      Item(5, offsetof(Rec, small), 2, ClTextAccessor::TAT_UNSIGNED),
      Item(6, offsetof(Rec, neg), 2, ClTextAccessor::TAT_NUMBER)};
  struct Mode {
    ClTextAccessor::_Delimiter layout;
    ClTextAccessor::_Quote quote;
    bool spaces;  // whether texts may hold blanks in this setting
  } modes[] = {{ClTextAccessor::DLM_FIXED, ClTextAccessor::QUOTE_NONE, true},
               {ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE, false},
               {ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_SINGLE, true},
               {ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_DOUBLE, true},
               {ClTextAccessor::DLM_TAB, ClTextAccessor::QUOTE_NONE, false},
               {ClTextAccessor::DLM_TAB, ClTextAccessor::QUOTE_DOUBLE, true},
               {ClTextAccessor::DLM_SPACE, ClTextAccessor::QUOTE_NONE, false},
               {ClTextAccessor::DLM_SPACE, ClTextAccessor::QUOTE_SINGLE, true}};
  TempDir dir;
  std::string windows;
  ASSERT_TRUE(DriveMapToWindows(dir.Native("rt.txt"), &windows));
  for (const Mode& m : modes) {
    SCOPED_TRACE(testing::Message() << "layout " << m.layout << " quote " << m.quote);
    Rec out[2] = {{"A001", "資産 名", 42, -1234567, 65000, -300}, {"Z9", "x", 0, 5, 0, 7}};
    if (!m.spaces) std::strcpy(out[0].name, "資産名");
    if (m.layout == ClTextAccessor::DLM_FIXED) {
      std::strcpy(out[0].code, "A001    ");  // fixed-width text keeps its padding
      std::strcpy(out[1].code, "Z9      ");
      std::memset(out[1].name, ' ', 20);
      out[1].name[0] = 'x';
      out[1].name[20] = '\0';
      std::memcpy(out[0].name + std::strlen(out[0].name), "              ", 20 - std::strlen(out[0].name));
      out[0].name[20] = '\0';
    }
    Rec buffer = {};
    ClTextAccessor acc("G_RT", f.data(), static_cast<long>(f.size()), &buffer);
    ASSERT_EQ(0, acc.SetMode(m.layout, m.quote));
    {
      ClTextFile file;
      ASSERT_EQ(0, file.Open(windows.c_str(), ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE));
      file.Attach(&acc);
      for (const Rec& r : out) {
        buffer = r;
        ASSERT_EQ(0, acc.Write());
      }
      ASSERT_EQ(0, file.Close());
    }
    ClTextFile file;
    ASSERT_EQ(0, file.Open(windows.c_str(), ClTextFile::TFOM_READ));
    file.Attach(&acc);
    for (const Rec& r : out) {
      std::memset(&buffer, 0, sizeof buffer);
      ASSERT_EQ(0, acc.Read());
      EXPECT_STREQ(r.code, buffer.code);
      EXPECT_STREQ(r.name, buffer.name);
      EXPECT_EQ(r.count, buffer.count);
      EXPECT_EQ(r.amount, buffer.amount);
      EXPECT_EQ(r.small, buffer.small);
      EXPECT_EQ(r.neg, buffer.neg);
    }
    EXPECT_EQ(1, acc.Read());
  }
}

}  // namespace
