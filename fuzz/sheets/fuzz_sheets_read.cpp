// Reads random bytes as a ledger workbook (first byte even) or as the asset
// sheet of a CSV folder (odd) into a dry run of an import: nothing may
// crash, and the store stays empty whatever the bytes hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "crtio.h"
#include "csv_book.h"
#include "fs.h"
#include "ledger_loader.h"
#include "sheet_ledger.h"
#include "storesql.h"
#include "workbook.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    std::string path = "/tmp/velor-fuzz-sheets-" + std::to_string(std::rand());
    std::string why, company = std::string(UTF8("データ番号,データID\r\n1,A\r\n"));
    if (CreateNativeFolders(Fs::Default(), path + "/csv") != FsError::kNone ||
        !ReplaceNativeFile((path + "/csv/" + UTF8("会社") + ".csv").c_str(), company, &why)) {
      std::abort();
    }
    return path;
  }();
  return folder;
}

StoreSql* Store() {
  static StoreSql* sql = [] {
    std::unique_ptr<StoreSql> made;
    if (!CreateStoreSql(Folder() + "/store.sqlite", "C:\\out\\", "C:\\set\\", &made).ok()) std::abort();
    return made.release();
  }();
  return sql;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const bool workbook = (data[0] & 1) == 0;
  const std::string path =
      workbook ? Folder() + "/book.xlsx" : Folder() + "/csv/" + std::string(UTF8("資産")) + ".csv";
  std::string why, error;
  if (!ReplaceNativeFile(path.c_str(), bytes, &why)) std::abort();
  LedgerImportOptions options;
  options.dryRun = true;
  LedgerLoader loader(Store(), options);
  if (!loader.Begin()) std::abort();
  if (workbook) {
    std::unique_ptr<SheetSource> book = OpenWorkbook(path, &error);
    if (book != nullptr) ReadSheetLedger(*book, &loader);
  } else {
    CsvFolder folder(Folder() + "/csv");
    if (!folder.Open(&error)) std::abort();
    ReadSheetLedger(folder, &loader);
  }
  loader.Finish();
  std::unique_ptr<SqlStatement> count;
  bool row = false;
  if (!Store()->Prepare("SELECT (SELECT count(*) FROM companies) + (SELECT count(*) FROM assets)", &count).ok() ||
      !count->Step(&row).ok() || !row || count->ColumnInt(0) != 0) {
    std::abort();  // a dry run changed the store
  }
  return 0;
}
