#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "ledger_store.h"
#include "small_ledger.h"
#include "textaccessor.h"

namespace {

// Five one-letter text items A to E in 2-byte slots.
std::vector<StTAFORMAT> Letters() {
  std::vector<StTAFORMAT> f(5);
  for (int i = 0; i < 5; ++i) {
    std::memset(&f[i], 0, sizeof f[i]);
    f[i].szName[0] = static_cast<char>('A' + i);
    f[i].lWidth = 1;
    f[i].lOffset = i * 2;
    f[i].lSize = 2;
    f[i].lType = ClTextAccessor::TAT_STRING;
  }
  return f;
}

class OrderCase : public testing::Test {
 protected:
  OrderCase() : format_(Letters()), acc_("G_ORD", format_.data(), 5, record_) {
    for (int i = 0; i < 5; ++i) {
      record_[i * 2] = static_cast<char>('a' + i);
      record_[i * 2 + 1] = '\0';
    }
    acc_.Attach(&stream_);
    acc_.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  }
  // The line Write produces, without its CR LF.
  std::string Line() {
    stream_.str("");
    EXPECT_EQ(0, acc_.Write());
    std::string s = stream_.str();
    return s.substr(0, s.size() - 2);
  }
  // The item names in working-format order.
  std::string Names() {
    std::string s;
    for (long i = 0; i < acc_.GetFormatCount(); ++i) s += acc_.GetFormat()[i].szName;
    return s;
  }

  std::vector<StTAFORMAT> format_;
  char record_[10] = {};
  std::stringstream stream_;
  ClTextAccessor acc_;
};

TEST_F(OrderCase, SelectFlagChoosesTheSequence) {
  StTAORDER order[2] = {2, 0};
  EXPECT_EQ(0, acc_.SetOrder(order, 2));
  EXPECT_EQ(order, acc_.GetOrder());
  EXPECT_EQ(2, acc_.GetOrderCount());
  EXPECT_EQ("a,b,c,d,e", Line());  // select flag 1: all items

  acc_.SetSelectFlag(0);
  EXPECT_EQ("c,a", Line());
  acc_.SetMask(2, ClTextAccessor::TAM_SPACE);
  acc_.SetMask(0, ClTextAccessor::TAM_BLANK);
  acc_.SetMask(1, ClTextAccessor::TAM_SPACE);  // not in the order
  EXPECT_EQ(" ,", Line());

  acc_.SetOrder(order, 0);
  acc_.SetMask(0, 0);
  acc_.SetMask(1, 0);
  acc_.SetMask(2, 0);
  EXPECT_EQ("a,b,c,d,e", Line());

  // An order without an array holds no entries.
  acc_.SetOrder(nullptr, 3);
  EXPECT_EQ(0, acc_.GetOrderCount());
  EXPECT_EQ("a,b,c,d,e", Line());
}

TEST_F(OrderCase, ReadingFollowsTheOrder) {
  StTAORDER order[3] = {4, 0, 4};
  acc_.SetOrder(order, 3);
  acc_.SetSelectFlag(0);
  std::memset(record_, 0, sizeof record_);
  stream_.str("x,y,z\na,b\n");
  EXPECT_EQ(0, acc_.Read());
  EXPECT_STREQ("y", record_ + 0);
  EXPECT_STREQ("z", record_ + 8);  // the second position of item 4 wins
  EXPECT_STREQ("", record_ + 2);
  EXPECT_EQ(2, acc_.Read());  // two items for three positions

  // An entry outside the format refuses the line rather than reach past it.
  StTAORDER bad[2] = {1, 5};
  acc_.SetOrder(bad, 2);
  stream_.clear();
  stream_.str("p,q\n");
  EXPECT_EQ(2, acc_.Read());
  StTAORDER negative[1] = {-1};
  acc_.SetOrder(negative, 1);
  stream_.clear();
  stream_.str("p\n");
  EXPECT_EQ(2, acc_.Read());
}

TEST_F(OrderCase, RotateFormat) {
  EXPECT_EQ(0, acc_.RotateFormat(1, 2, 3));
  EXPECT_EQ("ADBCE", Names());
  EXPECT_EQ("a,d,b,c,e", Line());  // moved items keep their slots
  acc_.ResetRotate();
  EXPECT_EQ("ABCDE", Names());

  EXPECT_EQ(0, acc_.RotateFormat(1, 1, 3));
  EXPECT_EQ("ABCDE", Names());
  EXPECT_EQ(0, acc_.RotateFormat(0, 4, 5));
  EXPECT_EQ("BCDEA", Names());
  acc_.ResetRotate();

  // Refused: nothing changes.
  const struct {
    long first, target, count;
  } refused[] = {{3, 1, 1},  {4, 4, 1}, {1, 1, 0},  {-1, 0, 2},  {1, 4, 3},  {2, 1, 2},
                 {0, 0, 6},  {1, 1, -2}, {0, 0, 0x7fffffffL}, {0x7ffffff0L, 0x7ffffff0L, 0x7fffffffL}};
  for (const auto& r : refused) {
    EXPECT_EQ(1, acc_.RotateFormat(r.first, r.target, r.count)) << r.first << " " << r.target << " " << r.count;
    EXPECT_EQ("ABCDE", Names());
  }
}

TEST_F(OrderCase, MasksStayWithTheirIndexAcrossRotation) {
  acc_.SetMask(1, ClTextAccessor::TAM_BLANK);
  acc_.RotateFormat(1, 2, 3);
  EXPECT_EQ("a,,b,c,e", Line());  // D now stands at index 1 and is blanked
}

TEST_F(OrderCase, ResetRestoresAfterSeveralRotations) {
  acc_.RotateFormat(0, 3, 5);
  acc_.RotateFormat(1, 2, 2);
  acc_.RotateFormat(2, 4, 3);
  EXPECT_NE("ABCDE", Names());
  acc_.ResetRotate();
  EXPECT_EQ(0, std::memcmp(format_.data(), acc_.GetFormat(), 5 * sizeof(StTAFORMAT)));
}

// Orders kept in the host's saved settings, per data set and group name.
class SavedOrderCase : public OrderCase {
 protected:
  const unsigned char* Id(const char* id) { return reinterpret_cast<const unsigned char*>(id); }
  LedgerStore store_{std::u8string_view(kSmallLedger), u8"sato"};
};

TEST_F(SavedOrderCase, SaveThenLoad) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  StTAORDER saved[3] = {3, 1, 4};
  acc_.SetOrder(saved, 3);
  ASSERT_EQ(0, acc_.SaveOrder(Id("S0007")));

  std::vector<StTAFORMAT> format = Letters();
  char record[10] = {};
  ClTextAccessor other("G_ORD", format.data(), 5, record);
  StTAORDER room[5] = {9, 9, 9, 9, 9};
  other.SetOrder(room, 5);
  ASSERT_EQ(0, other.LoadOrder(Id("S0007")));
  EXPECT_EQ(3, other.GetOrderCount());
  EXPECT_EQ(3, room[0]);
  EXPECT_EQ(1, room[1]);
  EXPECT_EQ(4, room[2]);
  EXPECT_EQ(9, room[3]);  // beyond the loaded entries nothing is written

  // Another data set and another group have nothing saved.
  StTAORDER untouched[2] = {7, 7};
  other.SetOrder(untouched, 2);
  EXPECT_EQ(-1, other.LoadOrder(Id("K0008")));
  EXPECT_EQ(2, other.GetOrderCount());
  ClTextAccessor group("G_OTHER", format.data(), 5, record);
  group.SetOrder(room, 5);
  EXPECT_EQ(-1, group.LoadOrder(Id("S0007")));

  // The loaded order is not in force until the select flag is 0.
  other.SetOrder(room, 5);
  ASSERT_EQ(0, other.LoadOrder(Id("S0007")));
  std::stringstream out;
  std::memcpy(record, record_, sizeof record);
  other.Attach(&out);
  other.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  other.Write();
  other.SetSelectFlag(0);
  other.Write();
  EXPECT_EQ("a,b,c,d,e\r\nd,b,e\r\n", out.str());

  // An empty order saves and loads as no order.
  acc_.SetOrder(nullptr, 0);
  ASSERT_EQ(0, acc_.SaveOrder(Id("S0007")));
  ASSERT_EQ(0, other.LoadOrder(Id("S0007")));
  EXPECT_EQ(0, other.GetOrderCount());
}

TEST_F(SavedOrderCase, LoadRefusesWhatTheArrayCannotHold) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  StTAORDER saved[4] = {0, 1, 2, 3};
  acc_.SetOrder(saved, 4);
  ASSERT_EQ(0, acc_.SaveOrder(Id("S0007")));

  StTAORDER small[3] = {8, 8, 8};
  acc_.SetOrder(small, 3);
  EXPECT_EQ(-1, acc_.LoadOrder(Id("S0007")));
  EXPECT_EQ(3, acc_.GetOrderCount());
  EXPECT_EQ(8, small[0]);
  acc_.SetOrder(nullptr, 0);
  EXPECT_EQ(-1, acc_.LoadOrder(Id("S0007")));
  EXPECT_EQ(0, acc_.GetOrderCount());

  // Entries saved for a larger format under the same group do not fit this one.
  std::vector<StTAFORMAT> wide = Letters();
  wide.push_back(wide[4]);
  wide.push_back(wide[4]);
  char record[10] = {};
  ClTextAccessor larger("G_ORD", wide.data(), 7, record);
  StTAORDER beyond[2] = {6, 0};
  larger.SetOrder(beyond, 2);
  ASSERT_EQ(0, larger.SaveOrder(Id("S0007")));
  StTAORDER room[5] = {};
  acc_.SetOrder(room, 5);
  EXPECT_EQ(-1, acc_.LoadOrder(Id("S0007")));
  EXPECT_EQ(5, acc_.GetOrderCount());
}

TEST_F(SavedOrderCase, SaveRefusesOrdersOutsideTheRecord) {
  ASSERT_TRUE(store_.ok()) << store_.error();
  std::vector<StTAORDER> many(257, 0);
  acc_.SetOrder(many.data(), 257);
  EXPECT_EQ(-1, acc_.SaveOrder(Id("S0007")));
  acc_.SetOrder(many.data(), 256);
  EXPECT_EQ(0, acc_.SaveOrder(Id("S0007")));
  StTAORDER outside[2] = {0, 5};
  acc_.SetOrder(outside, 2);
  EXPECT_EQ(-1, acc_.SaveOrder(Id("S0007")));
  outside[1] = -1;
  EXPECT_EQ(-1, acc_.SaveOrder(Id("S0007")));
  acc_.SetOrder(outside, -1);
  EXPECT_EQ(-1, acc_.SaveOrder(Id("S0007")));

  std::vector<StTAFORMAT> format = Letters();
  char record[10] = {};
  StTAORDER fine[1] = {0};
  ClTextAccessor longName("G_TENBYTES", format.data(), 5, record);  // 10 bytes
  longName.SetOrder(fine, 1);
  EXPECT_EQ(-1, longName.SaveOrder(Id("S0007")));
  EXPECT_EQ(-1, longName.LoadOrder(Id("S0007")));
  ClTextAccessor nineBytes("G_NINEBYT", format.data(), 5, record);
  nineBytes.SetOrder(fine, 1);
  EXPECT_EQ(0, nineBytes.SaveOrder(Id("S0007")));
  EXPECT_EQ(0, nineBytes.LoadOrder(Id("S0007")));
}

TEST_F(OrderCase, SavedOrdersNeedAConnectedHost) {
  StTAORDER order[1] = {0};
  acc_.SetOrder(order, 1);
  EXPECT_EQ(-1, acc_.SaveOrder(reinterpret_cast<const unsigned char*>("S0007")));
  EXPECT_EQ(-1, acc_.LoadOrder(reinterpret_cast<const unsigned char*>("S0007")));
  EXPECT_EQ(1, acc_.GetOrderCount());
}

}  // namespace
