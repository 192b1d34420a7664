#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "ClCSVEdit.h"
#include "nativeos.h"
#include "tempdir.h"
#include "testdrives.h"

namespace {

// The whole column-title line.
const char kTitleLine[] =
    ";資産コード,分割コード,資産種類コード,資産種類名,償却方法,資本的支出区分,"
    "本支店コード,部門コード,申告先地域コード,決算書連動先,資産名称,構造名,"
    "細目名,取得年月日,供用年月日,数量,単位,耐用年数,"
    "耐用年数短縮,耐用年数短縮(保証額未満)[圧縮記帳(引当金・積立金)の場合の償却額計算用],耐用年数(地方税計算用),償却率,経過措置,償却期間の月数,"
    "取得価額,圧縮記帳の経理方式,圧縮記帳額,期首圧縮記帳引当金残高,引当金期中取崩額,差引取得価額,"
    "残存価額 率,残存価額(入力),残存価額,残存価額(入力)[圧縮記帳(引当金・積立金)の場合の償却額計算用],残存価額[圧縮記帳(引当金・積立金)の場合の償却額計算用],償却可能限度額 率,"
    "償却可能限度額(入力),償却可能限度額,償却可能限度額(入力)[圧縮記帳(引当金・積立金)の場合の償却額計算用],償却可能限度額[圧縮記帳(引当金・積立金)の場合の償却額計算用],償却月数(入力),償却月数,"
    "相続合併(入力フラグ),期首帳簿価額,期首帳簿価額(償却方法変更・耐用年数短縮・定率法経過措置用),期首帳簿価額(〃)[圧縮記帳(引当金・積立金)の場合の償却額計算用],残存簿価(入力),残存簿価,"
    "改定取得価額(入力),改定取得価額,改定取得価額(入力)[圧縮記帳(引当金・積立金)の場合の償却額計算用],改定取得価額[圧縮記帳(引当金・積立金)の場合の償却額計算用],償却計算の基礎となる額,算出償却額(入力),"
    "算出償却額,期首償却過不足額,増加償却割合,増加償却額(入力),増加償却額,特別償却区分,"
    "摘要条項 条,摘要条項 項,特別償却割合,特別償却金額(入力),特別償却金額,経理処理区分,"
    "当期償却限度額,当期償却額(入力),当期償却額,償却過不足額,償却実施率,事業専用割合(分子),"
    "事業専用割合(分母),除却年月日,除却時の計算方法,除却区分,除売却価額,有姿除却年月日,"
    "有姿除却時の計算方法,有姿除却 処分見込価額,有姿除却(処分)年月日,前期除却区分,期末帳簿価額,期末引当金額,"
    "償却累計額,販売管理費(分子),販売管理費(分母),販売管理費,製造原価(分子),製造原価(分母),"
    "製造原価,営業外費用(分子),営業外費用(分母),営業外費用,償却資産種類,地域移動,"
    "地域移動 地域コード(前回),償却資産資産コード(入力),償却資産資産コード,償却資産用取得価額 入力フラグ,償却資産用取得価額 手入力,種類別明細書取得年月日,"
    "取得年月(入力),取得年月(元号),取得年月,摘要全資産等(1),摘要全資産等(2),摘要減少(1),"
    "摘要減少(2),前回の評価額(入力),前回の評価額,今回の評価額(入力),今回の評価額,課税標準の特例(分子),"
    "課税標準の特例(分母),特例の適用終了年度,増加事由(入力),増加事由,減少事由(入力),減少事由,"
    "減少区分(入力),減少区分,当期減損処理設定,減損年月日(当期),減損損失計上(当期),減損前帳簿価額(当期)(入力),"
    "減損前帳簿価額(当期),減損損失額(当期),減損後帳簿価額(当期),減損後耐用年数(当期)(入力),減損後耐用年数(当期),減損後償却率(当期)(入力),"
    "減損後償却率(当期),減損後残存価額(当期)(入力),減損後残存価額(当期),減損損失累計額(当期),過年度減損処理設定,最終減損年月日(過年度),"
    "減損損失計上(過年度),減損後帳簿価額(過年度),減損損失累計額(過年度),減損後耐用年数(過年度),減損後償却率(過年度)(入力),減損後償却率(過年度),"
    "減損後残存価額(過年度)(入力),減損後残存価額(過年度),減損後改定取得価額(過年度),計算の基礎となる額(過年度)(入力),計算の基礎となる額(過年度),資産グループコード,"
    "経過措置(減損用),耐用年数短縮(減損用),計算用の帳簿価額,計算用の耐用年数,メモ欄上段,メモ欄下段,"
    "\r\n";

// Items back to back from offset 0, filling the record exactly.
void ExpectBackToBack(const StTAFORMAT* format, long count, size_t recordSize) {
  int32_t offset = 0;
  for (long i = 0; i < count; ++i) {
    EXPECT_EQ(format[i].lOffset, offset) << "item " << i;
    EXPECT_LT(std::strlen(format[i].szName), sizeof format[i].szName);
    offset += format[i].lSize;
  }
  EXPECT_EQ(static_cast<size_t>(offset), recordSize);
}

TEST(ExportFormats, ItemsLieBackToBack) {
  ExpectBackToBack(ClG_INFO::s_aFormat, ClG_INFO::kItems, ClG_INFO::kRecordSize);
  ExpectBackToBack(ClG_HEAD::s_aFormat, ClG_HEAD::kItems, ClG_HEAD::kRecordSize);
  ExpectBackToBack(ClG_HEADER::s_aFormat, ClG_HEADER::kItems, ClG_HEADER::kRecordSize);
  ExpectBackToBack(ClG_SSC::s_aFormat, ClG_SSC::kItems, ClG_SSC::kRecordSize);
}

TEST(ExportFormats, TitlesFitTheirSlots) {
  for (long i = 0; i < ClG_HEAD::kItems; ++i) {
    const StTAFORMAT& f = ClG_HEAD::s_aFormat[i];
    size_t length = std::strlen(ClG_HEAD::s_apszTitles[i]);
    EXPECT_LE(length, static_cast<size_t>(f.lWidth)) << i;
    EXPECT_LT(length, static_cast<size_t>(f.lSize)) << i;
  }
}

// Drive C: maps to a temporary folder; the asset file is C:\out\a.csv.
class AssetFileTest : public ::testing::Test {
 protected:
  AssetFileTest() {
    drives_.Add("C:", dir_.path());
    MakeNativeFolders(dir_.Native("out"));
  }
  std::string AssetBytes() const { return ReadFileBytes(dir_.Native("out/a.csv")); }

  // The preamble and title line written for data.
  std::string Preamble(const StDATAINFO& data) {
    ClCSVEdit edit;
    EXPECT_EQ(edit.OpenOutput(ClCSVEdit::OF_ASSET, "C:\\out\\a.csv"), 1);
    StDATAINFO copy = data;
    EXPECT_EQ(edit.WritePreamble(&copy), 1);
    edit.CommitOutput(TRUE);
    return AssetBytes();
  }

  // Data of company name with the fiscal year 2024.
  static StDATAINFO Company(const std::string& name, BYTE kind) {
    StDATAINFO data = {};
    std::memcpy(data.szDataName, name.data(), std::min(name.size(), sizeof data.szDataName));
    data.lTermStart = 20240401;
    data.lTermEnd = 20250331;
    data.bEntityKind = kind;
    return data;
  }

  // Line 3 of a preamble.
  static std::string Line3(const std::string& file) {
    size_t start = 0;
    for (int i = 0; i < 2; ++i) start = file.find("\r\n", start) + 2;
    return file.substr(start, file.find("\r\n", start) - start);
  }

  TempDir dir_;
  TestDrives drives_;
};

TEST_F(AssetFileTest, PreambleAndTitleLine) {
  std::string expected =
      "バージョン=25. 0. 0. 0(FILEVERSION=1.11)\r\n"
      "顧問先コード=\r\n"
      "顧問先名称=株式会社テスト\r\n"
      "法人個人区分=法人\r\n"
      "事業年度開始日=20240401\r\n"
      "事業年度終了日=20250331\r\n";
  EXPECT_EQ(Preamble(Company("株式会社テスト", 1)), expected + kTitleLine);
  std::string file = Preamble(Company("X", 4));
  EXPECT_NE(file.find("\r\n法人個人区分=個人\r\n"), std::string::npos);
  // The title line holds 156 commas, the last one trailing.
  std::string titles = file.substr(file.find(";資産コード"));
  EXPECT_EQ(std::count(titles.begin(), titles.end(), ','), 156);
  EXPECT_EQ(titles.substr(titles.size() - 3), ",\r\n");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 7);
}

TEST_F(AssetFileTest, OtherEntityKindsLeaveLineFourEmpty) {
  for (BYTE kind : {2, 5, 255}) {
    std::string file = Preamble(Company("X", kind));
    EXPECT_NE(file.find("顧問先名称=X\r\n\r\n事業年度開始日="), std::string::npos) << int(kind);
  }
}

TEST_F(AssetFileTest, CompanyNameCutToWholeCharacters) {
  EXPECT_EQ(Line3(Preamble(Company(std::string(141, 'n'), 0))), "顧問先名称=" + std::string(141, 'n'));
  EXPECT_EQ(Line3(Preamble(Company(std::string(142, 'n'), 0))), "顧問先名称=" + std::string(141, 'n'));
  EXPECT_EQ(Line3(Preamble(Company(std::string(259, 'n'), 0))).size(), 152u);
  // Two bytes and 71 double-byte characters: the one on bytes 152 and 153 goes.
  std::string name = "AB";
  for (int i = 0; i < 71; ++i) name += "漢";
  EXPECT_EQ(Line3(Preamble(Company(name, 0))), "顧問先名称=" + name.substr(0, 140));
  // A name filling its field without a terminator ends at the field.
  StDATAINFO full = Company(std::string(260, 'n'), 0);
  full.lTermStart = 0x41414141;  // no text
  EXPECT_EQ(Line3(Preamble(full)).size(), 152u);
}

TEST_F(AssetFileTest, DataRowColumns) {
  ClG_INFO info;
  ClTextFile file;
  ASSERT_EQ(file.Open("C:\\out\\a.csv", ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE), 0);
  file.Attach(&info);
  info.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  info.Clear();
  ASSERT_EQ(info.Write(), 0);
  info.SetCurrency(15, 15000);      // column 16, two decimals: 1.5
  info.SetCurrency(71, 1000000);    // column 72: 100
  info.SetCurrency(72, -2500);      // column 73: -0.25
  info.SetCurrency(21, 2505);       // column 22, three decimals: 0.2505
  info.SetNumber(17, -7);           // column 18, 16-bit
  info.SetNumber(6, 123456789);     // column 7, 32-bit
  info.SetText(0, "0001234567");    // column 1: 8 bytes at most
  info.SetText(68, "************"); // column 69: 12 bytes, no terminator
  info.SetText(69, "77");           // column 70 right behind it
  ASSERT_EQ(info.Write(), 0);
  ASSERT_EQ(file.Close(), 0);

  std::string bytes = AssetBytes();
  std::string cleared = bytes.substr(0, bytes.find("\r\n"));
  EXPECT_EQ(std::count(cleared.begin(), cleared.end(), ','), 155);
  EXPECT_EQ(cleared.substr(0, 12), ",,,,,,0,0,0,");
  std::string row = bytes.substr(bytes.find("\r\n") + 2);
  ASSERT_EQ(row.substr(row.size() - 2), "\r\n");
  row.resize(row.size() - 2);
  std::vector<std::string> columns(1);
  for (char c : row) {
    if (c == ',') {
      columns.emplace_back();
    } else {
      columns.back().push_back(c);
    }
  }
  ASSERT_EQ(columns.size(), 156u);
  EXPECT_EQ(columns[15], "1.50");
  EXPECT_EQ(columns[71], "100.00");
  EXPECT_EQ(columns[72], "-0.25");
  EXPECT_EQ(columns[21], "0.250");
  EXPECT_EQ(columns[17], "-7");
  EXPECT_EQ(columns[6], "123456789");
  EXPECT_EQ(columns[0], "00012345");
  EXPECT_EQ(columns[68], "************");
  EXPECT_EQ(columns[69], "77");
  EXPECT_EQ(columns[85], "0.00");  // an unfilled decimal column
  EXPECT_EQ(columns[1], "");
}

}  // namespace
