#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_fixture.h"
#include "winfmt.h"
#include "wintime.h"

namespace {

using ::testing::AnyOf;
using ::testing::ElementsAre;

std::string DateLine(const SYSTEMTIME& t) {
  char line[64];
  _snprintf(line, sizeof line, ";日付\t\t：%d/%d/%d", t.wYear, t.wMonth, t.wDay);
  return line;
}

struct KindRun {
  ExportFiles files;
  std::vector<std::string> lines;
  std::string before, after;  // the date lines of the days around the run
};

KindRun ExportKinds(const std::string& kinds, int entityKind = 1) {
  KindRun run;
  SYSTEMTIME t;
  GetLocalTime(&t);
  run.before = DateLine(t);
  run.files = RunExport(OneCompanyLedger("[]", kinds, entityKind));
  GetLocalTime(&t);
  run.after = DateLine(t);
  EXPECT_TRUE(run.files.ok()) << run.files.error;
  run.lines = SplitLines(run.files.kind);
  return run;
}

// The rows after the 17 header lines.
std::vector<std::string> KindRows(const KindRun& run) {
  if (run.lines.size() <= 17) return {};
  return std::vector<std::string>(run.lines.begin() + 17, run.lines.end());
}

const std::string kRule = ";" + std::string(93, '/');

TEST(KindFile, HeaderOfACorporation) {
  KindRun run = ExportKinds("[]");
  ASSERT_EQ(run.lines.size(), 17u);
  EXPECT_THAT(run.lines[3], AnyOf(run.before, run.after));
  run.lines[3] = "<date>";
  EXPECT_THAT(run.lines,
              ElementsAre(kRule, ";減価償却 資産種類ファイル", ";顧問先\t\t：[0004 法人関与先]",
                          "<date>", ";備考\t\t：", ";", kRule, "", "[Commonlnf]",
                          "SisanSyuruiCDKetasuu=2", "HoujinKojinKubun=1",
                          "Version=25. 0. 0. 0(FILEVERSION=1.1)", "", "[Datalnf]",
                          "SisanSyurui=1", "", "[SisanSyurui]"));
  // Every line ends in CR LF, the last one too; no byte-order mark.
  EXPECT_EQ(run.files.kind.substr(run.files.kind.size() - 15), "[SisanSyurui]\r\n");
  EXPECT_EQ(run.files.kind.substr(0, 2), ";/");
}

TEST(KindFile, EntityKindLines) {
  KindRun individual = ExportKinds("[]", 3);
  ASSERT_EQ(individual.lines.size(), 17u);
  EXPECT_EQ(individual.lines[2], ";顧問先\t\t：[0004 個人関与先]");
  EXPECT_EQ(individual.lines[10], "HoujinKojinKubun=2");
  KindRun other = ExportKinds("[]", 2);
  ASSERT_EQ(other.lines.size(), 17u);
  EXPECT_EQ(other.lines[2], "");
  EXPECT_EQ(other.lines[10], "");
  EXPECT_EQ(ExportKinds("[]", 0).lines.at(10), "HoujinKojinKubun=1");
  EXPECT_EQ(ExportKinds("[]", 4).lines.at(10), "HoujinKojinKubun=2");
}

TEST(KindFile, RowsByKindAndMethod) {
  KindRun run = ExportKinds(Utf8(u8R"([
    {"lKindNo": 1, "szKindName": "X", "nKindMethod": 2},
    {"lKindNo": 9, "szKindName": "繰延", "nKindMethod": 1},
    {"lKindNo": 11, "szKindName": "土地", "nKindMethod": 2},
    {"lKindNo": 10, "szKindName": "一括", "nKindMethod": 4, "lKindResidualRate": 5},
    {"lKindNo": 12, "szKindName": "他", "nKindMethod": 7},
    {"lKindNo": 5, "szKindName": "ABCDEFGHIJKLMN", "nKindMethod": 3},
    {"lKindNo": 100, "szKindName": "あいうえおかき", "nKindMethod": 2},
    {"lKindNo": 9, "szKindName": "a", "nKindMethod": 2},
    {"lKindNo": 3, "szKindName": "b", "nKindMethod": 0}])"));
  EXPECT_THAT(
      KindRows(run),
      ElementsAre(
          "01,X,有形固定資産,償却資産,定額法,除却日まで償却,10,5,申告なし,0.00,100.00,100.00,"
          "100.00,0.00,100.00,該当しない",
          "09,繰延,繰延資産,償却資産,均等償却,除却日まで償却,0,0,申告なし,0.00,100.00,100.00,"
          "100.00,0.00,100.00,該当しない",
          "11,土地,有形固定資産,非償却資産,,,0,0,申告なし,0.00,0.00,0.00,0.00,0.00,0.00,"
          "該当しない",
          "10,一括,有形固定資産,償却資産,一括決算,除却日まで償却,5,10,申告なし,0.00,100.00,"
          "100.00,100.00,0.00,100.00,該当しない",
          "12,他,有形固定資産,償却資産,定率法,除却日まで償却,10,5,,0.00,100.00,100.00,100.00,"
          "0.00,100.00,該当しない",
          "05,ABCDEFGHIJKL,有形固定資産,償却資産,定率法,除却日まで償却,10,5,工具器具及び備品,"
          "0.00,100.00,100.00,100.00,0.00,100.00,該当しない",
          "10,あいうえおか,有形固定資産,償却資産,定額法,除却日まで償却,10,5,,0.00,100.00,"
          "100.00,100.00,0.00,100.00,該当しない",
          "09,a,繰延資産,償却資産,均等償却,除却日まで償却,0,0,申告なし,0.00,100.00,100.00,"
          "100.00,0.00,100.00,該当しない",
          "03,b,有形固定資産,償却資産,定率法,除却日まで償却,10,5,機械及び装置,0.00,100.00,"
          "100.00,100.00,0.00,100.00,該当しない"));
  EXPECT_EQ(run.files.kind.substr(run.files.kind.size() - 2), "\r\n");
}

TEST(KindFile, NameCutDropsAHalfCharacter) {
  // Eleven single bytes and a double-byte character: the name keeps 11.
  KindRun run = ExportKinds(Utf8(u8R"([{"lKindNo": 2, "szKindName": "01234567890あ"}])"));
  ASSERT_EQ(KindRows(run).size(), 1u);
  EXPECT_EQ(KindRows(run)[0].substr(0, 15), "02,01234567890,");
}

}  // namespace
