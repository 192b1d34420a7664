#include "ledger_import.h"

#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <vector>

#include "codepage.h"
#include "crtio.h"
#include "storesql.h"

using nlohmann::json;

namespace {

constexpr const char* kFormat = "velor-ledger/1";

std::string Join(const std::string& place, const std::string& key) {
  return place.empty() ? key : place + "." + key;
}

std::string Indexed(const std::string& place, long index) {
  return place + "[" + std::to_string(index) + "]";
}

// Walks the JSON ledger as it is parsed: the structure (top level, users,
// companies, their kinds and assets) is followed frame by frame, and each
// user, company, kind and asset is collected as one value and handed to the
// loader. A mistake inside a record is noted and the walk goes on; only a
// broken structure stops it.
class LedgerSax : public nlohmann::json_sax<json> {
 public:
  explicit LedgerSax(LedgerLoader* loader) : loader_(loader) {}

  bool null() override { return Scalar(json(nullptr)); }
  bool boolean(bool v) override { return Scalar(json(v)); }
  bool number_integer(number_integer_t v) override { return Scalar(json(v)); }
  bool number_unsigned(number_unsigned_t v) override { return Scalar(json(v)); }
  bool number_float(number_float_t v, const string_t&) override { return Scalar(json(v)); }
  bool string(string_t& v) override { return Scalar(json(std::move(v))); }
  bool binary(binary_t&) override { return Stop("", "binary values are not JSON text"); }
  bool start_object(std::size_t) override { return Open(true); }
  bool start_array(std::size_t) override { return Open(false); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool key(string_t& k) override { return Key(k); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& ex) override {
    if (!stopped_) Stop("", std::string("not valid JSON: ") + ex.what());
    return false;
  }

  // Whole-ledger checks after the last byte.
  void Finish() {
    if (stopped_) return;
    if (!sawTop_) return loader_->Problem("", "the ledger is empty");
    if (!sawFormat_) loader_->Problem("format", std::string("required; it must be \"") + kFormat + "\"");
  }

 private:
  enum Kind { kTop, kUsers, kCompanies, kCompany, kKinds, kAssets };
  struct Frame {
    Kind kind;
    std::string place;
    long index = -1;          // arrays: index of the current element
    std::string key;          // objects: key of the value that comes
    std::set<std::string> keys;
    long long cid = -1;       // a company: its handle in the loader
    json fields;              // a company: its own keys
  };
  static Frame NewFrame(Kind kind, const std::string& place) {
    Frame f;
    f.kind = kind;
    f.place = place;
    return f;
  }
  // Where the next value goes: a structural frame or a collected value.
  enum Target { kOpensTop, kOpensArray, kOpensCompany, kCollect };

  bool Stop(const std::string& place, const std::string& problem) {
    loader_->Problem(place, problem);
    stopped_ = true;
    return false;
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
    if (collecting_) return AddToCollector(std::move(v));
    std::string place;
    Kind opens = kTop;
    Target t = NextTarget(&place, &opens);
    if (t == kOpensTop) return Stop("", "the ledger must be a JSON object");
    if (t == kOpensArray) return Stop(place, "expected an array");
    if (t == kOpensCompany) return Stop(place, "expected an object");
    Deliver(place, v);
    return true;
  }

  bool Open(bool object) {
    if (collecting_) return AddToCollector(object ? json::object() : json::array());
    std::string place;
    Kind opens = kTop;
    Target t = NextTarget(&place, &opens);
    switch (t) {
      case kOpensTop:
        if (!object) return Stop("", "the ledger must be a JSON object");
        sawTop_ = true;
        frames_.push_back(NewFrame(kTop, ""));
        return true;
      case kOpensArray:
        if (object) return Stop(place, "expected an array");
        frames_.push_back(NewFrame(opens, place));
        return true;
      case kOpensCompany: {
        if (!object) return Stop(place, "expected an object");
        Frame f = NewFrame(kCompany, place);
        f.cid = loader_->NewCompany();
        f.fields = json::object();
        frames_.push_back(std::move(f));
        return true;
      }
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
      Deliver(collectPlace_, collected_);
      return true;
    }
    Frame f = std::move(frames_.back());
    frames_.pop_back();
    if (f.kind == kCompany) loader_->SetCompany(f.cid, f.fields, JsonPlaces(f.place));
    return true;
  }

  bool Key(const std::string& k) {
    if (collecting_) {
      json& object = *stack_.back();
      if (object.contains(k)) loader_->Problem(Join(collectPlace_, k), "duplicate key");
      collectKey_ = k;
      return true;
    }
    Frame& f = frames_.back();
    std::string at = Join(f.place, k);
    static const std::set<std::string> topKeys = {"format", "users", "companies"};
    if (f.kind == kTop && !topKeys.count(k)) loader_->Problem(at, "unknown key");
    if (!f.keys.insert(k).second) return Stop(at, "duplicate key");
    f.key = k;
    return true;
  }

  bool AddToCollector(json v) {
    json& into = *stack_.back();
    json* added;
    if (into.is_object()) {
      added = &(into[collectKey_] = std::move(v));
    } else {
      into.push_back(std::move(v));
      added = &into.back();
    }
    if (added->is_structured()) stack_.push_back(added);
    return true;
  }

  // A complete value at place, for the innermost frame.
  void Deliver(const std::string& place, const json& v) {
    Frame& f = frames_.back();
    switch (f.kind) {
      case kTop:
        if (f.key != "format") break;  // an unknown key, noted already
        if (!v.is_string() || v.get_ref<const std::string&>() != kFormat) {
          loader_->Problem(place, std::string("must be \"") + kFormat + "\"");
        }
        sawFormat_ = true;
        break;
      case kCompany:
        f.fields[f.key] = v;
        break;
      case kUsers:
        loader_->AddUser(v, JsonPlaces(place));
        break;
      case kKinds:
        loader_->AddKind(frames_[frames_.size() - 2].cid, f.index, v, JsonPlaces(place));
        break;
      case kAssets:
        AddAsset(place, v, frames_[frames_.size() - 2].cid, f.index);
        break;
      case kCompanies:
        break;
    }
  }

  void AddAsset(const std::string& place, const json& v, long long cid, long index) {
    loader_->AddAsset(cid, index, v, JsonPlaces(place));
    auto lines = v.is_object() ? v.find("breakdowns") : v.end();
    if (lines == v.end()) return;
    std::string at = Join(place, "breakdowns");
    if (!lines->is_array()) return loader_->Problem(at, "expected an array");
    long seq = 0;
    for (const json& line : *lines) {
      loader_->AddBreakdown(cid, index, seq, line, JsonPlaces(Indexed(at, seq)));
      ++seq;
    }
  }

  LedgerLoader* loader_;
  std::vector<Frame> frames_;
  bool collecting_ = false;
  std::string collectPlace_, collectKey_;
  json collected_;
  std::vector<json*> stack_;
  bool sawTop_ = false, sawFormat_ = false, stopped_ = false;
};

}  // namespace

void ReadJsonLedger(std::istream& in, LedgerLoader* loader) {
  LedgerSax sax(loader);
  try {
    json::sax_parse(in, &sax);
    sax.Finish();
  } catch (const std::exception& e) {
    loader->Problem("", std::string("cannot read the ledger: ") + e.what());
  }
}

bool LooksLikeCp932(const std::string& bytes) {
  std::string ignored;
  char32_t bad = 0;
  return !Utf8ToCp932(bytes, &ignored, &bad) && bad == 0xFFFD && Cp932ToUtf8(bytes, &ignored);
}

bool ImportLedger(StoreSql* sql, std::istream& in, std::string* error, bool anySelection) {
  LedgerImportOptions options;
  options.anySelection = anySelection;
  LedgerLoader loader(sql, options);
  if (loader.Begin()) ReadJsonLedger(in, &loader);
  bool done = loader.Finish();
  if (!done) *error = loader.problems().Text();
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
  std::unique_ptr<StoreSql> sql;
  StoreError opened = OpenStoreSql(dbPath, true, &sql);
  if (!opened.ok()) {
    *error = StoreErrorMessage(opened, dbPath);
    return false;
  }
  return ImportLedger(sql.get(), in, error);
}
