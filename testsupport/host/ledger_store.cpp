#include "ledger_store.h"

#include <sstream>

#include "ClAccConnect.h"
#include "drivemap.h"
#include "nativeos.h"
#include "ledger_import.h"
#include "storesql.h"

LedgerStore::LedgerStore(const std::string& ledgerJson, const std::string& userId)
    : path_(dir_.Native("host.sqlite")) {
  std::string outputFolder, settingsFolder;
  if (!DriveMapToWindows(dir_.Native("out/"), &outputFolder) ||
      !DriveMapToWindows(dir_.Native("settings/"), &settingsFolder)) {
    error_ = "the temporary folder has no Windows form in the drive map";
    return;
  }
  if (outputFolder.empty() || outputFolder.back() != '\\') outputFolder += '\\';
  if (settingsFolder.empty() || settingsFolder.back() != '\\') settingsFolder += '\\';
  std::unique_ptr<StoreSql> sql;
  StoreError created = CreateStoreSql(path_, outputFolder, settingsFolder, &sql);
  if (!created.ok()) {
    error_ = "cannot create the store: " + created.detail;
    return;
  }
  std::istringstream in(ledgerJson);
  // Some tests need a user selecting data that does not exist.
  bool imported = ImportLedger(sql.get(), in, &error_, true);
  sql.reset();
  if (!imported) return;
  ClAccConnect::Inst()->Release();
  ClAccConnect::SetStoreOptions(path_.c_str(), userId.c_str());
  std::string reason;
  if (ClAccConnect::Inst()->Initiate(&reason) != 0) error_ = "Initiate failed: " + reason;
}

LedgerStore::LedgerStore(std::u8string_view ledgerJson, std::u8string_view userId)
    : LedgerStore(std::string(ledgerJson.begin(), ledgerJson.end()),
                  std::string(userId.begin(), userId.end())) {}

LedgerStore::~LedgerStore() {
  ClAccConnect::Inst()->Terminate();
  ClAccConnect::Inst()->Release();
}

std::string ReadDemoLedger() {
  const char* source = EnvValue("VELOR_SOURCE_DIR");
  if (source == nullptr) return "";
  return ReadFileBytes(std::string(source) + "/examples/demo-ledger.json");
}
