#include "csv_book.h"

#include <algorithm>

#include "codepage.h"
#include "crtio.h"
#include "fs.h"
#include "messages.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kSuffix = ".csv";

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return s;
}

}  // namespace

CsvFolder::CsvFolder(std::string folder) : folder_(std::move(folder)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

bool CsvFolder::Open(std::string* error) {
  std::vector<std::string> names;
  FsError listed = Fs::Default()->ListFolder(folder_, &names);
  if (listed != FsError::kNone) {
    *error = "cannot read the folder " + folder_ + ": " + FsErrorText(listed);
    return false;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (name.size() > kSuffix.size() && Lower(name.substr(name.size() - kSuffix.size())) == kSuffix) {
      sheets_.push_back(name.substr(0, name.size() - kSuffix.size()));
      files_.push_back(name);
    }
  }
  return true;
}

bool CsvFolder::ReadSheet(const std::string& name, const SheetRowFn& row, std::string* error) {
  auto at = std::find(sheets_.begin(), sheets_.end(), name);
  if (at == sheets_.end()) {
    *error = "no file " + name + kSuffix + " in " + folder_;
    return false;
  }
  const std::string path = folder_ + "/" + files_[static_cast<size_t>(at - sheets_.begin())];
  std::string bytes, text;
  if (!ReadNativeFile(path.c_str(), &bytes)) {
    *error = "cannot read " + path + ": " + FsErrorText(Fs::LastError());
    return false;
  }
  bool cp932 = false;
  if (!CsvText(bytes, &text, &cp932)) {
    *error = path + " is neither UTF-8 nor code page 932 text";
    return false;
  }
  bytes = std::string();
  notes_.push_back(cp932 ? Tr("%s: read as code page 932 (Shift_JIS)", {path}) : Tr("%s: read as UTF-8", {path}));
  return ParseCsv(text, row, error);
}

bool CsvText(const std::string& bytes, std::string* text, bool* cp932) {
  *cp932 = false;
  if (bytes.compare(0, kBom.size(), kBom) == 0) {
    *text = bytes.substr(kBom.size());
  } else {
    *text = bytes;
  }
  std::string ignored;
  char32_t bad = 0;
  if (Utf8ToCp932(*text, &ignored, &bad) || bad != 0xFFFD) return true;  // valid UTF-8
  if (bytes.compare(0, kBom.size(), kBom) == 0) return false;
  *cp932 = true;
  return Cp932ToUtf8(bytes, text);
}

bool ParseCsv(const std::string& text, const SheetRowFn& row, std::string* error) {
  std::vector<SheetCell> cells;
  SheetCell cell;
  long number = 0;
  bool quoted = false, any = false;
  size_t quoteStart = 0;
  auto endCell = [&] {
    cell.type = cell.text.empty() ? SheetCell::kEmpty : SheetCell::kText;
    cells.push_back(std::move(cell));
    cell = SheetCell();
  };
  auto endRow = [&] {
    endCell();
    row(++number, cells);
    cells.clear();
    any = false;
  };
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c != '"') {
        cell.text += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        cell.text += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    any = true;
    if (c == '"') {
      quoted = true;
      quoteStart = number + 1;
    } else if (c == ',') {
      endCell();
    } else if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      endRow();
    } else {
      cell.text += c;
    }
  }
  if (quoted) {
    *error = "row " + std::to_string(quoteStart) + ": a quoted field does not end";
    return false;
  }
  if (any || !cells.empty() || !cell.text.empty()) endRow();
  return true;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    const std::string& f = fields[i];
    if (i != 0) line += ',';
    bool quote = f.find_first_of(",\"\r\n") != std::string::npos ||
                 (!f.empty() && (f.front() == ' ' || f.back() == ' '));
    if (!quote) {
      line += f;
      continue;
    }
    line += '"';
    for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line + "\r\n";
}
