#include "ledger_import.h"

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <vector>

#include "codepage.h"
#include "crtio.h"
#include "hostcodes.h"
#include "hostfields.h"
#include "hostrecords.h"
#include "hoststore.h"

using nlohmann::json;

namespace {

constexpr const char* kFormat = "velor-ledger/1";

std::string Join(const std::string& place, const std::string& key) {
  return place.empty() ? key : place + "." + key;
}

std::string Indexed(const std::string& place, long index) {
  return place + "[" + std::to_string(index) + "]";
}

// A refusal: the place and the problem, thrown to end the import.
struct LedgerError {
  std::string message;
};

[[noreturn]] void Fail(const std::string& place, const std::string& problem) {
  throw LedgerError{place.empty() ? problem : place + ": " + problem};
}

long long IntValue(const json& v, const std::string& place, long long low, long long high) {
  std::string range = "an integer from " + std::to_string(low) + " to " + std::to_string(high);
  if (v.is_number_unsigned()) {
    auto u = v.get<unsigned long long>();
    if (u > static_cast<unsigned long long>(high)) Fail(place, std::to_string(u) + " is not " + range);
    return static_cast<long long>(u);
  }
  if (!v.is_number_integer()) Fail(place, "expected " + range);
  long long value = v.get<long long>();
  if (value < low || value > high) Fail(place, std::to_string(value) + " is not " + range);
  return value;
}

// The code page 932 form of the text v: no NUL, at most maxBytes bytes.
std::string TextValue(const json& v, const std::string& place, size_t maxBytes) {
  if (!v.is_string()) Fail(place, "expected a text");
  const std::string& utf8 = v.get_ref<const std::string&>();
  if (utf8.find('\0') != std::string::npos) Fail(place, "a text may not hold the character U+0000");
  std::string cp932;
  char32_t bad = 0;
  if (!Utf8ToCp932(utf8, &cp932, &bad)) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad));
    Fail(place, std::string("character ") + code + " has no code page 932 form");
  }
  if (cp932.size() > maxBytes) {
    Fail(place, std::to_string(cp932.size()) + " bytes in code page 932, at most " +
                    std::to_string(maxBytes));
  }
  return cp932;
}

// A currency value times 10,000: a JSON integer or a decimal string with at
// most four fraction digits.
long long CurrencyValue(const json& v, const std::string& place) {
  const long long kMax = INT64_MAX / 10000;
  if (v.is_number_integer() || v.is_number_unsigned()) {
    bool fits = v.is_number_unsigned() ? v.get<unsigned long long>() <= static_cast<unsigned long long>(kMax)
                                       : v.get<long long>() >= -kMax && v.get<long long>() <= kMax;
    if (!fits) Fail(place, "the amount times 10,000 does not fit a signed 64-bit integer");
    return v.get<long long>() * 10000;
  }
  if (!v.is_string()) Fail(place, "expected a decimal number in a text (\"1500000\") or an integer");
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
    Fail(place, "\"" + s + "\" is not a decimal number with at most four fraction digits");
  }
  for (size_t f = fraction; f < 4; ++f) push(0);
  if (overflow || (!negative && value == kLimit)) {
    Fail(place, "the amount times 10,000 does not fit a signed 64-bit integer");
  }
  if (value == kLimit) return INT64_MIN;
  long long magnitude = static_cast<long long>(value);
  return negative ? -magnitude : magnitude;
}

const json& ObjectValue(const json& v, const std::string& place) {
  if (!v.is_object()) Fail(place, "expected an object");
  return v;
}

// Fills the fields of the object v (every key must name one of them, or be
// one of extra) into records at their offsets.
void FillFields(const json& v, const std::string& place, const HostField* fields, size_t count,
                void* const* records, std::initializer_list<const char*> extra = {}) {
  for (auto it = v.begin(); it != v.end(); ++it) {
    const std::string& key = it.key();
    std::string at = Join(place, key);
    const HostField* f = FindHostField(fields, count, key.c_str());
    if (f == nullptr) {
      bool known = false;
      for (const char* e : extra) known = known || key == e;
      if (!known) Fail(at, "unknown key");
      continue;
    }
    unsigned char* p = static_cast<unsigned char*>(records[f->record]) + f->offset;
    switch (f->type) {
      case HF_TEXT: {
        std::string text = TextValue(*it, at, f->size - 1);
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = '\0';
        break;
      }
      case HF_INT16: {
        auto n = static_cast<int16_t>(IntValue(*it, at, INT16_MIN, INT16_MAX));
        std::memcpy(p, &n, sizeof n);
        break;
      }
      case HF_INT32: {
        auto n = static_cast<int32_t>(IntValue(*it, at, INT32_MIN, INT32_MAX));
        std::memcpy(p, &n, sizeof n);
        break;
      }
      case HF_BYTE:
        *p = static_cast<unsigned char>(IntValue(*it, at, 0, 255));
        break;
      case HF_CURRENCY: {
        long long n = CurrencyValue(*it, at);
        std::memcpy(p, &n, sizeof n);
        break;
      }
    }
  }
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

class LedgerSax : public nlohmann::json_sax<json> {
 public:
  // checkSelections: refuse users selecting data numbers no company has.
  LedgerSax(sqlite3* db, bool checkSelections) : db_(db), checkSelections_(checkSelections) {
    userInsert_ = Prepare("INSERT INTO users VALUES(?, ?, ?)");
    userFind_ = Prepare("SELECT 1 FROM users WHERE user_id = ?");
    companyNew_ = Prepare("INSERT INTO companies(cid) VALUES(NULL)");
    companyFind_ = Prepare("SELECT data_no, data_id FROM companies WHERE (data_no = ?1 OR data_id = ?2) AND cid <> ?3");
    companySet_ = Prepare(
        "UPDATE companies SET data_no = ?, data_id = ?, szDataName = ?, lTermStart = ?,"
        " lTermEnd = ?, data_kind = ?, bEntityKind = ? WHERE cid = ?");
    kindInsert_ = Prepare(HostInsertSql("asset_kinds", "cid, seq", kKindFields, kKindFieldCount));
    assetInsert_ = Prepare(HostInsertSql("assets", "cid, seq", kAssetFields, kAssetFieldCount));
    lineInsert_ = Prepare(
        HostInsertSql("breakdowns", "cid, asset_seq, seq", kBreakdownFields, kBreakdownFieldCount));
  }

  const std::string& error() const { return error_; }

  bool null() override { return Scalar(json(nullptr)); }
  bool boolean(bool v) override { return Scalar(json(v)); }
  bool number_integer(number_integer_t v) override { return Scalar(json(v)); }
  bool number_unsigned(number_unsigned_t v) override { return Scalar(json(v)); }
  bool number_float(number_float_t v, const string_t&) override { return Scalar(json(v)); }
  bool string(string_t& v) override { return Scalar(json(std::move(v))); }
  bool binary(binary_t&) override { return Refuse("", "binary values are not JSON text"); }
  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& k) override { return Key(k); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override {
    if (error_.empty()) error_ = std::string("not valid JSON: ") + ex.what();
    return false;
  }

  // Whole-ledger checks after the last byte. False with error().
  bool Finish() {
    if (!error_.empty()) return false;
    if (!sawTop_) return Refuse("", "the ledger is empty");
    if (!sawFormat_) return Refuse("format", std::string("required; it must be \"") + kFormat + "\"");
    // A user's selection names company data of this ledger or of the store.
    HostStmt company = Prepare("SELECT 1 FROM companies WHERE data_no = ?");
    if (!checkSelections_) return true;
    for (const auto& [place, dataNo] : selections_) {
      sqlite3_bind_int64(company.get(), 1, dataNo);
      int rc = SQLITE_ERROR;
      if (!Guard([&] { rc = StepOnce(company, "check"); })) return false;
      company.Reset();
      if (rc == SQLITE_DONE) {
        return Refuse(place, "no company data set has the number " + std::to_string(dataNo));
      }
    }
    return true;
  }

 private:
  enum Kind { kTop, kUsers, kCompanies, kCompany, kKinds, kAssets };
  struct Frame {
    Kind kind;
    std::string place;
    long index = -1;          // arrays: index of the current element
    std::string key;          // objects: key of the value that comes
    std::set<std::string> keys;
  };
  static Frame NewFrame(Kind kind, const std::string& place) {
    Frame f;
    f.kind = kind;
    f.place = place;
    return f;
  }
  // Where the next value goes: a structural frame or a collected value.
  enum Target { kOpensTop, kOpensArray, kOpensCompany, kCollect };

  HostStmt Prepare(const std::string& sql) {
    HostStmt stmt(db_, sql);
    if (!stmt.ok()) Fail("", std::string("the store cannot take the ledger: ") + HostErrorText(db_));
    return stmt;
  }
  // Runs stmt once inside the import's transaction and leaves it unreset:
  // SQLITE_ROW or SQLITE_DONE. A failed step, and a transaction the store
  // has given up (SQLite rolls it back on some failures, and a statement
  // after that would be stored on its own), end the import with doing
  // (e.g. "read" or "take").
  int StepOnce(HostStmt& stmt, const char* doing) {
    if (sqlite3_get_autocommit(db_) != 0) Fail("", "the store has given up the import's transaction");
    int rc = sqlite3_step(stmt.get());
    if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
      std::string why = HostErrorText(db_);
      stmt.Reset();
      Fail("", std::string("the store cannot ") + doing + " the ledger: " + why);
    }
    if (sqlite3_get_autocommit(db_) != 0) {
      stmt.Reset();
      Fail("", "the store has given up the import's transaction");
    }
    return rc;
  }
  // Runs the writing statement stmt once (StepOnce) and resets it.
  void Step(HostStmt& stmt) {
    StepOnce(stmt, "take");
    stmt.Reset();
  }

  bool Refuse(const std::string& place, const std::string& problem) {
    if (error_.empty()) error_ = place.empty() ? problem : place + ": " + problem;
    return false;
  }

  template <typename F>
  bool Guard(F&& f) {
    try {
      f();
      return true;
    } catch (const LedgerError& e) {
      if (error_.empty()) error_ = e.message;
      return false;
    }
  }

  // What the next value is, and its place; moves array frames on.
  Target NextTarget(std::string* place, Kind* opens) {
    if (frames_.empty()) {
      *place = "";
      return kOpensTop;
    }
    Frame& f = frames_.back();
    switch (f.kind) {
      case kTop:
        *place = f.key;
        if (f.key == "users") return *opens = kUsers, kOpensArray;
        if (f.key == "companies") return *opens = kCompanies, kOpensArray;
        return kCollect;
      case kCompany:
        *place = Join(f.place, f.key);
        if (f.key == "asset_kinds") return *opens = kKinds, kOpensArray;
        if (f.key == "assets") return *opens = kAssets, kOpensArray;
        return kCollect;
      case kCompanies:
        *place = Indexed(f.place, ++f.index);
        return kOpensCompany;
      case kUsers:
      case kKinds:
      case kAssets:
        *place = Indexed(f.place, ++f.index);
        return kCollect;
    }
    return kCollect;
  }

  bool Scalar(json v) {
    if (collecting_) return Guard([&] { AddToCollector(std::move(v)); });
    std::string place;
    Kind opens = kTop;
    Target t = NextTarget(&place, &opens);
    if (t == kOpensTop) return Refuse("", "the ledger must be a JSON object");
    if (t == kOpensArray) return Refuse(place, "expected an array");
    if (t == kOpensCompany) return Refuse(place, "expected an object");
    return Guard([&] { Deliver(place, v); });
  }

  bool Open(bool object) {
    if (collecting_) {
      return Guard([&] { AddToCollector(object ? json::object() : json::array()); });
    }
    std::string place;
    Kind opens = kTop;
    Target t = NextTarget(&place, &opens);
    switch (t) {
      case kOpensTop:
        if (!object) return Refuse("", "the ledger must be a JSON object");
        sawTop_ = true;
        frames_.push_back(NewFrame(kTop, ""));
        return true;
      case kOpensArray:
        if (object) return Refuse(place, "expected an array");
        frames_.push_back(NewFrame(opens, place));
        return true;
      case kOpensCompany:
        if (!object) return Refuse(place, "expected an object");
        return Guard([&] {
          Step(companyNew_);
          cid_ = sqlite3_last_insert_rowid(db_);
          company_ = json::object();
          frames_.push_back(NewFrame(kCompany, place));
        });
      case kCollect:
        collecting_ = true;
        collectPlace_ = place;
        collected_ = object ? json::object() : json::array();
        stack_.assign(1, &collected_);
        return true;
    }
    return true;
  }

  bool Close() {
    if (collecting_) {
      stack_.pop_back();
      if (!stack_.empty()) return true;
      collecting_ = false;
      return Guard([&] { Deliver(collectPlace_, collected_); });
    }
    Frame f = std::move(frames_.back());
    frames_.pop_back();
    if (f.kind == kCompany) return Guard([&] { FinishCompany(f.place); });
    return true;
  }

  bool Key(const std::string& k) {
    if (collecting_) {
      json& object = *stack_.back();
      if (object.contains(k)) return Refuse(Join(collectPlace_, k), "duplicate key");
      collectKey_ = k;
      return true;
    }
    Frame& f = frames_.back();
    std::string at = Join(f.place, k);
    static const std::set<std::string> topKeys = {"format", "users", "companies"};
    static const std::set<std::string> companyKeys = {
        "data_no", "data_id", "szDataName", "lTermStart", "lTermEnd", "data_kind",
        "bEntityKind", "asset_kinds", "assets"};
    const auto& allowed = f.kind == kTop ? topKeys : companyKeys;
    if (!allowed.count(k)) return Refuse(at, "unknown key");
    if (!f.keys.insert(k).second) return Refuse(at, "duplicate key");
    f.key = k;
    return true;
  }

  void AddToCollector(json v) {
    json& into = *stack_.back();
    json* added;
    if (into.is_object()) {
      added = &(into[collectKey_] = std::move(v));
    } else {
      into.push_back(std::move(v));
      added = &into.back();
    }
    if (added->is_structured()) stack_.push_back(added);
  }

  // A complete value at place, for the innermost frame.
  void Deliver(const std::string& place, const json& v) {
    Frame& f = frames_.back();
    switch (f.kind) {
      case kTop:
        if (!v.is_string() || v.get_ref<const std::string&>() != kFormat) {
          Fail(place, std::string("must be \"") + kFormat + "\"");
        }
        sawFormat_ = true;
        break;
      case kCompany:
        company_[f.key] = v;
        break;
      case kUsers:
        AddUser(place, v);
        break;
      case kKinds:
        AddKind(place, v, f.index);
        break;
      case kAssets:
        AddAsset(place, v, f.index);
        break;
      case kCompanies:
        break;
    }
  }

  void AddUser(const std::string& place, const json& v) {
    ObjectValue(v, place);
    for (auto it = v.begin(); it != v.end(); ++it) {
      if (it.key() != "user_id" && it.key() != "selected_data_no" && it.key() != "first_selection") {
        Fail(Join(place, it.key()), "unknown key");
      }
    }
    std::string at = Join(place, "user_id");
    if (!v.contains("user_id")) Fail(at, "required");
    if (!v.contains("selected_data_no")) Fail(Join(place, "selected_data_no"), "required");
    std::string id = TextValue(v["user_id"], at, 64);
    const std::string& utf8 = v["user_id"].get_ref<const std::string&>();
    if (id.empty()) Fail(at, "must not be empty");
    for (size_t i = 0; i < utf8.size();) {
      char32_t c = NextChar(utf8, &i);
      if (IsControl(c)) Fail(at, "control characters are not allowed");
      if (c == '/' || c == ':') Fail(at, "the characters / and : are not allowed");
    }
    long long selected = IntValue(v["selected_data_no"], Join(place, "selected_data_no"), INT32_MIN, INT32_MAX);
    long long first = v.contains("first_selection")
                          ? IntValue(v["first_selection"], Join(place, "first_selection"), INT32_MIN, INT32_MAX)
                          : 0;
    if (users_.count(id)) Fail(at, "\"" + utf8 + "\" is already a user earlier in the ledger");
    sqlite3_bind_blob(userFind_.get(), 1, id.data(), static_cast<int>(id.size()), SQLITE_STATIC);
    bool exists = StepOnce(userFind_, "check") == SQLITE_ROW;
    userFind_.Reset();
    if (exists) Fail(at, "\"" + utf8 + "\" is already a user of the store");
    users_.insert(id);
    selections_.emplace_back(Join(place, "selected_data_no"), selected);
    sqlite3_bind_blob(userInsert_.get(), 1, id.data(), static_cast<int>(id.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(userInsert_.get(), 2, selected);
    sqlite3_bind_int64(userInsert_.get(), 3, first);
    Step(userInsert_);
  }

  void AddKind(const std::string& place, const json& v, long index) {
    ObjectValue(v, place);
    StSHISANKUBUNINFO kind{};
    void* const records[1] = {&kind};
    FillFields(v, place, kKindFields, kKindFieldCount, records);
    sqlite3_bind_int64(kindInsert_.get(), 1, cid_);
    sqlite3_bind_int64(kindInsert_.get(), 2, index);
    const void* const in[1] = {&kind};
    BindHostFields(kindInsert_.get(), 3, kKindFields, kKindFieldCount, in);
    Step(kindInsert_);
  }

  void AddAsset(const std::string& place, const json& v, long index) {
    ObjectValue(v, place);
    asset_ = StKOTEISHISANINFO{};
    year_ = StKOTEINENINFO{};
    void* const records[2] = {&asset_, &year_};
    FillFields(v, place, kAssetFields, kAssetFieldCount, records, {"breakdowns"});

    sqlite3_bind_int64(assetInsert_.get(), 1, cid_);
    sqlite3_bind_int64(assetInsert_.get(), 2, index);
    const void* const in[2] = {&asset_, &year_};
    BindHostFields(assetInsert_.get(), 3, kAssetFields, kAssetFieldCount, in);
    Step(assetInsert_);
    auto lines = v.find("breakdowns");
    if (lines == v.end()) return;
    std::string at = Join(place, "breakdowns");
    if (!lines->is_array()) Fail(at, "expected an array");
    long seq = 0;
    for (const json& line : *lines) {
      std::string lineAt = Indexed(at, seq);
      ObjectValue(line, lineAt);
      StIKKATSUINFO record{};
      void* const out[1] = {&record};
      FillFields(line, lineAt, kBreakdownFields, kBreakdownFieldCount, out);
      sqlite3_bind_int64(lineInsert_.get(), 1, cid_);
      sqlite3_bind_int64(lineInsert_.get(), 2, index);
      sqlite3_bind_int64(lineInsert_.get(), 3, seq++);
      const void* const lineIn[1] = {&record};
      BindHostFields(lineInsert_.get(), 4, kBreakdownFields, kBreakdownFieldCount, lineIn);
      Step(lineInsert_);
    }
    // Only a lump-sum asset has breakdown lines: the export writes no others.
    if (seq > 0 && asset_.nMethod != kMethodLumpSum) {
      Fail(at, "breakdown lines belong to lump-sum assets (nMethod " + std::to_string(kMethodLumpSum) +
                   ") only");
    }
  }

  void FinishCompany(const std::string& place) {
    const json& c = company_;
    if (!c.contains("data_no")) Fail(Join(place, "data_no"), "required");
    if (!c.contains("data_id")) Fail(Join(place, "data_id"), "required");
    long long dataNo = IntValue(c["data_no"], Join(place, "data_no"), INT32_MIN, INT32_MAX);
    std::string idAt = Join(place, "data_id");
    std::string dataId = TextValue(c["data_id"], idAt, 15);
    if (dataId.empty()) Fail(idAt, "must hold 1 to 15 ASCII letters and digits");
    for (char ch : dataId) {
      bool alnum = (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
      if (!alnum) Fail(idAt, "must hold 1 to 15 ASCII letters and digits");
    }
    auto text = [&](const char* key, size_t most) {
      return c.contains(key) ? TextValue(c[key], Join(place, key), most) : std::string();
    };
    auto number = [&](const char* key, long long low, long long high) {
      return c.contains(key) ? IntValue(c[key], Join(place, key), low, high) : 0;
    };
    std::string name = text("szDataName", sizeof(StDATAINFO::szDataName) - 1);
    long long termStart = number("lTermStart", INT32_MIN, INT32_MAX);
    long long termEnd = number("lTermEnd", INT32_MIN, INT32_MAX);
    long long kind = number("data_kind", INT16_MIN, INT16_MAX);
    long long entity = number("bEntityKind", 0, 255);
    if (dataNos_.count(dataNo)) {
      Fail(Join(place, "data_no"), std::to_string(dataNo) + " is used by an earlier company of the ledger");
    }
    if (dataIds_.count(dataId)) {
      Fail(idAt, "\"" + dataId + "\" is used by an earlier company of the ledger");
    }
    sqlite3_bind_int64(companyFind_.get(), 1, dataNo);
    sqlite3_bind_text(companyFind_.get(), 2, dataId.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int64(companyFind_.get(), 3, cid_);
    bool clash = StepOnce(companyFind_, "check") == SQLITE_ROW;
    bool sameNo = clash && sqlite3_column_int64(companyFind_.get(), 0) == dataNo;
    companyFind_.Reset();
    if (clash && sameNo) Fail(Join(place, "data_no"), std::to_string(dataNo) + " is already in the store");
    if (clash) Fail(idAt, "\"" + dataId + "\" is already in the store");
    dataNos_.insert(dataNo);
    dataIds_.insert(dataId);
    sqlite3_stmt* s = companySet_.get();
    sqlite3_bind_int64(s, 1, dataNo);
    sqlite3_bind_text(s, 2, dataId.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_blob(s, 3, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int64(s, 4, termStart);
    sqlite3_bind_int64(s, 5, termEnd);
    sqlite3_bind_int64(s, 6, kind);
    sqlite3_bind_int64(s, 7, entity);
    sqlite3_bind_int64(s, 8, cid_);
    Step(companySet_);
  }

  sqlite3* db_;
  HostStmt userInsert_, userFind_, companyNew_, companyFind_, companySet_, kindInsert_,
      assetInsert_, lineInsert_;
  std::vector<Frame> frames_;
  bool collecting_ = false;
  std::string collectPlace_, collectKey_;
  json collected_;
  std::vector<json*> stack_;
  json company_;
  long long cid_ = 0;
  StKOTEISHISANINFO asset_{};
  StKOTEINENINFO year_{};
  std::set<std::string> users_, dataIds_;
  std::set<long long> dataNos_;
  std::vector<std::pair<std::string, long long>> selections_;  // place and data number
  bool checkSelections_;
  bool sawTop_ = false, sawFormat_ = false;
  std::string error_;
};

}  // namespace

bool ImportLedger(sqlite3* db, std::istream& in, std::string* error, bool anySelection) {
  std::string sqlError;
  if (!HostExec(db, "BEGIN IMMEDIATE", &sqlError)) {
    *error = "the store cannot be written: " + sqlError;
    return false;
  }
  bool done = false;
  try {
    LedgerSax sax(db, !anySelection);
    done = json::sax_parse(in, &sax) && sax.Finish();
    if (!done) *error = sax.error();
  } catch (const LedgerError& e) {
    *error = e.message;
  } catch (const std::exception& e) {
    *error = std::string("cannot read the ledger: ") + e.what();
  }
  if (done && !HostExec(db, "COMMIT", &sqlError)) {
    *error = "the store cannot be written: " + sqlError;
    done = false;
  }
  if (!done) HostExec(db, "ROLLBACK", &sqlError);
  return done;
}

bool ImportLedgerFile(const std::string& dbPath, const std::string& ledgerPath,
                      std::string* error) {
  std::string bytes;
  if (!ReadNativeFile(ledgerPath.c_str(), &bytes)) {
    *error = "cannot open the ledger " + ledgerPath;
    return false;
  }
  std::istringstream in(std::move(bytes));
  sqlite3* db = nullptr;
  std::string detail;
  HostOpenResult opened = OpenHostStore(dbPath, true, &db, &detail);
  if (opened != HOST_OPEN_OK) {
    *error = HostOpenMessage(opened, dbPath, detail);
    return false;
  }
  bool done = ImportLedger(db, in, error);
  sqlite3_close(db);
  return done;
}
