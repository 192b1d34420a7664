#include "coderegister.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The register as a list walked in insertion order: the reference behaviour.
class WalkedRegister {
 public:
  int16_t Register(const std::string& code) {
    bool longer = code.size() > 6;
    for (const std::string& r : codes_) {
      if (r == code) return 1;
      if (longer && r == code.substr(0, 6)) return 2;
    }
    codes_.push_back(code);
    return 0;
  }

 private:
  std::vector<std::string> codes_;
};

TEST(CodeRegister, DuplicatesAndPrefixes) {
  ClCodeRegister reg;
  EXPECT_EQ(reg.Register("000123"), 0);
  EXPECT_EQ(reg.Register("000123"), 1);
  EXPECT_EQ(reg.Register("00012301"), 2);
  EXPECT_EQ(reg.Register("00012301"), 2);  // not registered by the 2
  EXPECT_EQ(reg.Count(), 1u);

  ClCodeRegister fresh;
  EXPECT_EQ(fresh.Register("00012301"), 0);
  EXPECT_EQ(fresh.Register("000123"), 0);  // one-sided: the longer came first
  EXPECT_EQ(fresh.Register("00012301"), 1);
  EXPECT_EQ(fresh.Register("00012302"), 2);
}

TEST(CodeRegister, EmptyAndLongCodes) {
  ClCodeRegister reg;
  EXPECT_EQ(reg.Register(""), 0);
  EXPECT_EQ(reg.Register(""), 1);
  EXPECT_EQ(reg.Register("ABCDEFGHIJ"), 0);
  EXPECT_EQ(reg.Register("ABCDEFGHIJ"), 1);
  EXPECT_EQ(reg.Register("ABCDEF"), 0);
  EXPECT_EQ(reg.Register("ABCDEFGHIJK"), 2);
  EXPECT_EQ(reg.Register("ABCDEFGH"), 2);
  // Codes that differ only in bytes above 0x7F or in length stay apart.
  EXPECT_EQ(reg.Register("\x81\x40"), 0);
  EXPECT_EQ(reg.Register("\x81\x40\x01"), 0);
  EXPECT_EQ(reg.Register("\x81"), 0);
}

// Six-digit codes are held apart from the others, yet the prefix rule and
// the count see them all.
TEST(CodeRegister, SixDigitCodesAmongOthers) {
  ClCodeRegister reg;
  EXPECT_EQ(reg.Register("000000"), 0);
  EXPECT_EQ(reg.Register("999999"), 0);
  EXPECT_EQ(reg.Register("999999"), 1);
  EXPECT_EQ(reg.Register("000000"), 1);
  EXPECT_EQ(reg.Register("99999"), 0);     // five digits: another code
  EXPECT_EQ(reg.Register("9999990"), 2);   // its first six are registered
  EXPECT_EQ(reg.Register("99999A"), 0);
  EXPECT_EQ(reg.Register("99999A"), 1);
  EXPECT_EQ(reg.Register("99999:"), 0);    // the byte after '9' is no digit
  EXPECT_EQ(reg.Register("/00000"), 0);    // nor the one before '0'
  EXPECT_EQ(reg.Register("12345678"), 0);
  EXPECT_EQ(reg.Register("123456"), 0);    // the longer came first
  EXPECT_EQ(reg.Register("12345679"), 2);
  EXPECT_EQ(reg.Count(), 8u);
}

// Every order of calls gives what the walk gives, over codes of 5 to 9 bytes
// drawn from a small alphabet so that duplicates and prefixes abound (digits
// only, or with a letter among them), and enough codes to make the table
// grow several times.
TEST(CodeRegister, MatchesTheWalkInRandomOrders) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, 2), length(5, 9);
    ClCodeRegister reg;
    WalkedRegister walk;
    for (int i = 0; i < 3000; ++i) {
      std::string code(static_cast<size_t>(length(random)), '0');
      const char* alphabet = seed % 2 == 0 ? "012" : "01A";
      for (char& c : code) c = alphabet[pick(random)];
      if (i % 7 == 0 && code.size() > 6) code.resize(6);
      ASSERT_EQ(reg.Register(code.c_str()), walk.Register(code)) << "seed " << seed << " call " << i;
    }
  }
}

}  // namespace
