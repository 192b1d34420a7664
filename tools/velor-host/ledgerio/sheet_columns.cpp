#include "sheet_columns.h"

#include <cstring>

namespace {

const char* const kMethodCodes =
    UTF8("1:旧定率法,2:旧定額法,3:均等法,4:一括決算,5:定率法,6:定額法,7:少額資産,8:定率法(2)");
const char* const kKindCodes =
    UTF8("1:申告なし,2:構築物,3:機械及び装置,4:申告なし,5:工具器具及び備品,6:申告なし,7:申告なし,8:申告なし,"
         "9:繰延資産,10:残存価額まで,11:非償却資産");

const SheetColumn kCompanyColumns[] = {
    {"data_no", UTF8("データ番号"), CellKind::kInteger, true, UTF8("利用者が選択するデータ番号（重複不可）"), nullptr},
    {"data_id", UTF8("データID"), CellKind::kText, true, UTF8("データ識別子：半角英数字1～15文字（重複不可）"), nullptr},
    {"szDataName", UTF8("会社名"), CellKind::kText, false, UTF8("会社名（ダイアログと資産ファイルに出力）"), nullptr},
    {"lTermStart", UTF8("期首日"), CellKind::kDate, false, UTF8("会計期間の初日"), nullptr},
    {"lTermEnd", UTF8("期末日"), CellKind::kDate, false, UTF8("会計期間の末日"), nullptr},
    {"data_kind", UTF8("データ種別"), CellKind::kInteger, false, UTF8("99は過年度実績データ（出力不可）"), nullptr},
    {"bEntityKind", UTF8("事業体区分"), CellKind::kCode, false, UTF8("法人か個人か"), UTF8("0:法人,1:法人,3:個人,4:個人")},
};

const SheetColumn kUserColumns[] = {
    {"user_id", UTF8("利用者ID"), CellKind::kText, true, UTF8("利用者ID（velor --user）：制御文字、/ と : は不可（重複不可）"), nullptr},
    {"selected_data_no", UTF8("選択データ番号"), CellKind::kInteger, true, UTF8("この利用者が選択している会社のデータ番号"), nullptr},
    {"first_selection", UTF8("初回選択番号"), CellKind::kInteger, false, UTF8("ホストの初回選択番号（出力には使われない）"), nullptr},
};

const SheetColumn kKindColumns[] = {
    {"#data_no", UTF8("データ番号"), CellKind::kInteger, true, UTF8("この資産種類を持つ会社のデータ番号"), nullptr},
    {"lKindNo", UTF8("種類番号"), CellKind::kCode, false, UTF8("資産種類のコード"), kKindCodes},
    {"szKindName", UTF8("種類名"), CellKind::kText, false, UTF8("資産種類の名称（syurui.SSC には12バイト）"), nullptr},
    {"nKindMethod", UTF8("種類の償却方法"), CellKind::kCode, false, UTF8("資産種類の償却方法"),
     UTF8("1:定率法,2:定額法,3:定率法,4:一括償却")},
    {"lKindResidualRate", UTF8("種類の残存割合"), CellKind::kInteger, false, UTF8("残存割合（％、0は通常の10）"), nullptr},
};

const SheetColumn kAssetColumns[] = {
    {"#data_no", UTF8("データ番号"), CellKind::kInteger, true, UTF8("この資産を持つ会社のデータ番号"), nullptr},
    {"szAssetCode", UTF8("資産コード"), CellKind::kText, false, UTF8("半角英数字（ファイルには末尾6文字）"), nullptr},
    {"lKindCode", UTF8("種類コード"), CellKind::kCode, false, UTF8("資産種類のコード"), kKindCodes},
    {"szAssetName", UTF8("資産名"), CellKind::kText, false, UTF8("資産の名称（ファイルには32バイト）"), nullptr},
    {"szQuantity", UTF8("数量"), CellKind::kText, false, UTF8("数量と単位（例：2台）"), nullptr},
    {"szMemo", UTF8("摘要"), CellKind::kText, false, UTF8("摘要（ファイルには40バイト）"), nullptr},
    {"nDisposalKind", UTF8("除売却区分"), CellKind::kCode, false, UTF8("除売却の区分"), UTF8("0:なし,4:売却,5:除却")},
    {"szCapitalExpenditure", UTF8("資本的支出"), CellKind::kText, false, UTF8("資本的支出のとき空でない"), nullptr},
    {"lAcquiredDate", UTF8("取得日"), CellKind::kDate, false, UTF8("取得年月日"), nullptr},
    {"lServiceDate", UTF8("事業供用日"), CellKind::kDate, false, UTF8("事業の用に供した日"), nullptr},
    {"cyAcquisitionCost", UTF8("取得価額"), CellKind::kAmount, false, UTF8("取得価額"), nullptr},
    {"cyCompressionAmount", UTF8("圧縮記帳額"), CellKind::kAmount, false, UTF8("圧縮記帳の額"), nullptr},
    {"cyOpeningBookValue", UTF8("期首帳簿価額"), CellKind::kAmount, false, UTF8("期首の帳簿価額"), nullptr},
    {"nMethod", UTF8("償却方法"), CellKind::kCode, false, UTF8("償却方法のコード"), kMethodCodes},
    {"nUsefulLife", UTF8("耐用年数"), CellKind::kInteger, false, UTF8("耐用年数（年）"), nullptr},
    {"lRate", UTF8("償却率"), CellKind::kInteger, false, UTF8("償却率（千分率：250は0.250）"), nullptr},
    {"lResidualRate", UTF8("残存率"), CellKind::kInteger, false, UTF8("残存価額の率"), nullptr},
    {"bLimitByAmount", UTF8("償却限度の区分"), CellKind::kCode, false, UTF8("償却限度が率か額か"), UTF8("0:率,1:額")},
    {"cyLimit", UTF8("償却限度"), CellKind::kAmount, false, UTF8("償却可能限度（率または額）"), nullptr},
    {"nBusinessRatio", UTF8("事業専用割合"), CellKind::kInteger, false, UTF8("事業専用割合（1万分率：10000は100％）"), nullptr},
    {"nSellingShare", UTF8("販管費割合"), CellKind::kInteger, false, UTF8("販売費及び一般管理費に計上する割合（％）"), nullptr},
    {"nMonthCount", UTF8("償却月数"), CellKind::kInteger, false, UTF8("手入力の償却月数"), nullptr},
    {"nMonthDivisor", UTF8("月数の分母"), CellKind::kInteger, false, UTF8("手入力の月数の分母"), nullptr},
    {"cyResidualValue", UTF8("残存価額"), CellKind::kAmount, false, UTF8("残存価額"), nullptr},
    {"cyDepreciationBase", UTF8("償却基礎額"), CellKind::kAmount, false, UTF8("償却の基礎となる額"), nullptr},
    {"cySellingExpense", UTF8("販管費計上額"), CellKind::kAmount, false, UTF8("販売費及び一般管理費に計上した償却費"), nullptr},
    {"cyManufacturingCost", UTF8("製造原価計上額"), CellKind::kAmount, false, UTF8("製造原価に計上した償却費"), nullptr},
    {"cyAccumulated", UTF8("償却累計額"), CellKind::kAmount, false, UTF8("減価償却累計額"), nullptr},
    {"cyClosingBookValue", UTF8("期末帳簿価額"), CellKind::kAmount, false, UTF8("期末の帳簿価額"), nullptr},
    {"lDisposalDate", UTF8("除売却日"), CellKind::kDate, false, UTF8("除売却の日"), nullptr},
    {"cySalePrice", UTF8("売却価額"), CellKind::kAmount, false, UTF8("売却の価額"), nullptr},
    {"nStatementLink", UTF8("決算書区分"), CellKind::kCode, false, UTF8("連動する決算書"), UTF8("0:指定なし,2:不動産所得,3:農業所得")},
    {"bMonthsEntered", UTF8("月数手入力"), CellKind::kCode, false, UTF8("償却月数を手入力したとき1"), UTF8("0:自動,1:手入力")},
    {"cyRevisedCost", UTF8("改定取得価額"), CellKind::kAmount, false, UTF8("改定取得価額"), nullptr},
    {"bInherited", UTF8("引継区分"), CellKind::kCode, false, UTF8("相続・合併で引き継いだとき1"), UTF8("0:なし,1:引継")},
    {"cyInheritedBookValue", UTF8("引継帳簿価額"), CellKind::kAmount, false, UTF8("引き継いだ帳簿価額"), nullptr},
    {"cyComputedDepreciation", UTF8("普通償却費"), CellKind::kAmount, false, UTF8("当期の普通償却費"), nullptr},
    {"cySpecialDepreciation", UTF8("特別償却費"), CellKind::kAmount, false, UTF8("当期の特別償却費"), nullptr},
    {"cyAdditionalDepreciation", UTF8("割増償却費"), CellKind::kAmount, false, UTF8("当期の割増償却費"), nullptr},
    {"cyEnteredDepreciation", UTF8("手入力償却費"), CellKind::kAmount, false, UTF8("手入力した当期の償却費（0はなし）"), nullptr},
};

const SheetColumn kBreakdownColumns[] = {
    {"#data_no", UTF8("データ番号"), CellKind::kInteger, true, UTF8("資産を持つ会社のデータ番号"), nullptr},
    {"#asset_code", UTF8("資産コード"), CellKind::kText, true, UTF8("この内訳が属する一括償却資産の資産コード（会社内で一意）"),
     nullptr},
    {"szBreakdownName", UTF8("内訳名"), CellKind::kText, false, UTF8("内訳の名称"), nullptr},
    {"lBreakdownDate", UTF8("内訳取得日"), CellKind::kDate, false, UTF8("内訳の取得年月日"), nullptr},
    {"cyBreakdownCost", UTF8("内訳取得価額"), CellKind::kAmount, false, UTF8("内訳の取得価額"), nullptr},
    {"lBreakdownQuantity", UTF8("内訳数量"), CellKind::kInteger, false, UTF8("数量（100分の1単位：150は1.5）"), nullptr},
};

#define SHEET(name, ledger, columns) {name, ledger, columns, sizeof(columns) / sizeof(columns[0])}

}  // namespace

const SheetDef kLedgerSheets[] = {
    SHEET(UTF8("会社"), "companies", kCompanyColumns),   SHEET(UTF8("利用者"), "users", kUserColumns),
    SHEET(UTF8("資産種類"), "asset_kinds", kKindColumns), SHEET(UTF8("資産"), "assets", kAssetColumns),
    SHEET(UTF8("内訳"), "breakdowns", kBreakdownColumns),
};
const size_t kLedgerSheetCount = sizeof(kLedgerSheets) / sizeof(kLedgerSheets[0]);
const char* const kExplanationSheet = UTF8("説明");
const char kDataNoKey[] = "#data_no";
const char kAssetCodeKey[] = "#asset_code";

const SheetDef* FindLedgerSheet(const std::string& name) {
  for (const SheetDef& sheet : kLedgerSheets) {
    if (name == sheet.name) return &sheet;
  }
  return nullptr;
}

const SheetColumn* FindSheetColumn(const SheetDef& sheet, const std::string& title) {
  for (size_t i = 0; i < sheet.count; ++i) {
    if (title == sheet.columns[i].title) return &sheet.columns[i];
  }
  return nullptr;
}

const SheetColumn* SheetColumnOfKey(const SheetDef& sheet, const std::string& key) {
  for (size_t i = 0; i < sheet.count; ++i) {
    if (key == sheet.columns[i].key) return &sheet.columns[i];
  }
  return nullptr;
}

std::string ColumnLetters(size_t index) {
  std::string letters;
  for (size_t n = index + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters;
}
