// The checks and the store writes of a ledger import, whatever form the
// ledger came in (JSON, a workbook, CSV files): each record is handed over
// as a JSON object with the ledger's keys, together with the places its
// values came from, and every mistake is collected with its place.
#pragma once
#include <initializer_list>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "hostfields.h"
#include "storesql.h"

// How an import treats the store.
struct LedgerImportOptions {
  bool replace = false;       // users and companies of the ledger replace the store's of that ID/number
  bool dryRun = false;        // check everything, change nothing
  bool anySelection = false;  // accept selections of data numbers that no company has (test stores)
};

// What an import added (or, in a dry run, would add).
struct LedgerCounts {
  long users = 0, companies = 0, kinds = 0, assets = 0, breakdowns = 0;
  long replacedUsers = 0, replacedCompanies = 0;  // of the store, with --replace
};

// The mistakes of a ledger: the first kListed in full, and how many in all.
struct LedgerProblems {
  static constexpr size_t kListed = 100;
  std::vector<std::string> listed;
  long count = 0;
  // Counts problem and keeps its text while fewer than kListed are kept.
  void Add(std::string problem);
  // One line per listed problem, then "... and N more problems" (UTF-8).
  std::string Text() const;
};

// Where the values of one record came from, for the messages.
class LedgerPlaces {
 public:
  virtual ~LedgerPlaces() = default;
  // The place of the value of key, or of the whole record for "".
  virtual std::string Of(const std::string& key) const = 0;
};

// Places in a JSON ledger: "companies[0].assets[12]" and ".key" after it.
class JsonPlaces : public LedgerPlaces {
 public:
  explicit JsonPlaces(std::string base) : base_(std::move(base)) {}
  std::string Of(const std::string& key) const override;

 private:
  std::string base_;
};

// Checks records and writes them into one transaction of the store. Records after
// the first problem are still checked but no longer written; Finish commits
// only a ledger without problems.
class LedgerLoader {
 public:
  // Writes into sql (writable, not owned).
  LedgerLoader(StoreSql* sql, const LedgerImportOptions& options);
  ~LedgerLoader();
  LedgerLoader(const LedgerLoader&) = delete;
  LedgerLoader& operator=(const LedgerLoader&) = delete;

  // Begins the transaction; false (with a problem) when the store refuses.
  bool Begin();
  // Records a mistake at place (empty: the whole ledger).
  void Problem(const std::string& place, const std::string& what);
  bool ok() const { return problems_.count == 0; }
  // A user: user_id, selected_data_no, first_selection.
  void AddUser(const nlohmann::json& user, const LedgerPlaces& at);
  // A new company data set, filled by SetCompany once its keys are known;
  // its handle for the records below.
  long long NewCompany();
  // The keys of company (data_no, data_id, szDataName, ...; asset_kinds and
  // assets aside) for the company made by NewCompany.
  void SetCompany(long long company, const nlohmann::json& fields, const LedgerPlaces& at);
  // An asset kind, the asset (its key "breakdowns" aside) and a breakdown
  // line of the company, numbered seq in their order.
  void AddKind(long long company, long seq, const nlohmann::json& kind, const LedgerPlaces& at);
  void AddAsset(long long company, long seq, const nlohmann::json& asset, const LedgerPlaces& at);
  void AddBreakdown(long long company, long assetSeq, long seq, const nlohmann::json& line,
                    const LedgerPlaces& at);
  // Checks the users' selections and ends the transaction: committed when
  // there is no problem and this is no dry run, else rolled back. True when
  // there was no problem (and the commit worked).
  bool Finish();

  const LedgerProblems& problems() const { return problems_; }
  const LedgerCounts& counts() const { return counts_; }

 private:
  using Statement = std::unique_ptr<SqlStatement>;
  enum { kReadFailed = -1, kReadDone = 0, kReadRow = 1 };
  // Prepares sql; null after noting the problem.
  Statement Prepare(const std::string& sql);
  // Runs stmt and resets it; false after noting the problem.
  bool Step(const Statement& stmt);
  // Steps the read stmt once: kReadRow or kReadDone, or kReadFailed after
  // noting that the store could not be read (the statement is left to reset).
  int Read(SqlStatement* stmt);
  // Drops the statements (before the transaction ends).
  void Drop();
  // True, with the problem noted once, when the store gave up the import's
  // transaction (a store may roll it back on some errors): nothing may be stored
  // after that, or it would be stored outside it.
  bool TransactionLost();
  void Fill(const nlohmann::json& record, const LedgerPlaces& at, const HostField* fields, size_t count,
            void* const* records, const char* extra);
  void RemoveCompany(long long cid);
  // Checks the record v into records (its keys the fields, or extra) and,
  // while the ledger has no problem, inserts it by stmt after the keys.
  bool Insert(const Statement& stmt, std::initializer_list<long long> keys, const nlohmann::json& v,
              const LedgerPlaces& at, const HostField* fields, size_t count, void* const* records,
              const char* extra);

  StoreSql* sql_;
  LedgerImportOptions options_;
  bool begun_ = false;
  bool lost_ = false;  // see TransactionLost
  LedgerProblems problems_;
  LedgerCounts counts_;
  Statement userInsert_, userFind_, userDelete_, companyNew_, companyFind_, companySet_, kindInsert_,
      assetInsert_, lineInsert_;
  std::set<std::string> users_, dataIds_;
  std::set<long long> dataNos_;
  // The lump-sum assets added (company key, asset number): only they have
  // breakdown lines, the only ones the export writes.
  std::set<std::pair<long long, long>> lumpSums_;
  std::vector<std::pair<std::string, long long>> selections_;  // place and data number
};

// The UTF-8 description of a ledger's counts: "2 companies, 3 users, ...".
std::string LedgerCountsText(const LedgerCounts& counts);
