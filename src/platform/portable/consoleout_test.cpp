#include "consoleout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What was written to a file that is no console.
std::string Written(FILE* f) {
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  return text;
}

// Short and long texts come out whole; bytes that are not UTF-8 pass as
// they are; the count is that of the formatted bytes.
TEST(ConsolePrintf, FormatsAnyLengthIntoAFile) {
  FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  const std::string long_text(3000, 'x');
  const char asset[] = "\xE8\xB3\x87\xE7\x94\xA3";  // UTF-8 of a Japanese word
  EXPECT_EQ(ConsolePrintf(f, "%s %d\n", asset, 42), 10);
  EXPECT_EQ(ConsolePrintf(f, "[%s]", long_text.c_str()), 3002);
  EXPECT_TRUE(ConsoleWrite(f, "\x95\x5C"));
  EXPECT_EQ(Written(f), std::string(asset) + " 42\n" + "[" + long_text + "]\x95\x5C");
  std::fclose(f);
}

}  // namespace
