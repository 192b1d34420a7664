#include "memory_store.h"

namespace {

class MemoryWalk : public AssetWalk {
 public:
  MemoryWalk(std::shared_ptr<MemoryLedger> ledger, size_t company, long from)
      : ledger_(std::move(ledger)), company_(company), next_(from) {}
  StoreError Next(long long* seq, StKOTEISHISANINFO* asset, StKOTEINENINFO* year, bool* got) override {
    *got = false;
    if (ledger_->walkFailsAt >= 0 && next_ >= ledger_->walkFailsAt) return ledger_->walkFault;
    const auto& assets = ledger_->companies[company_].assets;
    if (next_ < 0 || static_cast<size_t>(next_) >= assets.size()) return {};
    if (asset != nullptr) *asset = assets[static_cast<size_t>(next_)].first;
    if (year != nullptr) *year = assets[static_cast<size_t>(next_)].second;
    *seq = next_++;
    *got = true;
    return {};
  }

 private:
  std::shared_ptr<MemoryLedger> ledger_;
  size_t company_;
  long next_;
};

}  // namespace

StoreError MemoryHostStore::OpenAnother(std::unique_ptr<HostStore>* another) {
  *another = std::make_unique<MemoryHostStore>(ledger_);
  return {};
}

StoreError MemoryHostStore::FindUser(const std::string& user, bool* found, long* first, long* selected) {
  auto it = ledger_->users.find(user);
  *found = it != ledger_->users.end();
  if (*found) {
    *first = it->second.first;
    *selected = it->second.second;
  }
  return {};
}

StoreError MemoryHostStore::ListCompanies(std::vector<StDATAINFO>* companies) {
  companies->clear();
  for (const auto& c : ledger_->companies) companies->push_back(c.info);
  return {};
}

StoreError MemoryHostStore::FindCompanyByNo(long dataNo, StDATAINFO* info, bool* found) {
  *found = false;
  for (const auto& c : ledger_->companies) {
    if (c.info.lDataNo == dataNo) {
      *info = c.info;
      *found = true;
    }
  }
  return {};
}

StoreError MemoryHostStore::FindCompany(const std::string& dataId, long long* cid, bool* found) {
  *found = false;
  for (size_t i = 0; i < ledger_->companies.size(); ++i) {
    if (dataId == ledger_->companies[i].info.szDataID) {
      *cid = static_cast<long long>(i);
      *found = true;
    }
  }
  return {};
}

StoreError MemoryHostStore::CountAssets(long long cid, long* count) {
  *count = static_cast<long>(ledger_->companies.at(static_cast<size_t>(cid)).assets.size());
  return {};
}

StoreError MemoryHostStore::WalkAssets(long long cid, long from, std::unique_ptr<AssetWalk>* walk) {
  *walk = std::make_unique<MemoryWalk>(ledger_, static_cast<size_t>(cid), from);
  return {};
}

StoreError MemoryHostStore::ReadBreakdowns(long long cid, long long seq, std::vector<StIKKATSUINFO>* lines) {
  lines->clear();
  if (!ledger_->breakdownFault.ok()) return ledger_->breakdownFault;
  const auto& held = ledger_->companies.at(static_cast<size_t>(cid)).lines;
  auto it = held.find(static_cast<long>(seq));
  if (it != held.end()) *lines = it->second;
  return {};
}

StoreError MemoryHostStore::ReadKinds(long long cid, std::vector<StSHISANKUBUNINFO>* kinds) {
  kinds->clear();
  if (!ledger_->kindFault.ok()) return ledger_->kindFault;
  *kinds = ledger_->companies.at(static_cast<size_t>(cid)).kinds;
  return {};
}

StoreError MemoryHostStore::ReadAppFolder(int type, std::string* folder, bool* found) {
  *folder = type == 0 ? ledger_->outputFolder : ledger_->settingsFolder;
  *found = true;
  return {};
}

StoreError MemoryHostStore::ReadTextOrder(const std::string& dataId, const std::string& group,
                                          std::string* entries, bool* found) {
  auto it = ledger_->textOrders.find({dataId, group});
  *found = it != ledger_->textOrders.end();
  *entries = *found ? it->second : std::string();
  return {};
}

StoreError MemoryHostStore::SaveTextOrder(const std::string& dataId, const std::string& group,
                                          const std::string& entries) {
  ledger_->textOrders[{dataId, group}] = entries;
  return {};
}

std::string MemoryHostStore::ProductName() {
  return ledger_->productName.empty() ? kDefaultProductName : ledger_->productName;
}
