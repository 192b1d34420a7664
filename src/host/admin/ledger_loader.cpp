#include "ledger_loader.h"

#include <cstdio>
#include <cstring>

#include "codepage.h"
#include "hostcodes.h"
#include "hostfields.h"
#include "hostrecords.h"
#include "messages.h"
#include "sqlfields.h"

using nlohmann::json;

namespace {

// A mistake in one value, thrown by the value readers below.
struct ValueError {
  std::string what;
};

[[noreturn]] void Wrong(const std::string& what) { throw ValueError{what}; }

long long IntValue(const json& v, long long low, long long high) {
  const std::string from = std::to_string(low), to = std::to_string(high);
  if (v.is_number_unsigned()) {
    auto u = v.get<unsigned long long>();
    if (u > static_cast<unsigned long long>(high)) Wrong(Tr("%s is not an integer from %s to %s", {std::to_string(u), from, to}));
    return static_cast<long long>(u);
  }
  if (!v.is_number_integer()) Wrong(Tr("expected an integer from %s to %s", {from, to}));
  long long value = v.get<long long>();
  if (value < low || value > high) Wrong(Tr("%s is not an integer from %s to %s", {std::to_string(value), from, to}));
  return value;
}

// The code page 932 form of the text v: no NUL, at most maxBytes bytes.
std::string TextValue(const json& v, size_t maxBytes) {
  if (!v.is_string()) Wrong(Tr("expected a text"));
  const std::string& utf8 = v.get_ref<const std::string&>();
  if (utf8.find('\0') != std::string::npos) Wrong(Tr("a text may not hold the character U+0000"));
  std::string cp932;
  char32_t bad = 0;
  if (!Utf8ToCp932(utf8, &cp932, &bad)) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad));
    Wrong(Tr("character %s has no code page 932 form", {code}));
  }
  if (cp932.size() > maxBytes) {
    Wrong(Tr("%s bytes in code page 932, at most %s", {std::to_string(cp932.size()), std::to_string(maxBytes)}));
  }
  return cp932;
}

// A currency value times 10,000: a JSON integer or a decimal string with at
// most four fraction digits.
long long CurrencyValue(const json& v) {
  const long long kMax = INT64_MAX / 10000;
  const char* kTooLarge = Tr("the amount times 10,000 does not fit a signed 64-bit integer");
  if (v.is_number_integer() || v.is_number_unsigned()) {
    bool fits = v.is_number_unsigned() ? v.get<unsigned long long>() <= static_cast<unsigned long long>(kMax)
                                       : v.get<long long>() >= -kMax && v.get<long long>() <= kMax;
    if (!fits) Wrong(kTooLarge);
    return v.get<long long>() * 10000;
  }
  if (!v.is_string()) Wrong(Tr("expected a decimal number in a text (\"1500000\") or an integer"));
  const std::string& s = v.get_ref<const std::string&>();
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && s[i] == '-') {
    negative = true;
    ++i;
  }
  // The digits times 10,000 in an unsigned 64-bit value; overflow means the
  // magnitude passed 2^63, which no currency value reaches.
  const unsigned long long kLimit = 9223372036854775808ull;
  unsigned long long value = 0;
  bool overflow = false;
  auto push = [&](int digit) {
    if (value > (kLimit - static_cast<unsigned>(digit)) / 10) overflow = true;
    else value = value * 10 + static_cast<unsigned>(digit);
  };
  size_t whole = 0, fraction = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++whole) push(s[i] - '0');
  if (i < s.size() && s[i] == '.') {
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
      if (++fraction <= 4) push(s[i] - '0');
    }
    if (fraction == 0) whole = 0;
  }
  if (whole == 0 || i != s.size() || fraction > 4) {
    Wrong(Tr("\"%s\" is not a decimal number with at most four fraction digits", {s}));
  }
  for (size_t f = fraction; f < 4; ++f) push(0);
  if (overflow || (!negative && value == kLimit)) Wrong(kTooLarge);
  if (value == kLimit) return INT64_MIN;
  long long magnitude = static_cast<long long>(value);
  return negative ? -magnitude : magnitude;
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Decodes the next character of valid UTF-8 text at i.
char32_t NextChar(const std::string& s, size_t* i) {
  auto b = static_cast<unsigned char>(s[*i]);
  int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
  char32_t c = extra == 0 ? b : b & (0x3F >> extra);
  for (int k = 0; k < extra && *i + 1 < s.size(); ++k) c = (c << 6) | (static_cast<unsigned char>(s[++*i]) & 0x3F);
  ++*i;
  return c;
}

}  // namespace

void LedgerProblems::Add(std::string problem) {
  if (listed.size() < kListed) listed.push_back(std::move(problem));
  ++count;
}

std::string LedgerProblems::Text() const {
  std::string out;
  for (const std::string& p : listed) out += p + "\n";
  if (count > static_cast<long>(listed.size())) {
    out += Tr("... and %s more problems", {std::to_string(count - static_cast<long>(listed.size()))}) + "\n";
  }
  if (!out.empty()) out.pop_back();
  return out;
}

std::string JsonPlaces::Of(const std::string& key) const {
  if (key.empty()) return base_;
  return base_.empty() ? key : base_ + "." + key;
}

std::string LedgerCountsText(const LedgerCounts& c) {
  std::string text = Tr("%s companies, %s users, %s assets, %s breakdown lines, %s asset kinds",
                        {std::to_string(c.companies), std::to_string(c.users), std::to_string(c.assets),
                         std::to_string(c.breakdowns), std::to_string(c.kinds)});
  if (c.replacedCompanies != 0 || c.replacedUsers != 0) {
    text += Tr(" (replacing %s companies and %s users of the store)",
               {std::to_string(c.replacedCompanies), std::to_string(c.replacedUsers)});
  }
  return text;
}

LedgerLoader::LedgerLoader(StoreSql* sql, const LedgerImportOptions& options) : sql_(sql), options_(options) {}

LedgerLoader::~LedgerLoader() {
  Drop();
  if (begun_) sql_->Rollback();
}

void LedgerLoader::Drop() {
  for (Statement* s : {&userInsert_, &userFind_, &userDelete_, &companyNew_, &companyFind_, &companySet_,
                       &kindInsert_, &assetInsert_, &lineInsert_}) {
    s->reset();
  }
}

LedgerLoader::Statement LedgerLoader::Prepare(const std::string& sql) {
  Statement stmt;
  StoreError error = sql_->Prepare(sql, &stmt);
  if (!error.ok()) Problem("", "the store cannot take the ledger: " + error.detail);
  return stmt;
}

bool LedgerLoader::Step(const Statement& stmt) {
  if (!stmt || TransactionLost()) return false;
  bool row = false;
  StoreError error = stmt->Step(&row);
  if (!error.ok()) Problem("", "the store refused the ledger: " + error.detail);
  stmt->Reset();
  return error.ok() && !TransactionLost();
}

int LedgerLoader::Read(SqlStatement* stmt) {
  if (TransactionLost()) return kReadFailed;
  bool row = false;
  StoreError error = stmt->Step(&row);
  if (error.ok()) return row ? kReadRow : kReadDone;
  Problem("", "cannot read the store: " + error.detail);
  TransactionLost();
  return kReadFailed;
}

bool LedgerLoader::TransactionLost() {
  if (lost_ || !begun_ || sql_->InTransaction()) return lost_;
  lost_ = true;
  Problem("", "the store gave up the import's transaction");
  return true;
}

bool LedgerLoader::Begin() {
  StoreError error = sql_->BeginWrite();
  if (!error.ok()) {
    Problem("", "the store cannot be written: " + error.detail);
    return false;
  }
  begun_ = true;
  userInsert_ = Prepare("INSERT INTO users VALUES(?1, ?2, ?3)");
  userFind_ = Prepare("SELECT 1 FROM users WHERE user_id = ?1");
  userDelete_ = Prepare("DELETE FROM users WHERE user_id = ?1");
  companyNew_ = Prepare("INSERT INTO companies DEFAULT VALUES RETURNING cid");
  companyFind_ = Prepare("SELECT cid, data_no FROM companies WHERE (data_no = ?1 OR data_id = ?2) AND cid <> ?3");
  companySet_ = Prepare(
      "UPDATE companies SET data_no = ?1, data_id = ?2, szDataName = ?3, lTermStart = ?4,"
      " lTermEnd = ?5, data_kind = ?6, bEntityKind = ?7 WHERE cid = ?8");
  kindInsert_ = Prepare(SqlInsertSql("asset_kinds", "cid, seq", kKindFields, kKindFieldCount));
  assetInsert_ = Prepare(SqlInsertSql("assets", "cid, seq", kAssetFields, kAssetFieldCount));
  lineInsert_ = Prepare(SqlInsertSql("breakdowns", "cid, asset_seq, seq", kBreakdownFields, kBreakdownFieldCount));
  return ok();
}

void LedgerLoader::Problem(const std::string& place, const std::string& what) {
  problems_.Add(place.empty() ? what : place + ": " + what);
}

// Fills the fields of record (every key must name one of them, or be extra)
// into records at their offsets, noting each wrong value.
void LedgerLoader::Fill(const json& record, const LedgerPlaces& at, const HostField* fields, size_t count,
                        void* const* records, const char* extra) {
  for (auto it = record.begin(); it != record.end(); ++it) {
    const std::string& key = it.key();
    const HostField* f = FindHostField(fields, count, key.c_str());
    if (f == nullptr) {
      if (extra == nullptr || key != extra) Problem(at.Of(key), Tr("unknown key"));
      continue;
    }
    unsigned char* p = static_cast<unsigned char*>(records[f->record]) + f->offset;
    try {
      switch (f->type) {
        case HF_TEXT: {
          std::string text = TextValue(*it, f->size - 1);
          std::memcpy(p, text.data(), text.size());
          p[text.size()] = '\0';
          break;
        }
        case HF_INT16: {
          auto n = static_cast<int16_t>(IntValue(*it, INT16_MIN, INT16_MAX));
          std::memcpy(p, &n, sizeof n);
          break;
        }
        case HF_INT32: {
          auto n = static_cast<int32_t>(IntValue(*it, INT32_MIN, INT32_MAX));
          std::memcpy(p, &n, sizeof n);
          break;
        }
        case HF_BYTE:
          *p = static_cast<unsigned char>(IntValue(*it, 0, 255));
          break;
        case HF_CURRENCY: {
          long long n = CurrencyValue(*it);
          std::memcpy(p, &n, sizeof n);
          break;
        }
      }
    } catch (const ValueError& e) {
      Problem(at.Of(key), e.what);
    }
  }
}

void LedgerLoader::AddUser(const json& v, const LedgerPlaces& at) {
  if (!v.is_object()) return Problem(at.Of(""), Tr("expected an object"));
  for (auto it = v.begin(); it != v.end(); ++it) {
    if (it.key() != "user_id" && it.key() != "selected_data_no" && it.key() != "first_selection") {
      Problem(at.Of(it.key()), Tr("unknown key"));
    }
  }
  std::string id, utf8;
  long long selected = 0, first = 0;
  try {
    if (!v.contains("user_id")) Wrong(Tr("required"));
    id = TextValue(v["user_id"], 64);
    utf8 = v["user_id"].get<std::string>();
    if (id.empty()) Wrong(Tr("must not be empty"));
    for (size_t i = 0; i < utf8.size();) {
      char32_t c = NextChar(utf8, &i);
      if (IsControl(c)) Wrong(Tr("control characters are not allowed"));
      if (c == '/' || c == ':') Wrong(Tr("the characters / and : are not allowed"));
    }
    if (users_.count(id)) Wrong(Tr("\"%s\" is already a user earlier in the ledger", {utf8}));
  } catch (const ValueError& e) {
    Problem(at.Of("user_id"), e.what);
    id.clear();
  }
  for (const char* key : {"selected_data_no", "first_selection"}) {
    try {
      bool required = std::strcmp(key, "selected_data_no") == 0;
      if (!v.contains(key)) {
        if (required) Wrong(Tr("required"));
        continue;
      }
      (required ? selected : first) = IntValue(v[key], INT32_MIN, INT32_MAX);
      if (required) selections_.emplace_back(at.Of(key), selected);
    } catch (const ValueError& e) {
      Problem(at.Of(key), e.what);
    }
  }
  if (id.empty()) return;
  users_.insert(id);
  SqlStatement* find = (options_.replace ? userDelete_ : userFind_).get();
  if (find == nullptr) return;
  find->BindBytes(1, id);
  int rc = Read(find);
  if (options_.replace && rc == kReadDone && sql_->Changes() > 0) ++counts_.replacedUsers;
  find->Reset();
  if (rc == kReadFailed) return;
  if (!options_.replace && rc == kReadRow) {
    return Problem(at.Of("user_id"), Tr("\"%s\" is already a user of the store", {utf8}));
  }
  if (!ok() || !userInsert_) return;
  userInsert_->BindBytes(1, id);
  userInsert_->BindInt(2, selected);
  userInsert_->BindInt(3, first);
  if (Step(userInsert_)) ++counts_.users;
}

long long LedgerLoader::NewCompany() {
  if (!companyNew_ || TransactionLost()) return -1;
  int rc = Read(companyNew_.get());
  long long cid = rc == kReadRow ? companyNew_->ColumnInt(0) : -1;
  companyNew_->Reset();
  if (rc == kReadDone) Problem("", "the store made no company");
  return cid;
}

void LedgerLoader::RemoveCompany(long long cid) {
  for (const char* table : {"breakdowns", "assets", "asset_kinds", "companies"}) {
    Statement remove = Prepare(std::string("DELETE FROM ") + table + " WHERE cid = ?1");
    if (!remove) return;
    remove->BindInt(1, cid);
    Step(remove);
  }
  ++counts_.replacedCompanies;
}

void LedgerLoader::SetCompany(long long cid, const json& c, const LedgerPlaces& at) {
  static const char* const kKeys[] = {"data_no", "data_id", "szDataName", "lTermStart", "lTermEnd",
                                      "data_kind", "bEntityKind"};
  for (auto it = c.begin(); it != c.end(); ++it) {
    bool known = false;
    for (const char* k : kKeys) known = known || it.key() == k;
    if (!known) Problem(at.Of(it.key()), Tr("unknown key"));
  }
  long before = problems_.count;
  auto number = [&](const char* key, long long low, long long high, bool required) -> long long {
    try {
      if (!c.contains(key)) {
        if (required) Wrong(Tr("required"));
        return 0;
      }
      return IntValue(c[key], low, high);
    } catch (const ValueError& e) {
      Problem(at.Of(key), e.what);
      return 0;
    }
  };
  long long dataNo = number("data_no", INT32_MIN, INT32_MAX, true);
  bool noOk = problems_.count == before;
  std::string dataId, name;
  try {
    if (!c.contains("data_id")) Wrong(Tr("required"));
    dataId = TextValue(c["data_id"], 15);
    bool alnum = !dataId.empty();
    for (char ch : dataId) {
      alnum = alnum && ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'));
    }
    if (!alnum) Wrong(Tr("must hold 1 to 15 ASCII letters and digits"));
  } catch (const ValueError& e) {
    Problem(at.Of("data_id"), e.what);
    dataId.clear();
  }
  try {
    if (c.contains("szDataName")) name = TextValue(c["szDataName"], sizeof(StDATAINFO::szDataName) - 1);
  } catch (const ValueError& e) {
    Problem(at.Of("szDataName"), e.what);
  }
  long long termStart = number("lTermStart", INT32_MIN, INT32_MAX, false);
  long long termEnd = number("lTermEnd", INT32_MIN, INT32_MAX, false);
  long long kind = number("data_kind", INT16_MIN, INT16_MAX, false);
  long long entity = number("bEntityKind", 0, 255, false);
  if (noOk && !dataNos_.insert(dataNo).second) {
    Problem(at.Of("data_no"), Tr("%s is used by an earlier company of the ledger", {std::to_string(dataNo)}));
    noOk = false;
  }
  if (!dataId.empty() && !dataIds_.insert(dataId).second) {
    Problem(at.Of("data_id"), Tr("\"%s\" is used by an earlier company of the ledger", {dataId}));
    dataId.clear();
  }
  // The store's companies of this number or ID: replaced (by number) or refused.
  SqlStatement* find = companyFind_.get();
  while (find != nullptr && noOk && !dataId.empty()) {
    find->BindInt(1, dataNo);
    find->BindText(2, dataId);
    find->BindInt(3, cid);
    int rc = Read(find);
    bool clash = rc == kReadRow;
    long long other = clash ? find->ColumnInt(0) : 0;
    bool sameNo = clash && find->ColumnInt(1) == dataNo;
    find->Reset();
    if (!clash) break;
    if (sameNo && options_.replace) {
      long problemsBefore = problems_.count;
      RemoveCompany(other);
      if (problems_.count == problemsBefore) continue;
      break;
    }
    if (sameNo) Problem(at.Of("data_no"), Tr("%s is already in the store", {std::to_string(dataNo)}));
    else Problem(at.Of("data_id"), Tr("\"%s\" is already in the store", {dataId}));
    break;
  }
  if (problems_.count != before || !ok() || cid < 0 || !companySet_) return;
  SqlStatement* s = companySet_.get();
  s->BindInt(1, dataNo);
  s->BindText(2, dataId);
  s->BindBytes(3, name);
  s->BindInt(4, termStart);
  s->BindInt(5, termEnd);
  s->BindInt(6, kind);
  s->BindInt(7, entity);
  s->BindInt(8, cid);
  if (Step(companySet_)) ++counts_.companies;
}

bool LedgerLoader::Insert(const Statement& stmt, std::initializer_list<long long> keys, const json& v,
                          const LedgerPlaces& at, const HostField* fields, size_t count, void* const* records,
                          const char* extra) {
  if (!v.is_object()) {
    Problem(at.Of(""), Tr("expected an object"));
    return false;
  }
  Fill(v, at, fields, count, records, extra);
  if (!ok() || !stmt) return false;
  int parameter = 1;
  for (long long key : keys) stmt->BindInt(parameter++, key);
  BindSqlFields(stmt.get(), parameter, fields, count, records);
  return Step(stmt);
}

void LedgerLoader::AddKind(long long cid, long seq, const json& v, const LedgerPlaces& at) {
  StSHISANKUBUNINFO kind{};
  void* const records[1] = {&kind};
  if (Insert(kindInsert_, {cid, seq}, v, at, kKindFields, kKindFieldCount, records, nullptr)) ++counts_.kinds;
}

void LedgerLoader::AddAsset(long long cid, long seq, const json& v, const LedgerPlaces& at) {
  StKOTEISHISANINFO asset{};
  StKOTEINENINFO year{};
  void* const records[2] = {&asset, &year};
  if (Insert(assetInsert_, {cid, seq}, v, at, kAssetFields, kAssetFieldCount, records, "breakdowns")) {
    ++counts_.assets;
  }
  // Known once the asset's values were read, even when the store refused it,
  // so that its lines are judged as the asset is.
  if (asset.nMethod == kMethodLumpSum) lumpSums_.insert({cid, seq});
}

void LedgerLoader::AddBreakdown(long long cid, long assetSeq, long seq, const json& v, const LedgerPlaces& at) {
  // Once an asset; the line's own values are checked all the same.
  if (lumpSums_.count({cid, assetSeq}) == 0 && seq == 0) {
    Problem(at.Of(""), Tr("breakdown lines belong to lump-sum assets (nMethod %s) only",
                          {std::to_string(kMethodLumpSum)}));
  }
  StIKKATSUINFO line{};
  void* const records[1] = {&line};
  if (Insert(lineInsert_, {cid, assetSeq, seq}, v, at, kBreakdownFields, kBreakdownFieldCount, records, nullptr)) {
    ++counts_.breakdowns;
  }
}

bool LedgerLoader::Finish() {
  if (begun_ && !options_.anySelection) {
    // A user's selection names company data of this ledger or of the store.
    Statement company = Prepare("SELECT 1 FROM companies WHERE data_no = ?1");
    for (const auto& [place, dataNo] : selections_) {
      if (!company || dataNos_.count(dataNo)) continue;
      company->BindInt(1, dataNo);
      int rc = Read(company.get());
      company->Reset();
      if (rc == kReadDone) Problem(place, Tr("no company data set has the number %s", {std::to_string(dataNo)}));
    }
  }
  if (!begun_) return false;
  begun_ = false;
  // The statements end before the transaction does.
  Drop();
  if (ok() && !options_.dryRun && !TransactionLost()) {
    StoreError error = sql_->Commit();
    if (error.ok()) return true;
    Problem("", "the store cannot be written: " + error.detail);
  }
  sql_->Rollback();
  return ok();
}
