#include "ledger_files.h"

#include <sstream>

#include "crtio.h"
#include "fs.h"
#include "csv_book.h"
#include "ledger_import.h"
#include "messages.h"
#include "csv_sink.h"
#include "sheet_ledger.h"
#include "workbook.h"

LedgerForm LedgerFormOf(const std::string& path) {
  FsStat stat;
  if ((!path.empty() && path.back() == '/') ||
      (Fs::Default()->Stat(path, true, &stat) == FsError::kNone && stat.folder)) {
    return LedgerForm::kCsvFolder;
  }
  const std::string ext = ".xlsx";
  if (path.size() > ext.size()) {
    std::string tail = path.substr(path.size() - ext.size());
    for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (tail == ext) return LedgerForm::kWorkbook;
  }
  return LedgerForm::kJson;
}

void ReadLedgerPath(const std::string& path, LedgerLoader* loader, std::vector<std::string>* notes) {
  LedgerForm form = LedgerFormOf(path);
  if (form == LedgerForm::kCsvFolder) {
    CsvFolder folder(path);
    std::string error;
    if (!folder.Open(&error)) return loader->Problem("", error);
    ReadSheetLedger(folder, loader);
    *notes = folder.Notes();
    return;
  }
  if (form == LedgerForm::kWorkbook) {
    std::string error;
    std::unique_ptr<SheetSource> book = OpenWorkbook(path, &error);
    if (book == nullptr) return loader->Problem("", error);
    ReadSheetLedger(*book, loader);
    return;
  }
  std::string bytes;
  if (!ReadNativeFile(path.c_str(), &bytes)) {
    return loader->Problem("", "cannot read " + path + ": " + FsErrorText(Fs::LastError()));
  }
  if (LooksLikeCp932(bytes)) {
    return loader->Problem("", Tr("the file is not UTF-8: it looks like Shift_JIS (code page 932); convert it with "
                                  "iconv -f CP932 -t UTF-8 %s > ledger-utf8.json and import that",
                                  {path}));
  }
  std::istringstream in(std::move(bytes));
  ReadJsonLedger(in, loader);
}

std::unique_ptr<SheetSink> SheetSinkFor(const std::string& path, std::string* error) {
  if (LedgerFormOf(path) == LedgerForm::kWorkbook) return CreateWorkbook(path, error);
  return std::make_unique<CsvSink>(path);
}
