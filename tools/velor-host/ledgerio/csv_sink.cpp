#include "csv_sink.h"

#include "cell_values.h"
#include "crtio.h"
#include "csv_book.h"
#include "fs.h"

CsvSink::CsvSink(std::string folder) : folder_(std::move(folder)) {
  while (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

bool CsvSink::Flush(std::string* error) {
  if (name_.empty()) return true;
  std::string path = folder_ + "/" + name_ + ".csv", why;
  name_.clear();
  if (!ReplaceNativeFile(path.c_str(), text_, &why)) {
    *error = "cannot write " + path + ": " + why;
    return false;
  }
  text_.clear();
  return true;
}

bool CsvSink::StartSheet(const SheetDef*, const std::string& name, const std::vector<std::string>& titles,
                         std::string* error) {
  if (!Flush(error)) return false;
  if (text_.empty() && name_.empty()) {
    FsError made = CreateNativeFolders(Fs::Default(), folder_);
    if (made != FsError::kNone) {
      *error = "cannot create the folder " + folder_ + ": " + FsErrorText(made);
      return false;
    }
  }
  name_ = name;
  text_ = "\xEF\xBB\xBF" + CsvLine(titles);
  return true;
}

bool CsvSink::AddRow(const std::vector<OutCell>& cells, std::string*) {
  std::vector<std::string> fields;
  fields.reserve(cells.size());
  for (const OutCell& cell : cells) {
    fields.push_back(cell.type == OutCell::kNumber ? ShortestDecimal(cell.number) : cell.text);
  }
  text_ += CsvLine(fields);
  return true;
}

bool CsvSink::Finish(std::string* error) { return Flush(error); }
