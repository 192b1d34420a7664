// Writing workbooks with libxlsxwriter, a row at a time (its constant-memory
// mode), so that a large store is written in little memory.
#include <xlsxwriter.h>

#include <cstring>

#include "workbook.h"

namespace {

class XlsxSink : public SheetSink {
 public:
  explicit XlsxSink(const std::string& path) : path_(path) {
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(path.c_str(), &options);
    if (workbook_ == nullptr) return;
    bold_ = workbook_add_format(workbook_);
    format_set_bold(bold_);
    format_set_bg_color(bold_, 0xDDEBF7);
    date_ = workbook_add_format(workbook_);
    format_set_num_format(date_, "yyyy/mm/dd");
    amount_ = workbook_add_format(workbook_);
    format_set_num_format(amount_, "#,##0");
    text_ = workbook_add_format(workbook_);
    format_set_num_format(text_, "@");
  }
  ~XlsxSink() override {
    if (workbook_ != nullptr) workbook_close(workbook_);
  }

  bool StartSheet(const SheetDef* def, const std::string& name, const std::vector<std::string>& titles,
                  std::string* error) override {
    if (workbook_ == nullptr) return Failed("cannot create " + path_, error);
    sheet_ = workbook_add_worksheet(workbook_, name.c_str());
    if (sheet_ == nullptr) return Failed("cannot add the sheet " + name + " to " + path_, error);
    def_ = def;
    row_ = 0;
    formats_.assign(titles.size(), nullptr);
    for (size_t i = 0; i < titles.size(); ++i) {
      const SheetColumn* column = def != nullptr ? &def->columns[i] : nullptr;
      lxw_format* format = nullptr;
      double width = def != nullptr ? 14 : (i == 4 ? 60 : i == 5 ? 50 : 18);
      if (column != nullptr) {
        format = column->kind == CellKind::kDate     ? date_
                 : column->kind == CellKind::kAmount ? amount_
                 : column->kind == CellKind::kText   ? text_
                                                     : nullptr;
        if (column->kind == CellKind::kText) width = 20;
      }
      formats_[i] = format;
      worksheet_set_column(sheet_, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i), width, format);
      if (column != nullptr && column->codes != nullptr) AddCodeList(i, column->codes);
      worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(i), titles[i].c_str(), bold_);
    }
    worksheet_freeze_panes(sheet_, 1, 0);
    row_ = 1;
    return true;
  }

  bool AddRow(const std::vector<OutCell>& cells, std::string* error) override {
    if (row_ >= LXW_ROW_MAX) return Failed("a sheet holds at most 1048575 rows of data", error);
    for (size_t i = 0; i < cells.size(); ++i) {
      const OutCell& cell = cells[i];
      auto col = static_cast<lxw_col_t>(i);
      lxw_format* format = i < formats_.size() ? formats_[i] : nullptr;
      lxw_error result = LXW_NO_ERROR;
      switch (cell.type) {
        case OutCell::kEmpty:
          break;
        case OutCell::kText:
          result = worksheet_write_string(sheet_, row_, col, cell.text.c_str(), format);
          break;
        case OutCell::kNumber:
        case OutCell::kDate:
          result = worksheet_write_number(sheet_, row_, col, cell.number, format);
          break;
      }
      if (result != LXW_NO_ERROR) return Failed(std::string("cannot write a cell: ") + lxw_strerror(result), error);
    }
    ++row_;
    return true;
  }

  bool Finish(std::string* error) override {
    if (workbook_ == nullptr) return Failed("cannot create " + path_, error);
    lxw_error result = workbook_close(workbook_);
    workbook_ = nullptr;
    if (result != LXW_NO_ERROR) return Failed("cannot write " + path_ + ": " + lxw_strerror(result), error);
    return true;
  }

 private:
  static bool Failed(const std::string& what, std::string* error) {
    *error = what;
    return false;
  }

  // A drop-down list of the codes ("1:...,2:...") on the column's data rows;
  // another value only draws a warning (a code outside the list is allowed).
  void AddCodeList(size_t column, const char* codes) {
    std::vector<std::string> entries;
    for (const char* p = codes; *p != '\0';) {
      const char* end = std::strchr(p, ',');
      entries.emplace_back(p, end != nullptr ? static_cast<size_t>(end - p) : std::strlen(p));
      p = end != nullptr ? end + 1 : p + std::strlen(p);
    }
    std::vector<char*> list;
    for (std::string& e : entries) list.push_back(e.data());
    list.push_back(nullptr);
    lxw_data_validation validation = {};
    validation.validate = LXW_VALIDATION_TYPE_LIST;
    validation.value_list = list.data();
    validation.error_type = LXW_VALIDATION_ERROR_TYPE_WARNING;
    auto col = static_cast<lxw_col_t>(column);
    worksheet_data_validation_range(sheet_, 1, col, LXW_ROW_MAX - 1, col, &validation);
  }

  std::string path_;
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format *bold_ = nullptr, *date_ = nullptr, *amount_ = nullptr, *text_ = nullptr;
  const SheetDef* def_ = nullptr;
  std::vector<lxw_format*> formats_;
  lxw_row_t row_ = 0;
};

}  // namespace

std::unique_ptr<SheetSink> CreateWorkbook(const std::string& path, std::string*) {
  return std::make_unique<XlsxSink>(path);
}
