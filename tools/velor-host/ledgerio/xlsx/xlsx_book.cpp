// Reading workbooks with libzip and expat. A workbook is a zip file from
// anywhere, so everything is bounded before it is read: the number of
// entries, their names, their sizes and how far they expand, the columns
// and the length of a cell; XML with a document type (entity declarations)
// is refused. Sheets are parsed as they are decompressed, a row at a time.
#include <expat.h>
#include <zip.h>

#include <cstring>
#include <map>

#include "workbook.h"

namespace {

constexpr zip_int64_t kMaxEntries = 10000;
constexpr zip_uint64_t kMaxEntryBytes = 512ull << 20;     // one part, expanded
constexpr zip_uint64_t kMaxTableBytes = 64ull << 20;      // the shared strings, the workbook parts
constexpr zip_uint64_t kMaxRatio = 200;                   // expanded : compressed, above kRatioFloor
constexpr zip_uint64_t kRatioFloor = 8ull << 20;
constexpr size_t kMaxColumns = 16384;                     // A to XFD
constexpr long kMaxRows = 1048576;
constexpr size_t kMaxCellBytes = 32767 * 3;               // 32,767 characters of UTF-8
constexpr size_t kMaxRowBytes = 16u << 20;                // the texts of one row, shared ones included

// The local name of an expat name "namespace|local".
const char* Local(const XML_Char* name) {
  const char* bar = std::strrchr(name, '|');
  return bar != nullptr ? bar + 1 : name;
}

const char* Attribute(const XML_Char** attributes, const char* local) {
  for (size_t i = 0; attributes[i] != nullptr; i += 2) {
    if (std::strcmp(Local(attributes[i]), local) == 0) return attributes[i + 1];
  }
  return nullptr;
}

// Streams one zip entry through an expat parser with the handlers of T.
class XmlPart {
 public:
  virtual ~XmlPart() = default;
  virtual void Start(const char* name, const XML_Char** attributes) = 0;
  virtual void End(const char* name) = 0;
  virtual void Text(const char* text, int length) = 0;

  // Parses the entry name of zip; false with *error. limit: the most bytes.
  bool Parse(zip_t* zip, const std::string& name, zip_uint64_t limit, std::string* error) {
    zip_stat_t stat;
    if (zip_stat(zip, name.c_str(), 0, &stat) != 0) {
      *error = "the workbook has no part " + name;
      return false;
    }
    if (stat.size > limit) {
      *error = "the part " + name + " expands to " + std::to_string(stat.size >> 20) + " MiB, more than " +
               std::to_string(limit >> 20) + " MiB";
      return false;
    }
    zip_file_t* file = zip_fopen(zip, name.c_str(), 0);
    if (file == nullptr) {
      *error = "cannot read the part " + name + ": " + zip_strerror(zip);
      return false;
    }
    XML_Parser parser = XML_ParserCreateNS(nullptr, '|');
    XML_SetUserData(parser, this);
    XML_SetElementHandler(
        parser, [](void* self, const XML_Char* n, const XML_Char** a) { static_cast<XmlPart*>(self)->Begin(n, a); },
        [](void* self, const XML_Char* n) { static_cast<XmlPart*>(self)->Finish(n); });
    XML_SetCharacterDataHandler(parser, [](void* self, const XML_Char* s, int len) {
      static_cast<XmlPart*>(self)->Text(s, len);
    });
    // A document type may declare entities that expand without end: refused.
    XML_SetStartDoctypeDeclHandler(parser, [](void* self, const XML_Char*, const XML_Char*, const XML_Char*, int) {
      static_cast<XmlPart*>(self)->Stop("a document type declaration, which workbooks do not have");
    });
    parser_ = parser;
    char buffer[1 << 16];
    zip_uint64_t total = 0;
    bool done = true;
    for (;;) {
      zip_int64_t got = zip_fread(file, buffer, sizeof buffer);
      if (got < 0) {
        *error = "the part " + name + " is damaged: " + zip_file_strerror(file);
        done = false;
        break;
      }
      total += static_cast<zip_uint64_t>(got);
      if (total > limit) {
        *error = "the part " + name + " expands beyond " + std::to_string(limit >> 20) + " MiB";
        done = false;
        break;
      }
      if (XML_Parse(parser, buffer, static_cast<int>(got), got == 0) != XML_STATUS_OK || !stopped_.empty()) {
        *error = "the part " + name + " line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " +
                 (stopped_.empty() ? XML_ErrorString(XML_GetErrorCode(parser)) : stopped_);
        done = false;
        break;
      }
      if (got == 0) break;
    }
    XML_ParserFree(parser);
    zip_fclose(file);
    return done;
  }

 protected:
  // Ends the parse with problem.
  void Stop(const std::string& problem) {
    if (stopped_.empty()) stopped_ = problem;
    XML_StopParser(parser_, XML_FALSE);
  }
  bool stopped() const { return !stopped_.empty(); }

 private:
  void Begin(const XML_Char* name, const XML_Char** attributes) {
    if (stopped_.empty()) Start(Local(name), attributes);
  }
  void Finish(const XML_Char* name) {
    if (stopped_.empty()) End(Local(name));
  }

  XML_Parser parser_ = nullptr;
  std::string stopped_;
};

// xl/workbook.xml: the sheets and their relationship IDs, the date system.
class WorkbookPart : public XmlPart {
 public:
  std::vector<std::pair<std::string, std::string>> sheets;  // name, relationship ID
  bool date1904 = false;
  void Start(const char* name, const XML_Char** a) override {
    if (std::strcmp(name, "sheet") == 0) {
      const char* sheet = Attribute(a, "name");
      const char* id = Attribute(a, "id");
      if (sheet != nullptr && id != nullptr) sheets.emplace_back(sheet, id);
    } else if (std::strcmp(name, "workbookPr") == 0) {
      const char* v = Attribute(a, "date1904");
      date1904 = v != nullptr && (std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0);
    }
  }
  void End(const char*) override {}
  void Text(const char*, int) override {}
};

// xl/_rels/workbook.xml.rels: relationship ID -> target part.
class RelsPart : public XmlPart {
 public:
  std::map<std::string, std::string> targets;
  void Start(const char* name, const XML_Char** a) override {
    const char* id = Attribute(a, "Id");
    const char* target = Attribute(a, "Target");
    if (std::strcmp(name, "Relationship") == 0 && id != nullptr && target != nullptr) targets[id] = target;
  }
  void End(const char*) override {}
  void Text(const char*, int) override {}
};

// xl/sharedStrings.xml: the texts of <si>, their phonetic readings (<rPh>) left out.
class SharedStringsPart : public XmlPart {
 public:
  std::vector<std::string> strings;
  void Start(const char* name, const XML_Char**) override {
    if (std::strcmp(name, "si") == 0) {
      strings.emplace_back();
      inItem_ = true;
    } else if (std::strcmp(name, "rPh") == 0) {
      phonetic_ = true;
    } else if (std::strcmp(name, "t") == 0) {
      inText_ = inItem_ && !phonetic_;
    }
  }
  void End(const char* name) override {
    if (std::strcmp(name, "si") == 0) inItem_ = false;
    if (std::strcmp(name, "rPh") == 0) phonetic_ = false;
    if (std::strcmp(name, "t") == 0) inText_ = false;
  }
  void Text(const char* s, int n) override {
    if (!inText_) return;
    if (strings.back().size() + static_cast<size_t>(n) > kMaxCellBytes) return Stop("a shared text is too long");
    strings.back().append(s, static_cast<size_t>(n));
  }

 private:
  bool inItem_ = false, inText_ = false, phonetic_ = false;
};

// A worksheet: rows of cells handed over one at a time.
class SheetPart : public XmlPart {
 public:
  SheetPart(const std::vector<std::string>& shared, const SheetRowFn& row) : shared_(shared), row_(row) {}

  void Start(const char* name, const XML_Char** a) override {
    if (std::strcmp(name, "row") == 0) {
      const char* r = Attribute(a, "r");
      long number = r != nullptr ? std::atol(r) : rowNumber_ + 1;
      if (number <= rowNumber_ || number > kMaxRows) return Stop("row numbers out of order or beyond 1048576");
      rowNumber_ = number;
      cells_.clear();
      rowBytes_ = 0;
    } else if (std::strcmp(name, "c") == 0) {
      const char* ref = Attribute(a, "r");
      size_t column = cells_.size();
      if (ref != nullptr) {
        column = 0;
        for (const char* p = ref; *p >= 'A' && *p <= 'Z'; ++p) {
          column = column * 26 + static_cast<size_t>(*p - 'A' + 1);
          if (column > kMaxColumns) break;
        }
        column -= column > 0 ? 1 : 0;
      }
      if (column >= kMaxColumns) return Stop("a cell beyond the last column XFD");
      if (column < cells_.size()) return Stop("cells out of order in row " + std::to_string(rowNumber_));
      cells_.resize(column + 1);
      const char* t = Attribute(a, "t");
      type_ = t != nullptr ? t : "n";
      value_.clear();
      formula_.clear();
      hasValue_ = false;
    } else if (std::strcmp(name, "v") == 0 || (std::strcmp(name, "t") == 0 && inInline_ && !phonetic_)) {
      collect_ = &value_;
      hasValue_ = true;
    } else if (std::strcmp(name, "f") == 0) {
      collect_ = &formula_;
    } else if (std::strcmp(name, "is") == 0) {
      inInline_ = true;
    } else if (std::strcmp(name, "rPh") == 0) {
      phonetic_ = true;
    }
  }

  void End(const char* name) override {
    if (std::strcmp(name, "v") == 0 || std::strcmp(name, "t") == 0 || std::strcmp(name, "f") == 0) {
      collect_ = nullptr;
    } else if (std::strcmp(name, "is") == 0) {
      inInline_ = false;
    } else if (std::strcmp(name, "rPh") == 0) {
      phonetic_ = false;
    } else if (std::strcmp(name, "c") == 0) {
      if (cells_.empty()) return;
      cells_.back() = Cell();
      rowBytes_ += cells_.back().text.size();
      if (rowBytes_ > kMaxRowBytes) Stop("row " + std::to_string(rowNumber_) + " holds more than 16 MiB of text");
    } else if (std::strcmp(name, "row") == 0) {
      row_(rowNumber_, cells_);
      cells_.clear();
    }
  }

  void Text(const char* s, int n) override {
    if (collect_ == nullptr) return;
    if (collect_->size() + static_cast<size_t>(n) > kMaxCellBytes) return Stop("a cell holds more than 32767 characters");
    collect_->append(s, static_cast<size_t>(n));
  }

 private:
  SheetCell Cell() {
    SheetCell cell;
    // A formula's value as last calculated; a writer that cannot calculate
    // leaves none (or an empty number).
    if (!hasValue_ || (!formula_.empty() && value_.empty() && type_ != "str")) {
      if (!formula_.empty()) {
        cell.type = SheetCell::kError;
        cell.text = "the formula =" + formula_ + " has no saved value: recalculate and save the workbook";
      }
      return cell;
    }
    if (type_ == "s") {
      char* end = nullptr;
      unsigned long index = std::strtoul(value_.c_str(), &end, 10);
      if (end == value_.c_str() || *end != '\0' || index >= shared_.size()) {
        cell.type = SheetCell::kError;
        cell.text = "the cell names a shared text " + value_ + " that the workbook does not have";
        return cell;
      }
      cell.type = SheetCell::kText;
      cell.text = shared_[index];
    } else if (type_ == "str" || type_ == "inlineStr") {
      cell.type = SheetCell::kText;
      cell.text = std::move(value_);
    } else if (type_ == "e") {
      cell.type = SheetCell::kError;
      cell.text = "the cell holds the error " + value_;
    } else if (type_ == "d") {
      cell.type = SheetCell::kText;  // an ISO 8601 date and time: its date
      cell.text = value_.substr(0, 10);
    } else {
      cell.type = SheetCell::kNumber;  // "n" and "b" (0 or 1)
      cell.text = std::move(value_);
    }
    if (cell.text.empty() && cell.type != SheetCell::kError) cell.type = SheetCell::kEmpty;
    return cell;
  }

  const std::vector<std::string>& shared_;
  const SheetRowFn& row_;
  std::vector<SheetCell> cells_;
  long rowNumber_ = 0;
  size_t rowBytes_ = 0;
  std::string type_, value_, formula_;
  std::string* collect_ = nullptr;
  bool hasValue_ = false, inInline_ = false, phonetic_ = false;
};

class XlsxBook : public SheetSource {
 public:
  ~XlsxBook() override {
    if (zip_ != nullptr) zip_discard(zip_);
  }

  bool Open(const std::string& path, std::string* error) {
    int code = 0;
    zip_ = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (zip_ == nullptr) {
      zip_error_t reason;
      zip_error_init_with_code(&reason, code);
      *error = path + " is not a workbook (.xlsx): " + zip_error_strerror(&reason);
      zip_error_fini(&reason);
      return false;
    }
    if (!CheckEntries(error)) return false;
    WorkbookPart workbook;
    RelsPart rels;
    if (!workbook.Parse(zip_, "xl/workbook.xml", kMaxTableBytes, error) ||
        !rels.Parse(zip_, "xl/_rels/workbook.xml.rels", kMaxTableBytes, error)) {
      return false;
    }
    date1904_ = workbook.date1904;
    for (const auto& [name, id] : workbook.sheets) {
      auto target = rels.targets.find(id);
      if (target == rels.targets.end()) {
        *error = "the sheet " + name + " has no part in the workbook";
        return false;
      }
      std::string part = target->second;
      part = part.rfind('/', 0) == 0 ? part.substr(1) : "xl/" + part;
      sheets_.emplace_back(name, part);
    }
    SharedStringsPart strings;
    if (zip_name_locate(zip_, "xl/sharedStrings.xml", 0) >= 0) {
      if (!strings.Parse(zip_, "xl/sharedStrings.xml", kMaxTableBytes, error)) return false;
      shared_ = std::move(strings.strings);
    }
    return true;
  }

  std::vector<std::string> SheetNames() const override {
    std::vector<std::string> names;
    for (const auto& sheet : sheets_) names.push_back(sheet.first);
    return names;
  }
  bool Date1904() const override { return date1904_; }

  bool ReadSheet(const std::string& name, const SheetRowFn& row, std::string* error) override {
    for (const auto& [sheet, part] : sheets_) {
      if (sheet != name) continue;
      SheetPart reader(shared_, row);
      return reader.Parse(zip_, part, kMaxEntryBytes, error);
    }
    *error = "no sheet " + name;
    return false;
  }

 private:
  // Refuses too many entries, names that climb out of the archive, and
  // entries that are too large or expand too far.
  bool CheckEntries(std::string* error) {
    zip_int64_t count = zip_get_num_entries(zip_, 0);
    if (count > kMaxEntries) {
      *error = "the workbook holds " + std::to_string(count) + " parts, more than " + std::to_string(kMaxEntries);
      return false;
    }
    for (zip_int64_t i = 0; i < count; ++i) {
      zip_stat_t stat;
      if (zip_stat_index(zip_, static_cast<zip_uint64_t>(i), 0, &stat) != 0 || stat.name == nullptr) {
        *error = std::string("the workbook's zip directory is damaged: ") + zip_strerror(zip_);
        return false;
      }
      std::string entry = stat.name;
      if (entry.empty() || entry[0] == '/' || entry[0] == '\\' || ("/" + entry + "/").find("/../") != std::string::npos ||
          entry.find('\\') != std::string::npos) {
        *error = "the workbook holds a part named \"" + entry + "\", which points outside it";
        return false;
      }
      if (stat.size > kMaxEntryBytes ||
          (stat.size > kRatioFloor && stat.comp_size > 0 && stat.size / stat.comp_size > kMaxRatio)) {
        *error = "the part " + entry + " expands from " + std::to_string(stat.comp_size) + " to " +
                 std::to_string(stat.size) + " bytes; a workbook's parts do not";
        return false;
      }
    }
    return true;
  }

  zip_t* zip_ = nullptr;
  std::vector<std::pair<std::string, std::string>> sheets_;  // name, part
  std::vector<std::string> shared_;
  bool date1904_ = false;
};

}  // namespace

std::unique_ptr<SheetSource> OpenWorkbook(const std::string& path, std::string* error) {
  auto book = std::make_unique<XlsxBook>();
  if (!book->Open(path, error)) return nullptr;
  return book;
}
