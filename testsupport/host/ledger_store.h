// A host store for tests: built in a temporary folder from a ledger JSON
// text, made the store of the host and connected for the object's life.
#pragma once
#include <string>
#include <string_view>

#include "tempdir.h"

class LedgerStore {
 public:
  // Creates a store in a new temporary folder (its output folder is the
  // Windows form of <folder>/out/, its settings folder that of
  // <folder>/settings/; neither is created), imports ledgerJson (UTF-8),
  // sets the store with userId (UTF-8) and calls ClAccConnect::Initiate.
  // ok() tells whether all of it worked, error() why not.
  LedgerStore(const std::string& ledgerJson, const std::string& userId);
  // The same with UTF-8 literals (u8"..."), since narrow literals of the
  // system are code page 932.
  LedgerStore(std::u8string_view ledgerJson, std::u8string_view userId);
  // Terminates and releases the host connection.
  ~LedgerStore();
  LedgerStore(const LedgerStore&) = delete;
  LedgerStore& operator=(const LedgerStore&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  // The native path of the store file.
  const std::string& path() const { return path_; }
  // The temporary folder holding the store.
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::string path_;
  std::string error_;
};

// The text of examples/demo-ledger.json of the source tree (found through
// VELOR_SOURCE_DIR, set for every test); "" when it cannot be read.
std::string ReadDemoLedger();
