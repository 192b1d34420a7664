#include "ledger_generate.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "hostcodes.h"
#include "hostrecords.h"
#include "sqlfields.h"
#include "storesql.h"

namespace {

// Asset names (code page 932) with the kind code they belong to.
struct NameKind {
  const char* name;
  int kind;
};
const NameKind kNames[] = {
    {"事務所棟", 1}, {"工場建屋", 1}, {"倉庫", 1},     {"駐車場舗装", 2}, {"フェンス", 2},
    {"旋盤", 3},     {"プレス機", 3}, {"溶接機", 3},   {"営業車", 4},     {"トラック", 4},
    {"複合機", 5},   {"パソコン", 5}, {"応接セット", 5}, {"金型", 5},     {"業務ソフト", 6},
    {"開発費", kKindDeferred}, {"土地", kKindNonDepreciable},
};
const char* const kUnits[] = {"台", "式", "個", "基", "組"};
const char* const kLineNames[] = {"事務机", "書庫", "椅子", "プリンター", "工具", "棚"};

void SetText(char* field, size_t size, const std::string& text) {
  size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

// The asset code of asset i: its number in six digits while they suffice,
// else six base-36 characters.
std::string AssetCode(long i) {
  char code[16];
  unsigned long n = static_cast<unsigned long>(i) + 1;
  if (n <= 999999) {
    std::snprintf(code, sizeof code, "%lu", n);
    return code;
  }
  const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int k = 5; k >= 0; --k, n /= 36) code[k] = digits[n % 36];
  code[6] = '\0';
  return code;
}

LONG Date(int year, int month, int day) { return year * 10000 + month * 100 + day; }

using Statement = std::unique_ptr<SqlStatement>;

// Runs stmt and resets it; false with *error when the store refuses.
bool Step(SqlStatement* stmt, std::string* error) {
  bool row = false;
  StoreError failed = stmt->Step(&row);
  stmt->Reset();
  if (failed.ok()) return true;
  *error = "the store refused the data: " + failed.detail;
  return false;
}

// Prepares sql into *stmt; false with *error when the store refuses.
bool Prepare(StoreSql* sql, const std::string& text, Statement* stmt, std::string* error) {
  StoreError failed = sql->Prepare(text, stmt);
  if (!failed.ok()) *error = failed.detail;
  return failed.ok();
}

// A number from low to high inclusive.
long Pick(std::mt19937& random, long low, long high) {
  return std::uniform_int_distribution<long>(low, high)(random);
}

// The company of the generated ledger, numbered after the last one; its
// internal number in *cid.
bool InsertCompany(StoreSql* sql, GeneratedCompany* made, long long* cid, std::string* error) {
  Statement next, company;
  bool row = false;
  if (!Prepare(sql, "SELECT coalesce(max(data_no), 0) + 1 FROM companies", &next, error)) return false;
  StoreError failed = next->Step(&row);
  if (!failed.ok() || !row) {
    *error = failed.ok() ? "the store gave no data number" : failed.detail;
    return false;
  }
  made->dataNo = static_cast<long>(next->ColumnInt(0));
  made->dataId = "GEN" + std::to_string(made->dataNo);
  std::string name = "株式会社ベンチ製作所" + std::to_string(made->dataNo);
  if (!Prepare(sql, "INSERT INTO companies(data_no, data_id, szDataName, lTermStart, lTermEnd,"
                    " data_kind, bEntityKind) VALUES(?1, ?2, ?3, 20250401, 20260331, 0, 1) RETURNING cid",
               &company, error)) {
    return false;
  }
  company->BindInt(1, made->dataNo);
  company->BindText(2, made->dataId);
  company->BindBytes(3, name);
  failed = company->Step(&row);
  if (!failed.ok() || !row) {
    *error = "the store refused the data: " + (failed.ok() ? std::string("no company made") : failed.detail);
    return false;
  }
  *cid = company->ColumnInt(0);
  return true;
}

// The asset kinds of the company.
bool InsertKinds(StoreSql* sql, long long cid, std::string* error) {
  Statement kind;
  if (!Prepare(sql, SqlInsertSql("asset_kinds", "cid, seq", kKindFields, kKindFieldCount), &kind, error)) {
    return false;
  }
  const int kinds[] = {1, 2, 3, 4, 5, 6, kKindDeferred, kKindLimitIsResidual, kKindNonDepreciable};
  const char* const kindNames[] = {"建物", "構築物", "機械装置", "車両運搬具", "工具器具備品",
                                   "ソフトウェア", "繰延資産", "一括償却資産", "土地"};
  for (int k = 0; k < 9; ++k) {
    StSHISANKUBUNINFO record{};
    record.lKindNo = kinds[k];
    SetText(record.szKindName, sizeof record.szKindName, kindNames[k]);
    record.nKindMethod = kinds[k] == kKindLimitIsResidual ? kMethodLumpSum
                         : kinds[k] == kKindDeferred      ? kMethodEqual
                                                          : kMethodOldDeclining;
    const void* const in[1] = {&record};
    kind->BindInt(1, cid);
    kind->BindInt(2, k);
    BindSqlFields(kind.get(), 3, kKindFields, kKindFieldCount, in);
    if (!Step(kind.get(), error)) return false;
  }
  return true;
}

// Fills asset i and its year's figures. One asset in 40 is a lump-sum asset
// (method 4); the rest spread over the other method codes.
void FillAsset(std::mt19937& random, long i, StKOTEISHISANINFO* out, StKOTEINENINFO* year) {
  static const int16_t methods[] = {kMethodOldDeclining, kMethodOldStraight, kMethodEqual,
                                    kMethodDeclining,    kMethodStraight,    kMethodSmall,
                                    kMethodDeclining2012};
  StKOTEISHISANINFO& a = *out;
  const NameKind& nk = kNames[Pick(random, 0, sizeof kNames / sizeof kNames[0] - 1)];
  int16_t method = i % 40 == 3 ? kMethodLumpSum : methods[Pick(random, 0, 6)];
  SetText(a.szAssetCode, sizeof a.szAssetCode, AssetCode(i));
  a.lKindCode = method == kMethodLumpSum ? kKindLimitIsResidual : nk.kind;
  SetText(a.szAssetName, sizeof a.szAssetName,
          std::string(method == kMethodLumpSum ? "一括償却資産" : nk.name) + " " + std::to_string(i + 1));
  SetText(a.szQuantity, sizeof a.szQuantity,
          std::to_string(Pick(random, 1, 20)) +
              kUnits[Pick(random, 0, sizeof kUnits / sizeof kUnits[0] - 1)]);
  int yearOf = static_cast<int>(Pick(random, 1995, 2025));
  a.lAcquiredDate = Date(yearOf, static_cast<int>(Pick(random, 1, 12)),
                         static_cast<int>(Pick(random, 1, 28)));
  a.lServiceDate = a.lAcquiredDate;
  long long cost = method == kMethodSmall ? Pick(random, 10, 299) * 1000
                                          : Pick(random, 100, 500000) * 1000;
  a.cyAcquisitionCost.int64 = cost * 10000;
  a.nMethod = method;
  a.nUsefulLife = static_cast<int16_t>(method == kMethodSmall ? 0 : Pick(random, 2, 40));
  a.lRate = method == kMethodSmall ? 0 : 1000 / (a.nUsefulLife ? a.nUsefulLife : 1);
  if (method == kMethodOldDeclining || method == kMethodOldStraight) {
    a.lResidualRate = 10;
    a.cyResidualValue.int64 = cost * 1000;
  }
  a.nBusinessRatio = 10000;
  a.nSellingShare = static_cast<int16_t>(Pick(random, 0, 10) * 10);
  long long opening = cost * static_cast<long long>(Pick(random, 5, 100)) / 100;
  long long depreciation = a.lRate ? opening * a.lRate / 1000 : 0;
  if (method == kMethodSmall) depreciation = cost, opening = cost;
  a.cyOpeningBookValue.int64 = opening * 10000;
  a.cyDepreciationBase.int64 = opening * 10000;
  a.cySellingExpense.int64 = depreciation * a.nSellingShare / 100 * 10000;
  a.cyManufacturingCost.int64 = depreciation * 10000 - a.cySellingExpense.int64;
  a.cyAccumulated.int64 = (cost - opening + depreciation) * 10000;
  a.cyClosingBookValue.int64 = (opening - depreciation) * 10000;
  year->cyComputedDepreciation.int64 = depreciation * 10000;
}

// The breakdown lines of the lump-sum asset i, acquired on acquired.
bool InsertLines(SqlStatement* line, std::mt19937& random, long long cid, long i,
                 LONG acquired, GeneratedCompany* made, std::string* error) {
  long count = Pick(random, 1, 6);
  for (long k = 0; k < count; ++k) {
    StIKKATSUINFO b{};
    SetText(b.szBreakdownName, sizeof b.szBreakdownName,
            kLineNames[Pick(random, 0, sizeof kLineNames / sizeof kLineNames[0] - 1)]);
    b.lBreakdownDate = acquired;
    b.cyBreakdownCost.int64 = Pick(random, 10, 199) * 1000 * 10000;
    b.lBreakdownQuantity = static_cast<LONG>(Pick(random, 1, 10) * 100);
    const void* const lineIn[1] = {&b};
    line->BindInt(1, cid);
    line->BindInt(2, i);
    line->BindInt(3, k);
    BindSqlFields(line, 4, kBreakdownFields, kBreakdownFieldCount, lineIn);
    if (!Step(line, error)) return false;
    ++made->breakdowns;
  }
  return true;
}

bool Generate(StoreSql* sql, long assets, uint32_t seed, GeneratedCompany* made, std::string* error) {
  std::mt19937 random(seed);
  long long cid = 0;
  if (!InsertCompany(sql, made, &cid, error) || !InsertKinds(sql, cid, error)) return false;
  Statement asset, line, user;
  if (!Prepare(sql, SqlInsertSql("assets", "cid, seq", kAssetFields, kAssetFieldCount), &asset, error) ||
      !Prepare(sql, SqlInsertSql("breakdowns", "cid, asset_seq, seq", kBreakdownFields, kBreakdownFieldCount),
               &line, error)) {
    return false;
  }
  for (long i = 0; i < assets; ++i) {
    StKOTEISHISANINFO a{};
    StKOTEINENINFO y{};
    FillAsset(random, i, &a, &y);
    const void* const in[2] = {&a, &y};
    asset->BindInt(1, cid);
    asset->BindInt(2, i);
    BindSqlFields(asset.get(), 3, kAssetFields, kAssetFieldCount, in);
    if (!Step(asset.get(), error)) return false;
    if (a.nMethod != kMethodLumpSum) continue;
    ++made->lumpSums;
    if (!InsertLines(line.get(), random, cid, i, a.lAcquiredDate, made, error)) return false;
  }
  if (!Prepare(sql, "INSERT INTO users VALUES(?2, ?1, 0)"
                    " ON CONFLICT(user_id) DO UPDATE SET selected_data_no = excluded.selected_data_no",
               &user, error)) {
    return false;
  }
  user->BindInt(1, made->dataNo);
  user->BindBytes(2, std::string("bench"));
  return Step(user.get(), error);
}

}  // namespace

bool GenerateCompany(StoreSql* sql, long assets, uint32_t seed, GeneratedCompany* made,
                     std::string* error) {
  *made = GeneratedCompany{};
  if (assets < 0 || assets > 0xFFFFFFF) {
    *error = "the number of assets must be from 0 to 268435455";
    return false;
  }
  StoreError failed = sql->BeginWrite();
  if (failed.ok()) {
    if (!Generate(sql, assets, seed, made, error)) {
      sql->Rollback();
      return false;
    }
    failed = sql->Commit();
  }
  if (!failed.ok()) {
    *error = failed.detail;
    sql->Rollback();
  }
  return failed.ok();
}
