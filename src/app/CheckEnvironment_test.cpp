#include <gtest/gtest.h>

#include <string>

#include "ClControlVelor.h"
#include "store.h"
#include "nativeos.h"
#include "scripted_frontend.h"
#include "tempdir.h"
#include "testdrives.h"
#include "messagebox.h"

namespace {

const char kNotInstalled[] =
    "動作環境が不正です。\nES_APRPACKAGENAMEが正しくインストールされているか確認してください。";
const char kHostTooOld[] =
    "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
    "ES_APRPACKAGENAMEの最新版を入手してインストールしてからご利用ください。";
const char kComponentTooOld[] =
    "ご利用の連動コンポーネントは、インストールされているES_APRPACKAGENAMEでは使用できません。\n"
    "連動コンポーネントの最新版を入手してインストールしてからご利用ください。";

// What the host's message display shows of text: the token in it replaced
// by the product name, the default one without a store.
std::string Shown(std::string text) {
  const std::string token = "ES_APRPACKAGENAME";
  for (size_t at; (at = text.find(token)) != std::string::npos;) {
    text.replace(at, token.size(), kDefaultProductName);
  }
  return text;
}

// The check in a current folder on drive T:, whose installed-products file
// the test writes.
class CheckEnvironmentTest : public ::testing::Test {
 protected:
  CheckEnvironmentTest() {
    drives_.Add("T:", tmp_.path());
    EXPECT_TRUE(cwd_.MoveTo(tmp_.path()));
  }

  // Writes content as the installed-products file, runs the check with
  // messages and returns the message shown ("" for none).
  std::string Check(const std::string& content, BOOL* result) {
    WriteFileBytes(tmp_.Native("OrbelleDef.ini"), content);
    ScriptedFrontEnd fe;
    *result = app_.CheckEnvironment(1);
    if (fe.boxes().empty()) return "";
    EXPECT_EQ(fe.boxes().size(), 1u);
    EXPECT_EQ(fe.boxes()[0].caption, "減価償却");
    EXPECT_EQ(fe.boxes()[0].type, MB_ICONEXCLAMATION);
    EXPECT_EQ(fe.boxes()[0].owner, nullptr);
    return fe.boxes()[0].text;
  }

  TempDir tmp_;
  TestDrives drives_;
  ScopedCurrentFolder cwd_;
  ClControlVelor app_;
};

TEST_F(CheckEnvironmentTest, NoFileRefusesWithTheFirstMessage) {
  ScriptedFrontEnd fe;
  EXPECT_FALSE(app_.CheckEnvironment(1));
  ASSERT_EQ(fe.boxes().size(), 1u);
  EXPECT_EQ(fe.boxes()[0].text, Shown(kNotInstalled));
  EXPECT_EQ(fe.boxes()[0].text.find("ES_APRPACKAGENAME"), std::string::npos);
  EXPECT_FALSE(app_.CheckEnvironment(0));
  EXPECT_EQ(fe.boxes().size(), 1u);  // no message asked for, none shown
}

// Something at the file's name that is no readable file (a folder here; a
// FIFO likewise, which would hold the read for good) is refused, naming it.
TEST_F(CheckEnvironmentTest, AnUnreadableFileIsRefusedNamingIt) {
  ASSERT_TRUE(MakeNativeFolders(tmp_.Native("OrbelleDef.ini")));
  ScriptedFrontEnd fe;
  EXPECT_FALSE(app_.CheckEnvironment(1));
  ASSERT_EQ(fe.boxes().size(), 1u);
  EXPECT_EQ(fe.boxes()[0].text.find("動作環境が不正です。\nインストール情報のファイルを読み込めません。\n"), 0u)
      << fe.boxes()[0].text;
  EXPECT_NE(fe.boxes()[0].text.find("OrbelleDef.ini"), std::string::npos) << fe.boxes()[0].text;
}

TEST_F(CheckEnvironmentTest, LevelsDecide) {
  const struct {
    const char* content;
    BOOL accepted;
    const char* message;
  } cases[] = {
      {"[Other]\r\nZR40=5\r\n", TRUE, ""},             // no section: default 1
      {"[ProgramLevel]\r\nZR41=5\r\n", TRUE, ""},      // no key: default 1
      {"[ProgramLevel]\r\nZR40=\r\n", FALSE, kNotInstalled},
      {"[ProgramLevel]\r\nZR40=0\r\n", FALSE, kHostTooOld},
      {"[ProgramLevel]\r\nZR40=abc\r\n", FALSE, kHostTooOld},
      {"[ProgramLevel]\r\nZR40=-3\r\n", FALSE, kHostTooOld},
      {"[ProgramLevel]\r\nZR40=2\r\n", FALSE, kComponentTooOld},
      {"[ProgramLevel]\r\nZR40=01\r\n", TRUE, ""},
      {"[ProgramLevel]\r\nZR40=1a\r\n", TRUE, ""},
      {"[ProgramLevel]\nZR40=1\n", TRUE, ""},
      // A level of many digits stays large instead of wrapping round to 1.
      {"[ProgramLevel]\r\nZR40=4294967297\r\n", FALSE, kComponentTooOld},
  };
  for (const auto& c : cases) {
    BOOL result = -1;
    EXPECT_EQ(Check(c.content, &result), Shown(c.message)) << c.content;
    EXPECT_EQ(result, c.accepted) << c.content;
  }
}

}  // namespace
