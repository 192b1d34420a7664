#include "ledger_export.h"

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "cell_values.h"
#include "codepage.h"
#include "hostfields.h"
#include "storesql.h"

namespace {

using nlohmann::json;

// The store column expression of a sheet column's key.
std::string ColumnSql(const char* key) {
  if (key == std::string(kDataNoKey)) return "c.data_no";
  if (key == std::string(kAssetCodeKey)) return "a.szAssetCode";
  return std::string("x.") + key;
}

// The query of a sheet's rows over every company, in the ledger's order.
std::string SheetSql(const SheetDef& sheet, const std::string& where = "") {
  std::string columns;
  for (size_t i = 0; i < sheet.count; ++i) columns += (i ? ", " : "") + ColumnSql(sheet.columns[i].key);
  const std::string ledger = sheet.ledger;
  if (ledger == "companies") return "SELECT " + columns + " FROM companies x " + where + " ORDER BY x.cid";
  if (ledger == "users") return "SELECT " + columns + " FROM users x ORDER BY x.user_id";
  const std::string from = ledger == "breakdowns"
                               ? "breakdowns x JOIN assets a ON a.cid = x.cid AND a.seq = x.asset_seq"
                               : ledger + " x";
  const std::string order = ledger == "breakdowns" ? "x.cid, x.asset_seq, x.seq" : "x.cid, x.seq";
  return "SELECT " + columns + " FROM " + from + " JOIN companies c ON c.cid = x.cid " + where + " ORDER BY " +
         order;
}

// The ledger value of column i of the row of stmt, for a column of def.
json LedgerValue(SqlStatement* stmt, int i, const SheetColumn& def) {
  if (def.kind == CellKind::kText) {
    std::string cp932 = stmt->ColumnString(i);
    std::string utf8;
    if (!Cp932ToUtf8(cp932, &utf8)) utf8 = Cp932ToUtf8Shown(cp932);
    return utf8;
  }
  long long n = stmt->ColumnInt(i);
  if (def.kind == CellKind::kAmount) return AmountText(n);
  return n;
}

// The cell that holds value in a column of def.
OutCell CellOf(const json& value, const SheetColumn& def) {
  OutCell cell;
  if (value.is_string()) {
    const std::string& text = value.get_ref<const std::string&>();
    if (text.empty() || (def.kind == CellKind::kAmount && text == "0")) return cell;
    if (def.kind == CellKind::kAmount) {
      double d = std::strtod(text.c_str(), nullptr);
      if (ShortestDecimal(d) == text) {
        cell.type = OutCell::kNumber;
        cell.number = d;
        return cell;
      }
    }
    cell.type = OutCell::kText;
    cell.text = text;
    return cell;
  }
  long long n = value.get<long long>();
  if (n == 0 && !def.required) return cell;
  if (def.kind == CellKind::kDate) {
    long serial = DateSerial(static_cast<long>(n));
    if (serial != 0) {
      char text[32];
      std::snprintf(text, sizeof text, "%04lld/%02lld/%02lld", n / 10000, n / 100 % 100, n % 100);
      cell.type = OutCell::kDate;
      cell.text = text;
      cell.number = static_cast<double>(serial);
      return cell;
    }
    cell.type = OutCell::kText;  // no calendar date: kept as the number the ledger holds
    cell.text = std::to_string(n);
    return cell;
  }
  cell.type = OutCell::kNumber;
  cell.number = static_cast<double>(n);
  return cell;
}

std::vector<std::string> Titles(const SheetDef& sheet) {
  std::vector<std::string> titles;
  for (size_t i = 0; i < sheet.count; ++i) titles.emplace_back(sheet.columns[i].title);
  return titles;
}

using Statement = std::unique_ptr<SqlStatement>;

// Notes the store's failure in *error; false.
bool Fail(const StoreError& failed, std::string* error) {
  *error = "cannot read the store: " + failed.detail;
  return false;
}

// Steps stmt: true on a row; false at the end or on a failure, which goes
// into *failed.
bool NextRow(SqlStatement* stmt, StoreError* failed) {
  bool row = false;
  StoreError step = stmt->Step(&row);
  if (!step.ok()) *failed = step;
  return step.ok() && row;
}

// Prepares every statement of list; the first failure.
StoreError PrepareAll(StoreSql* sql, std::initializer_list<std::pair<Statement*, std::string>> list) {
  for (const auto& [statement, text] : list) {
    StoreError failed = sql->Prepare(text, statement);
    if (!failed.ok()) return failed;
  }
  return {};
}

// Refuses a store where a breakdown line's asset shares its code: one pass
// over the assets, company by company.
bool LineAssetsUnique(StoreSql* sql, std::string* error) {
  Statement assets;
  StoreError failed = sql->Prepare(
      "SELECT c.data_no, a.szAssetCode, EXISTS (SELECT 1 FROM breakdowns b WHERE b.cid = a.cid AND"
      " b.asset_seq = a.seq) FROM assets a JOIN companies c ON c.cid = a.cid ORDER BY a.cid, a.seq",
      &assets);
  if (!failed.ok()) return Fail(failed, error);
  std::unordered_map<std::string, std::pair<long, bool>> codes;  // uses, a line's asset among them
  long long company = 0;
  bool first = true;
  auto check = [&]() {
    for (const auto& [code, use] : codes) {
      if (use.first < 2 || !use.second) continue;
      *error = "company " + std::to_string(company) + ": the asset code \"" + Cp932ToUtf8Shown(code) +
               "\" of a lump-sum asset with breakdown lines is used by several assets; a sheet names the asset of a"
               " line by its code (export as JSON instead, or give the assets codes of their own)";
      return false;
    }
    codes.clear();
    return true;
  };
  while (NextRow(assets.get(), &failed)) {
    long long dataNo = assets->ColumnInt(0);
    if (!first && dataNo != company && !check()) return false;
    first = false;
    company = dataNo;
    auto& use = codes[assets->ColumnString(1)];
    ++use.first;
    use.second = use.second || assets->ColumnInt(2) != 0;
  }
  if (!failed.ok()) return Fail(failed, error);
  return check();
}

}  // namespace

bool ExportStoreSheets(StoreSql* sql, SheetSink* sink, std::string* error) {
  if (!LineAssetsUnique(sql, error)) return false;
  for (size_t s = 0; s < kLedgerSheetCount; ++s) {
    const SheetDef& sheet = kLedgerSheets[s];
    if (!sink->StartSheet(&sheet, sheet.name, Titles(sheet), error)) return false;
    Statement rows;
    StoreError failed = sql->Prepare(SheetSql(sheet), &rows);
    if (!failed.ok()) return Fail(failed, error);
    std::vector<OutCell> cells(sheet.count);
    while (NextRow(rows.get(), &failed)) {
      for (size_t i = 0; i < sheet.count; ++i) {
        cells[i] = CellOf(LedgerValue(rows.get(), static_cast<int>(i), sheet.columns[i]), sheet.columns[i]);
      }
      if (!sink->AddRow(cells, error)) return false;
    }
    if (!failed.ok()) return Fail(failed, error);
  }
  return sink->Finish(error);
}

bool ExportStoreJson(StoreSql* sql, std::ostream& out, std::string* error) {
  // One record of a row: the keys of its non-zero values.
  auto record = [](SqlStatement* stmt, const SheetDef& sheet, size_t from) {
    json r = json::object();
    for (size_t i = from; i < sheet.count; ++i) {
      const SheetColumn& c = sheet.columns[i];
      json v = LedgerValue(stmt, static_cast<int>(i), c);
      bool zero = v.is_string() ? (v.get<std::string>().empty() || (c.kind == CellKind::kAmount && v == "0")) : v == 0;
      if (!zero || c.required) r[c.key] = std::move(v);
    }
    return r;
  };
  const SheetDef &companies = kLedgerSheets[0], &users = kLedgerSheets[1], &kinds = kLedgerSheets[2],
                 &assets = kLedgerSheets[3], &lines = kLedgerSheets[4];
  Statement userRows, companyRows, kindRows, assetRows, lineRows, assetSeqs;
  StoreError failed = PrepareAll(sql, {{&userRows, SheetSql(users)},
                                       {&companyRows, "SELECT cid, " + SheetSql(companies).substr(7)},
                                       {&kindRows, SheetSql(kinds, "WHERE x.cid = ?1")},
                                       {&assetRows, SheetSql(assets, "WHERE x.cid = ?1")},
                                       {&lineRows, SheetSql(lines, "WHERE x.cid = ?1 AND x.asset_seq = ?2")},
                                       {&assetSeqs, "SELECT seq FROM assets WHERE cid = ?1 ORDER BY seq"}});
  if (!failed.ok()) return Fail(failed, error);
  out << "{\"format\": \"velor-ledger/1\",\n\"users\": [";
  const char* sep = "\n";
  while (NextRow(userRows.get(), &failed)) {
    out << sep << record(userRows.get(), users, 0).dump();
    sep = ",\n";
  }
  out << "],\n\"companies\": [";
  sep = "\n";
  while (failed.ok() && NextRow(companyRows.get(), &failed)) {
    long long cid = companyRows->ColumnInt(0);
    json company = json::object();
    for (size_t i = 0; i < companies.count; ++i) {
      const SheetColumn& c = companies.columns[i];
      json v = LedgerValue(companyRows.get(), static_cast<int>(i + 1), c);
      if (c.required || (v.is_string() ? !v.get<std::string>().empty() : v != 0)) company[c.key] = std::move(v);
    }
    std::string head = company.dump();
    out << sep << head.substr(0, head.size() - 1) << ",\n \"asset_kinds\": [";
    sep = ",\n";
    kindRows->BindInt(1, cid);
    const char* inner = "";
    while (NextRow(kindRows.get(), &failed)) {
      out << inner << record(kindRows.get(), kinds, 1).dump();
      inner = ", ";
    }
    kindRows->Reset();
    out << "],\n \"assets\": [";
    assetRows->BindInt(1, cid);
    assetSeqs->BindInt(1, cid);
    inner = "\n  ";
    while (failed.ok() && NextRow(assetRows.get(), &failed) && NextRow(assetSeqs.get(), &failed)) {
      json asset = record(assetRows.get(), assets, 1);
      lineRows->BindInt(1, cid);
      lineRows->BindInt(2, assetSeqs->ColumnInt(0));
      while (NextRow(lineRows.get(), &failed)) asset["breakdowns"].push_back(record(lineRows.get(), lines, 2));
      lineRows->Reset();
      out << inner << asset.dump();
      inner = ",\n  ";
    }
    assetRows->Reset();
    assetSeqs->Reset();
    out << "]}";
  }
  if (!failed.ok()) return Fail(failed, error);
  out << "]}\n";
  if (!out) {
    *error = "the ledger cannot be written";
    return false;
  }
  return true;
}

bool WriteLedgerTemplate(SheetSink* sink, std::string* error) {
  for (size_t s = 0; s < kLedgerSheetCount; ++s) {
    if (!sink->StartSheet(&kLedgerSheets[s], kLedgerSheets[s].name, Titles(kLedgerSheets[s]), error)) return false;
  }
  if (!sink->StartSheet(nullptr, kExplanationSheet, {UTF8("シート"), UTF8("列名"), UTF8("必須"), UTF8("制限"), UTF8("意味"), UTF8("コード")}, error)) {
    return false;
  }
  for (size_t s = 0; s < kLedgerSheetCount; ++s) {
    const SheetDef& sheet = kLedgerSheets[s];
    for (size_t i = 0; i < sheet.count; ++i) {
      const SheetColumn& c = sheet.columns[i];
      std::string limit;
      const HostField* field = nullptr;
      if (s == 2) field = FindHostField(kKindFields, kKindFieldCount, c.key);
      if (s == 3) field = FindHostField(kAssetFields, kAssetFieldCount, c.key);
      if (s == 4) field = FindHostField(kBreakdownFields, kBreakdownFieldCount, c.key);
      switch (c.kind) {
        case CellKind::kText:
          limit = field != nullptr ? std::to_string(field->size - 1) + UTF8("バイト以内（全角は2バイト）")
                  : c.key == std::string("data_id") ? UTF8("半角英数字15文字以内")
                  : c.key == std::string("szDataName") ? UTF8("259バイト以内（全角は2バイト）")
                  : c.key == std::string("user_id") ? UTF8("64バイト以内（全角は2バイト）")
                                                    : UTF8("資産の資産コード");
          break;
        case CellKind::kInteger:
        case CellKind::kCode:
          limit = field != nullptr && field->type == HF_INT16 ? UTF8("整数 -32768～32767")
                  : field != nullptr && field->type == HF_BYTE ? UTF8("整数 0～255")
                                                               : UTF8("整数 -2147483648～2147483647");
          break;
        case CellKind::kDate:
          limit = UTF8("日付（2025/04/01）");
          break;
        case CellKind::kAmount:
          limit = UTF8("金額：小数4桁まで、±922337203685477.5807以内");
          break;
      }
      std::vector<OutCell> row(6);
      const char* texts[6] = {sheet.name, c.title, c.required ? UTF8("必須") : UTF8("任意"), limit.c_str(), c.meaning,
                              c.codes ? c.codes : ""};
      for (size_t k = 0; k < 6; ++k) {
        row[k].type = *texts[k] ? OutCell::kText : OutCell::kEmpty;
        row[k].text = texts[k];
      }
      if (!sink->AddRow(row, error)) return false;
    }
  }
  return sink->Finish(error);
}
