#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_fixture.h"
#include "ledger_store.h"
#include "nativeos.h"
#include "tempdir.h"

namespace {

using ::testing::ElementsAre;

// The expected files lie in testdata beside this source. With
// VELOR_UPDATE_GOLDEN set the test writes them instead (look at the
// difference before committing them).
std::string Golden(const std::string& name) {
  const char* source = EnvValue("VELOR_SOURCE_DIR");
  return std::string(source != nullptr ? source : ".") + "/src/export/testdata/" + name;
}

// The kind file with its date line (line 4) replaced by a fixed one.
std::string WithFixedDate(const std::string& kind) {
  std::vector<std::string> lines = SplitLines(kind);
  if (lines.size() > 3) lines[3] = ";日付\t\t：2026/12/7";
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  if (EnvValue("VELOR_UPDATE_GOLDEN") != nullptr) {
    WriteFileBytes(Golden(name), actual);
    return;
  }
  std::string expected = ReadFileBytes(Golden(name));
  ASSERT_FALSE(expected.empty()) << Golden(name);
  std::vector<std::string> want = SplitLines(expected), got = SplitLines(actual);
  ASSERT_EQ(got.size(), want.size()) << name;
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << name << " line " << i + 1;
  EXPECT_EQ(actual, expected) << name;
}

TEST(DemoLedger, CorporationMatchesTheExpectedFiles) {
  std::string ledger = ReadDemoLedger();
  ASSERT_FALSE(ledger.empty());
  ExportFiles files = RunExport(ledger, "yamada");
  ASSERT_TRUE(files.ok()) << files.error;
  ExpectGolden("demo-corporation.csv", files.asset);
  ExpectGolden("demo-corporation-syurui.SSC", WithFixedDate(files.kind));
  EXPECT_EQ(files.log, "");
}

TEST(DemoLedger, IndividualWithDataProblemsLogsThemInOrder) {
  std::string ledger = ReadDemoLedger();
  ASSERT_FALSE(ledger.empty());
  ExportFiles files = RunExport(ledger, "aoki");
  ASSERT_TRUE(files.ok()) << files.error;
  const std::string amount =
      Kept("\n＜ERROR＞\n金額｢123456789012｣は、連携可能最大桁数をオーバーしています。");
  EXPECT_THAT(
      LogEntries(files.log),
      ElementsAre(Kept("\n＜WARNING＞\n資産名称｢コンバイン（自脱型・６条刈り・キャビン付き）｣は、\n"
                       "連携可能最大文字数をオーバーしています。\n超過した文字は、自動的に切り捨てられます。"),
                  Kept("\n＜ERROR＞\n資産コード｢21｣は、他の資産コードと重複してしまいます。"),
                  amount, amount, amount));
  // Every asset has its row, the problems notwithstanding.
  EXPECT_EQ(DataRows(files.asset).size(), 8u);
}

}  // namespace
