// A host store held in memory, for tests of the exporter that need no
// database: the records are added by the test, and any of the store's calls
// can be made to fail, once or from some asset of the walk on.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store.h"

// The contents of a memory store, shared by its connections.
struct MemoryLedger {
  struct Company {
    StDATAINFO info{};
    std::vector<std::pair<StKOTEISHISANINFO, StKOTEINENINFO>> assets;
    std::map<long, std::vector<StIKKATSUINFO>> lines;  // by asset number
    std::vector<StSHISANKUBUNINFO> kinds;
  };
  std::map<std::string, std::pair<long, long>> users;  // id -> first selection, selected data number
  std::vector<Company> companies;                      // the store key is the index
  std::string outputFolder = "C:\\out\\", settingsFolder = "C:\\set\\";
  std::map<std::pair<std::string, std::string>, std::string> textOrders;
  std::string productName;

  // Faults: the walk fails at this asset number (-1: never), the breakdown
  // and kind reads fail when their error is a failure.
  long walkFailsAt = -1;
  StoreError walkFault, breakdownFault, kindFault;
};

class MemoryHostStore : public HostStore {
 public:
  // A connection to ledger (shared with the store's other connections).
  explicit MemoryHostStore(std::shared_ptr<MemoryLedger> ledger) : ledger_(std::move(ledger)) {}

  const std::string& name() const override { return name_; }
  StoreError OpenAnother(std::unique_ptr<HostStore>* another) override;
  StoreError FindUser(const std::string& user, bool* found, long* first, long* selected) override;
  StoreError ListCompanies(std::vector<StDATAINFO>* companies) override;
  StoreError FindCompanyByNo(long dataNo, StDATAINFO* info, bool* found) override;
  StoreError FindCompany(const std::string& dataId, long long* cid, bool* found) override;
  StoreError CountAssets(long long cid, long* count) override;
  StoreError WalkAssets(long long cid, long from, std::unique_ptr<AssetWalk>* walk) override;
  StoreError ReadBreakdowns(long long cid, long long seq, std::vector<StIKKATSUINFO>* lines) override;
  StoreError ReadKinds(long long cid, std::vector<StSHISANKUBUNINFO>* kinds) override;
  StoreError ReadAppFolder(int type, std::string* folder, bool* found) override;
  StoreError ReadTextOrder(const std::string& dataId, const std::string& group, std::string* entries,
                           bool* found) override;
  StoreError SaveTextOrder(const std::string& dataId, const std::string& group,
                           const std::string& entries) override;
  std::string ProductName() override;

 private:
  std::shared_ptr<MemoryLedger> ledger_;
  std::string name_ = "memory";
};
