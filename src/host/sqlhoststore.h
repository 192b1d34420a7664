// The host's questions asked in SQL: a HostStore over any StoreSql. The
// asset walk steps one statement; a store may give a faster walk of its own.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "storesql.h"

class SqlHostStore : public HostStore {
 public:
  // Answers from sql (owned).
  explicit SqlHostStore(std::unique_ptr<StoreSql> sql);
  ~SqlHostStore() override;

  const std::string& name() const override { return sql_->name(); }
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
  std::string ProductName() override;
  // Saves through a writing connection of its own (OpenWriter), at once:
  // this connection may only read.
  StoreError SaveTextOrder(const std::string& dataId, const std::string& group,
                           const std::string& entries) override;

 protected:
  StoreSql* sql() { return sql_.get(); }
  // A new connection to the same store that may write.
  virtual StoreError OpenWriter(std::unique_ptr<StoreSql>* writer) = 0;
  // The statement of sql, prepared once and kept (reset) for the next call.
  StoreError Kept(const std::string& sql, SqlStatement** statement);

 private:
  std::unique_ptr<StoreSql> sql_;
  std::vector<std::pair<std::string, std::unique_ptr<SqlStatement>>> kept_;
};
