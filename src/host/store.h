// The host store as the host's objects ask it: the user's selection, the
// company data sets, one company's assets in ledger order, a lump-sum
// asset's breakdown lines, the asset kinds, the application folders, the
// saved item orders and the product name. A store is an SQLite file or a
// PostgreSQL database; both answer through this interface. Texts are code
// page 932 bytes, amounts their 64-bit integer (times 10,000).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "hostrecords.h"

// What went wrong with a store.
enum class StoreFault {
  kNone,
  kMissing,        // no store there (no file, no database)
  kUnreadable,     // it cannot be opened or read
  kNotStore,       // it is not a host store of this version
  kNotFile,        // the path names a folder, a FIFO or another non-file
  kLocked,         // another program holds it; try again later
  kNeedsRecovery,  // a write was cut off; a writable open recovers it
  kUnreachable,    // the server cannot be reached
  kRefused,        // the server refused the login or the request
  kLost,           // the connection was lost in the middle
  kTimeout,        // a statement ran past the server's time limit
};

// A fault and its cause in words (UTF-8), as the store reported it.
struct StoreError {
  StoreFault fault = StoreFault::kNone;
  std::string detail;

  bool ok() const { return fault == StoreFault::kNone; }
  // The failure of fault with detail.
  static StoreError Of(StoreFault fault, std::string detail) { return {fault, std::move(detail)}; }
};

// One-line message (UTF-8, without "velor: " and line feed) for error on
// the store named name, saying why and what to do (a URI's password, if
// any, hidden).
std::string StoreErrorMessage(const StoreError& error, const std::string& name);

// A walk over a company's assets in ledger order, from the number it was
// opened at. Belongs to the store that opened it and must end before it.
class AssetWalk {
 public:
  virtual ~AssetWalk() = default;
  // Fills the next asset's fields into asset and year (either may be null;
  // fields the store does not keep stay as they are) and its number into
  // *seq; *got false (records untouched) past the last asset.
  virtual StoreError Next(long long* seq, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
                          bool* got) = 0;
};

// One connection to a host store; serves one thread at a time.
class HostStore {
 public:
  virtual ~HostStore() = default;

  // The store's name for messages: its native path (UTF-8, absolute) or its
  // connection URI without any password.
  virtual const std::string& name() const = 0;
  // Another connection to the same store, for another thread.
  virtual StoreError OpenAnother(std::unique_ptr<HostStore>* another) = 0;

  // The first-selection flag and selected data number of user (code page
  // 932); *found false when the store has no such user.
  virtual StoreError FindUser(const std::string& user, bool* found, long* first, long* selected) = 0;
  // The company data sets that have a data number, in data number order.
  virtual StoreError ListCompanies(std::vector<StDATAINFO>* companies) = 0;
  // The company data set numbered dataNo; *found false when none has it.
  virtual StoreError FindCompanyByNo(long dataNo, StDATAINFO* info, bool* found) = 0;
  // The store's key *cid of the company data set dataId (with a data
  // number); *found false when there is none.
  virtual StoreError FindCompany(const std::string& dataId, long long* cid, bool* found) = 0;

  // The number of assets company cid holds.
  virtual StoreError CountAssets(long long cid, long* count) = 0;
  // Opens a walk over the assets of company cid numbered from on.
  virtual StoreError WalkAssets(long long cid, long from, std::unique_ptr<AssetWalk>* walk) = 0;
  // The breakdown lines of asset seq of company cid in order (szBreakdownNo
  // empty); none for an asset without lines.
  virtual StoreError ReadBreakdowns(long long cid, long long seq,
                                    std::vector<StIKKATSUINFO>* lines) = 0;
  // The asset kinds of company cid in master order.
  virtual StoreError ReadKinds(long long cid, std::vector<StSHISANKUBUNINFO>* kinds) = 0;

  // The application folder of type 0 (output) or 1 (settings), Windows form;
  // *found false when the store names none.
  virtual StoreError ReadAppFolder(int type, std::string* folder, bool* found) = 0;
  // The item order (entries as stored: 32-bit little-endian indexes) saved
  // under dataId and group; *found false when none is saved.
  virtual StoreError ReadTextOrder(const std::string& dataId, const std::string& group,
                                   std::string* entries, bool* found) = 0;
  // Saves entries under dataId and group, replacing any; writes the store
  // even when this connection only reads.
  virtual StoreError SaveTextOrder(const std::string& dataId, const std::string& group,
                                   const std::string& entries) = 0;
  // The installed application's name the store holds, or the default when
  // it holds none (or none that fits kProductNameMax).
  virtual std::string ProductName() = 0;
};

// The name of the installed depreciation application (code page 932) when
// the store names none, and the most bytes a name may have.
inline constexpr char kDefaultProductName[] = "減価償却アプリケーション";
constexpr size_t kProductNameMax = 64;

// Whether where names a database server (a postgresql:// or postgres://
// connection URI) rather than a store file.
bool IsStoreUri(const std::string& where);

// Opens the store at where (a connection URI, else a native file path,
// UTF-8) for reading into *store.
StoreError OpenHostStore(const std::string& where, std::unique_ptr<HostStore>* store);
