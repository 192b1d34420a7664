#include "sheet_ledger.h"

#include <map>
#include <set>
#include <unordered_map>
#include <utility>

#include "messages.h"

namespace {

using nlohmann::json;

// The cell of (sheet, row, column) for messages: UTF8("資産 row 14, column D (取得日)").
std::string CellPlace(const SheetDef& sheet, long row, size_t column, const char* title) {
  return Tr("%s row %s, column %s (%s)", {sheet.name, std::to_string(row), ColumnLetters(column), title});
}

// The places of one row's values.
class RowPlaces : public LedgerPlaces {
 public:
  RowPlaces(const SheetDef& sheet, long row, const std::vector<const SheetColumn*>& columns,
            const std::vector<SheetCell>& cells)
      : sheet_(sheet), row_(row), columns_(columns), cells_(cells) {}

  std::string Of(const std::string& key) const override {
    std::string at = Tr("%s row %s", {sheet_.name, std::to_string(row_)});
    if (key.empty()) return at;
    for (size_t i = 0; i < columns_.size(); ++i) {
      if (columns_[i] == nullptr || key != columns_[i]->key) continue;
      std::string shown = i < cells_.size() ? cells_[i].text : std::string();
      return CellPlace(sheet_, row_, i, columns_[i]->title) + Tr(", value \"%s\"", {shown});
    }
    const SheetColumn* column = SheetColumnOfKey(sheet_, key);
    return at + Tr(", column %s", {column != nullptr ? column->title : key});
  }

 private:
  const SheetDef& sheet_;
  long row_;
  const std::vector<const SheetColumn*>& columns_;
  const std::vector<SheetCell>& cells_;
};

class SheetReader {
 public:
  SheetReader(SheetSource& book, LedgerLoader* loader) : book_(book), loader_(loader) {}

  void Read() {
    std::vector<std::string> names = book_.SheetNames();
    bool any = false;
    for (const std::string& name : names) {
      if (FindLedgerSheet(name) != nullptr) {
        any = true;
      } else if (name != kExplanationSheet) {
        std::string known;
        for (size_t i = 0; i < kLedgerSheetCount; ++i) known += std::string(i ? ", " : "") + kLedgerSheets[i].name;
        loader_->Problem(name, Tr("unknown sheet; the sheets are %s (and %s)", {known, kExplanationSheet}));
      }
    }
    if (!any) return loader_->Problem("", Tr("no ledger sheet found: the template shows the sheets and their columns"));
    for (size_t i = 0; i < kLedgerSheetCount; ++i) {
      for (const std::string& name : names) {
        if (name == kLedgerSheets[i].name) ReadOne(kLedgerSheets[i]);
      }
    }
  }

 private:
  void ReadOne(const SheetDef& sheet) {
    sheet_ = &sheet;
    columns_.clear();
    titled_.clear();
    untitled_.clear();
    sawTitles_ = false;
    dataRows_ = 0;
    std::string error;
    bool read = book_.ReadSheet(
        sheet.name, [&](long row, std::vector<SheetCell>& cells) { Row(row, cells); }, &error);
    if (!read) loader_->Problem(sheet.name, error);
    if (!sawTitles_ || dataRows_ == 0) return;
    for (size_t i = 0; i < sheet.count; ++i) {
      bool present = false;
      for (const SheetColumn* c : columns_) present = present || c == &sheet.columns[i];
      if (sheet.columns[i].required && !present) {
        loader_->Problem(sheet.name, Tr("the required column %s is missing", {sheet.columns[i].title}));
      }
    }
  }

  static bool Blank(const SheetCell& cell) { return cell.type == SheetCell::kEmpty || cell.text.empty(); }

  void Titles(long row, const std::vector<SheetCell>& cells) {
    sawTitles_ = true;
    if (row != 1) loader_->Problem(sheet_->name, Tr("row 1 must hold the column titles"));
    for (size_t i = 0; i < cells.size(); ++i) {
      const SheetColumn* column = nullptr;
      if (!Blank(cells[i])) {
        column = FindSheetColumn(*sheet_, cells[i].text);
        std::string at = Tr("%s row %s", {sheet_->name, std::to_string(row)}) + Tr(", column %s", {ColumnLetters(i)});
        if (column == nullptr) {
          loader_->Problem(at, Tr("unknown column title \"%s\"", {cells[i].text}));
        } else {
          for (const SheetColumn* c : columns_) {
            if (c == column) loader_->Problem(at, Tr("the column %s is there twice", {cells[i].text}));
          }
        }
      }
      columns_.push_back(column);
      titled_.push_back(!Blank(cells[i]));
    }
  }

  void Row(long row, std::vector<SheetCell>& cells) {
    bool blank = true;
    for (const SheetCell& cell : cells) blank = blank && Blank(cell);
    if (blank) return;
    if (!sawTitles_) return Titles(row, cells);
    ++dataRows_;
    json record = json::object();
    long long dataNo = 0;
    bool hasDataNo = false;
    std::string assetCode;
    bool hasAssetCode = false;
    const bool date1904 = book_.Date1904();
    RowPlaces places(*sheet_, row, columns_, cells);
    for (size_t i = 0; i < cells.size(); ++i) {
      if (Blank(cells[i])) continue;
      const SheetColumn* column = i < columns_.size() ? columns_[i] : nullptr;
      if (column == nullptr) {
        // A column of an unknown title is reported once, at its title.
        bool titled = i < titled_.size() && titled_[i];
        if (!titled && untitled_.insert(i).second) {
          loader_->Problem(Tr("%s row %s", {sheet_->name, std::to_string(row)}) + Tr(", column %s", {ColumnLetters(i)}),
                           Tr("a value in a column without a title: \"%s\"", {cells[i].text}));
        }
        continue;
      }
      json value;
      std::string problem;
      if (!CellToLedger(cells[i], column->kind, date1904, &value, &problem)) {
        loader_->Problem(places.Of(column->key), problem);
        continue;
      }
      if (column->key == std::string(kDataNoKey)) {
        dataNo = value.get<long long>();
        hasDataNo = true;
      } else if (column->key == std::string(kAssetCodeKey)) {
        assetCode = value.get<std::string>();
        hasAssetCode = true;
      } else {
        record[column->key] = std::move(value);
      }
    }
    Deliver(record, places, hasDataNo, dataNo, hasAssetCode, assetCode);
  }

  void Deliver(const json& record, const RowPlaces& places, bool hasDataNo, long long dataNo, bool hasAssetCode,
               const std::string& assetCode) {
    const std::string ledger = sheet_->ledger;
    if (ledger == "companies") {
      long long cid = loader_->NewCompany();
      loader_->SetCompany(cid, record, places);
      auto no = record.find("data_no");
      if (no != record.end() && no->is_number_integer()) companies_.emplace(no->get<long long>(), cid);
      return;
    }
    if (ledger == "users") return loader_->AddUser(record, places);
    if (!hasDataNo) return loader_->Problem(places.Of(kDataNoKey), Tr("required"));
    auto company = companies_.find(dataNo);
    if (company == companies_.end()) {
      return loader_->Problem(places.Of(kDataNoKey),
                              Tr("no company of the sheet %s has this data number", {kLedgerSheets[0].name}));
    }
    long long cid = company->second;
    if (ledger == "asset_kinds") return loader_->AddKind(cid, kinds_[cid]++, record, places);
    if (ledger == "assets") {
      long seq = assets_[cid]++;
      loader_->AddAsset(cid, seq, record, places);
      auto code = record.find("szAssetCode");
      std::string text = code != record.end() && code->is_string() ? code->get<std::string>() : std::string();
      auto [at, added] = codes_[cid].emplace(text, seq);
      if (!added) at->second = -1;
      return;
    }
    if (!hasAssetCode) return loader_->Problem(places.Of(kAssetCodeKey), Tr("required"));
    auto& codes = codes_[cid];
    auto asset = codes.find(assetCode);
    if (asset == codes.end()) {
      return loader_->Problem(places.Of(kAssetCodeKey),
                              Tr("no asset of this company on the sheet %s has this code", {kLedgerSheets[3].name}));
    }
    if (asset->second < 0) {
      return loader_->Problem(places.Of(kAssetCodeKey),
                              Tr("several assets of this company have this code; a breakdown line needs a unique one"));
    }
    loader_->AddBreakdown(cid, asset->second, lines_[{cid, asset->second}]++, record, places);
  }

  SheetSource& book_;
  LedgerLoader* loader_;
  const SheetDef* sheet_ = nullptr;
  std::vector<const SheetColumn*> columns_;  // by column index; null: untitled or unknown
  bool sawTitles_ = false;
  long dataRows_ = 0;
  std::map<long long, long long> companies_;  // data number -> company handle
  std::map<long long, long> kinds_, assets_;  // company handle -> next number
  std::map<long long, std::unordered_map<std::string, long>> codes_;  // asset code -> number, -1 shared
  std::map<std::pair<long long, long>, long> lines_;
  std::vector<bool> titled_;                 // by column index: a title is there
  std::set<size_t> untitled_;                // untitled columns whose values were reported
};

}  // namespace

void ReadSheetLedger(SheetSource& book, LedgerLoader* loader) { SheetReader(book, loader).Read(); }
