#include "sqlhoststore.h"

#include <cstring>

#include "sqlfields.h"

namespace {

const char kDataInfoColumns[] =
    "data_id, data_no, szDataName, lTermStart, lTermEnd, data_kind, bEntityKind";

void CopyText(SqlStatement* statement, int column, char* out, size_t size) {
  size_t n = 0;
  const void* bytes = statement->ColumnBytes(column, &n);
  if (n > size - 1) n = size - 1;
  if (n > 0) std::memcpy(out, bytes, n);
  out[n] = '\0';
}

// Fills *info (zeroed first) from a row of kDataInfoColumns.
void FillDataInfo(SqlStatement* statement, StDATAINFO* info) {
  std::memset(info, 0, sizeof *info);
  CopyText(statement, 0, info->szDataID, sizeof info->szDataID);
  info->lDataNo = static_cast<LONG>(statement->ColumnInt(1));
  CopyText(statement, 2, info->szDataName, sizeof info->szDataName);
  info->lTermStart = static_cast<LONG>(statement->ColumnInt(3));
  info->lTermEnd = static_cast<LONG>(statement->ColumnInt(4));
  info->nDataKind = static_cast<int16_t>(statement->ColumnInt(5));
  info->bEntityKind = static_cast<BYTE>(statement->ColumnInt(6));
}

// The walk of one statement over a company's assets.
class StatementWalk : public AssetWalk {
 public:
  explicit StatementWalk(std::unique_ptr<SqlStatement> rows) : rows_(std::move(rows)) {}
  StoreError Next(long long* seq, StKOTEISHISANINFO* asset, StKOTEINENINFO* year, bool* got) override {
    *got = false;
    StoreError error = rows_->Step(got);
    if (!error.ok() || !*got) return error;
    *seq = rows_->ColumnInt(0);
    void* const records[2] = {asset, year};
    ReadSqlFields(rows_.get(), 1, kAssetFields, kAssetFieldCount, records);
    return error;
  }

 private:
  std::unique_ptr<SqlStatement> rows_;
};

// Runs statement (bound) and collects each row of the fields into out.
template <typename Record>
StoreError ReadAll(SqlStatement* statement, const HostField* fields, size_t count,
                   std::vector<Record>* out) {
  out->clear();
  for (;;) {
    bool row = false;
    StoreError error = statement->Step(&row);
    if (!error.ok()) {
      out->clear();
      statement->Reset();
      return error;
    }
    if (!row) break;
    Record record{};
    void* const records[1] = {&record};
    ReadSqlFields(statement, 0, fields, count, records);
    out->push_back(record);
  }
  statement->Reset();
  return {};
}

}  // namespace

SqlHostStore::SqlHostStore(std::unique_ptr<StoreSql> sql) : sql_(std::move(sql)) {}

SqlHostStore::~SqlHostStore() = default;

StoreError SqlHostStore::Kept(const std::string& sql, SqlStatement** statement) {
  for (auto& [text, kept] : kept_) {
    if (text == sql) {
      *statement = kept.get();
      return {};
    }
  }
  std::unique_ptr<SqlStatement> made;
  StoreError error = sql_->Prepare(sql, &made);
  if (!error.ok()) return error;
  *statement = made.get();
  kept_.emplace_back(sql, std::move(made));
  return {};
}

StoreError SqlHostStore::FindUser(const std::string& user, bool* found, long* first, long* selected) {
  *found = false;
  SqlStatement* find = nullptr;
  StoreError error = Kept("SELECT first_selection, selected_data_no FROM users WHERE user_id = ?1", &find);
  if (!error.ok()) return error;
  find->BindBytes(1, user);
  error = find->Step(found);
  if (error.ok() && *found) {
    *first = static_cast<long>(find->ColumnInt(0));
    *selected = static_cast<long>(find->ColumnInt(1));
  }
  find->Reset();
  return error;
}

StoreError SqlHostStore::ListCompanies(std::vector<StDATAINFO>* companies) {
  companies->clear();
  SqlStatement* walk = nullptr;
  StoreError error = Kept(std::string("SELECT ") + kDataInfoColumns +
                              " FROM companies WHERE data_no IS NOT NULL ORDER BY data_no",
                          &walk);
  for (bool row = true; error.ok();) {
    error = walk->Step(&row);
    if (!error.ok() || !row) break;
    companies->emplace_back();
    FillDataInfo(walk, &companies->back());
  }
  if (walk != nullptr) walk->Reset();
  if (!error.ok()) companies->clear();
  return error;
}

StoreError SqlHostStore::FindCompanyByNo(long dataNo, StDATAINFO* info, bool* found) {
  *found = false;
  SqlStatement* find = nullptr;
  StoreError error =
      Kept(std::string("SELECT ") + kDataInfoColumns + " FROM companies WHERE data_no = ?1", &find);
  if (!error.ok()) return error;
  find->BindInt(1, dataNo);
  error = find->Step(found);
  if (error.ok() && *found) FillDataInfo(find, info);
  find->Reset();
  return error;
}

StoreError SqlHostStore::FindCompany(const std::string& dataId, long long* cid, bool* found) {
  *found = false;
  if (dataId.empty()) return {};
  SqlStatement* find = nullptr;
  StoreError error =
      Kept("SELECT cid FROM companies WHERE data_id = ?1 AND data_no IS NOT NULL", &find);
  if (!error.ok()) return error;
  find->BindText(1, dataId);
  error = find->Step(found);
  if (error.ok() && *found) *cid = find->ColumnInt(0);
  find->Reset();
  return error;
}

StoreError SqlHostStore::CountAssets(long long cid, long* count) {
  *count = 0;
  SqlStatement* rows = nullptr;
  StoreError error = Kept("SELECT count(*) FROM assets WHERE cid = ?1", &rows);
  if (!error.ok()) return error;
  rows->BindInt(1, cid);
  bool row = false;
  error = rows->Step(&row);
  if (error.ok() && row) *count = static_cast<long>(rows->ColumnInt(0));
  rows->Reset();
  return error;
}

StoreError SqlHostStore::WalkAssets(long long cid, long from, std::unique_ptr<AssetWalk>* walk) {
  std::unique_ptr<SqlStatement> rows;
  StoreError error = sql_->Prepare("SELECT seq, " + SqlFieldColumns(kAssetFields, kAssetFieldCount, "") +
                                       " FROM assets WHERE cid = ?1 AND seq >= ?2 ORDER BY seq",
                                   &rows);
  if (!error.ok()) return error;
  rows->BindInt(1, cid);
  rows->BindInt(2, from);
  *walk = std::make_unique<StatementWalk>(std::move(rows));
  return {};
}

StoreError SqlHostStore::ReadBreakdowns(long long cid, long long seq, std::vector<StIKKATSUINFO>* lines) {
  SqlStatement* find = nullptr;
  StoreError error = Kept("SELECT " + SqlFieldColumns(kBreakdownFields, kBreakdownFieldCount, "") +
                              " FROM breakdowns WHERE cid = ?1 AND asset_seq = ?2 ORDER BY seq",
                          &find);
  if (!error.ok()) return error;
  find->BindInt(1, cid);
  find->BindInt(2, seq);
  return ReadAll(find, kBreakdownFields, kBreakdownFieldCount, lines);
}

StoreError SqlHostStore::ReadKinds(long long cid, std::vector<StSHISANKUBUNINFO>* kinds) {
  SqlStatement* find = nullptr;
  StoreError error = Kept("SELECT " + SqlFieldColumns(kKindFields, kKindFieldCount, "") +
                              " FROM asset_kinds WHERE cid = ?1 ORDER BY seq",
                          &find);
  if (!error.ok()) return error;
  find->BindInt(1, cid);
  return ReadAll(find, kKindFields, kKindFieldCount, kinds);
}

StoreError SqlHostStore::ReadAppFolder(int type, std::string* folder, bool* found) {
  *found = false;
  folder->clear();
  SqlStatement* find = nullptr;
  StoreError error = Kept("SELECT value FROM host_meta WHERE key = ?1", &find);
  if (!error.ok()) return error;
  find->BindText(1, type == 0 ? "output_folder" : "settings_folder");
  error = find->Step(found);
  if (error.ok() && *found) *folder = find->ColumnString(0);
  find->Reset();
  return error;
}

StoreError SqlHostStore::ReadTextOrder(const std::string& dataId, const std::string& group,
                                       std::string* entries, bool* found) {
  *found = false;
  entries->clear();
  SqlStatement* find = nullptr;
  StoreError error =
      Kept("SELECT entries FROM text_orders WHERE data_id = ?1 AND group_name = ?2", &find);
  if (!error.ok()) return error;
  find->BindText(1, dataId);
  find->BindBytes(2, group);
  error = find->Step(found);
  if (error.ok() && *found) *entries = find->ColumnString(0);
  find->Reset();
  return error;
}

StoreError SqlHostStore::SaveTextOrder(const std::string& dataId, const std::string& group,
                                       const std::string& entries) {
  std::unique_ptr<StoreSql> writer;
  std::unique_ptr<SqlStatement> put;
  StoreError error = OpenWriter(&writer);
  if (error.ok()) {
    error = writer->Prepare(
        "INSERT INTO text_orders(data_id, group_name, entries) VALUES(?1, ?2, ?3)"
        " ON CONFLICT (data_id, group_name) DO UPDATE SET entries = excluded.entries",
        &put);
  }
  if (!error.ok()) return error;
  put->BindText(1, dataId);
  put->BindBytes(2, group);
  put->BindBytes(3, entries);
  bool row = false;
  return put->Step(&row);
}

std::string SqlHostStore::ProductName() {
  SqlStatement* find = nullptr;
  bool found = false;
  std::string name;
  if (Kept("SELECT value FROM host_meta WHERE key = 'product_name'", &find).ok() &&
      find->Step(&found).ok() && found) {
    name = find->ColumnString(0);
  }
  if (find != nullptr) find->Reset();
  return name.empty() || name.size() > kProductNameMax ? kDefaultProductName : name;
}
