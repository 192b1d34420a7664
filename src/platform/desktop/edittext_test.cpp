#include "edittext.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// "あ" is two bytes in code page 932 and three in UTF-8.
const std::string kA = "\xE3\x81\x82";
// "😀" has no code page 932 form.
const std::string kEmoji = "\xF0\x9F\x98\x80";

TEST(FitEditText, LimitCountsCodePage932Bytes) {
  // 127 double-byte characters are 254 bytes: one more ASCII byte fits,
  // another double-byte character does not.
  std::string old_text;
  for (int i = 0; i < 127; ++i) old_text += kA;
  EditFit ascii = FitEditText(old_text, old_text + "x", 255);
  EXPECT_FALSE(ascii.changed);
  EXPECT_EQ(ascii.cp932.size(), 255u);

  EditFit wide = FitEditText(old_text, old_text + kA, 255);
  EXPECT_TRUE(wide.changed);
  EXPECT_EQ(wide.utf8, old_text);
  EXPECT_EQ(wide.cp932.size(), 254u);
}

TEST(FitEditText, PasteIsCutAtAWholeCharacterAndKeepsWhatFollows) {
  // Pasting "ああああ" between "ab" and "cd" with room for 7 bytes keeps
  // "ab" + "あ" + "cd": a second "あ" would need 8.
  EditFit fit = FitEditText("abcd", "ab" + kA + kA + kA + kA + "cd", 7);
  EXPECT_TRUE(fit.changed);
  EXPECT_EQ(fit.utf8, "ab" + kA + "cd");
  EXPECT_EQ(fit.cp932, "ab\x82\xA0" "cd");
  EXPECT_EQ(fit.caret, 3u);  // after the kept "あ"
}

TEST(FitEditText, CharactersWithoutCodePage932FormAreDropped) {
  EditFit fit = FitEditText("C:\\", "C:\\" + kEmoji + "a.csv", 255);
  EXPECT_TRUE(fit.changed);
  EXPECT_EQ(fit.utf8, "C:\\a.csv");
  EXPECT_EQ(fit.cp932, "C:\\a.csv");
}

TEST(FitEditText, DeletionAndNoLimitPassUnchanged) {
  EditFit shorter = FitEditText("abc", "ac", 2);
  EXPECT_FALSE(shorter.changed);
  EXPECT_EQ(shorter.cp932, "ac");
  EXPECT_EQ(shorter.caret, 1u);

  std::string big(1000, 'x');
  EXPECT_FALSE(FitEditText("", big, 0).changed);
}

TEST(FitEditText, TextAlreadyOverTheLimitAcceptsNoInsertion) {
  // The program may set a text longer than the limit; typing into it adds
  // nothing, but the text is not cut either.
  EditFit fit = FitEditText("abcdef", "abcXdef", 4);
  EXPECT_TRUE(fit.changed);
  EXPECT_EQ(fit.utf8, "abcdef");
  EXPECT_EQ(fit.caret, 3u);
}

TEST(Cp932CharCount, CountsDoubleByteCharactersOnce) {
  std::string text = "a\x82\xA0" "b\x95\x5C" "c";  // a あ b 表 c; 表 ends in 0x5C
  EXPECT_EQ(Cp932CharCount(text, 0), 0u);
  EXPECT_EQ(Cp932CharCount(text, 3), 2u);
  EXPECT_EQ(Cp932CharCount(text, 2), 2u);  // inside あ: counts it whole
  EXPECT_EQ(Cp932CharCount(text, 7), 5u);
  EXPECT_EQ(Cp932CharCount(text, 100), 5u);
}

}  // namespace
