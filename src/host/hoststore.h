// The host store: an SQLite file holding users, company data sets, their
// asset kinds, assets and breakdown lines, the application folders and the
// saved item orders. Texts are stored as code page 932 blobs, currency
// values as their 64-bit integer.
#pragma once
#include <sqlite3.h>

#include <string>

#include "hostfields.h"

// Version of the store layout this build reads and writes.
constexpr int kHostStoreVersion = 1;
// The largest sequence number of an asset that its 16-byte ledger key can
// carry (seven hex digits).
constexpr long long kMaxAssetSeq = 0xFFFFFFF;
// The asset walk reads at most this many rows in one read of the store, so
// that a writer waits for one stretch at most, not for the whole walk.
constexpr long kWalkRowsPerRead = 4096;

// A prepared statement that finalizes itself.
class HostStmt {
 public:
  HostStmt() = default;
  // Prepares sql on db; ok() tells whether that worked.
  HostStmt(sqlite3* db, const std::string& sql);
  ~HostStmt();
  HostStmt(HostStmt&& other) noexcept;
  HostStmt& operator=(HostStmt&& other) noexcept;
  HostStmt(const HostStmt&) = delete;
  HostStmt& operator=(const HostStmt&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }
  // Resets the statement and clears its bindings for the next run.
  void Reset();
  // Finalizes now (later calls see !ok()).
  void Finalize();

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// What opening a store found.
enum HostOpenResult {
  HOST_OPEN_OK,
  HOST_OPEN_MISSING,     // no file at the path
  HOST_OPEN_UNREADABLE,  // the file cannot be opened or read
  HOST_OPEN_NOT_STORE,   // the file is not a host store of this version
  HOST_OPEN_NOT_FILE,    // the path names a folder, a FIFO or another non-file
  HOST_OPEN_LOCKED,      // another program is writing to the store
  HOST_OPEN_NEEDS_RECOVERY,  // a write was cut off; a writable open recovers it
};

// Opens the store file at path (native, UTF-8) read-only or for writing into
// *db (null unless HOST_OPEN_OK) and checks its version marker. *detail gets
// the reason of a failure in words.
HostOpenResult OpenHostStore(const std::string& path, bool writable, sqlite3** db,
                             std::string* detail);
// The one-line message (UTF-8, without "velor: " and line feed) for a
// failed open of path, saying why and what to do.
std::string HostOpenMessage(HostOpenResult result, const std::string& path,
                            const std::string& detail);

// The name of the installed depreciation application (code page 932) when
// the store names none, and the most bytes a name may have.
inline constexpr char kDefaultProductName[] = "減価償却アプリケーション";
constexpr size_t kProductNameMax = 64;

// The product name the store holds (host_meta key product_name), or
// kDefaultProductName when it holds none or cannot be read.
std::string HostProductName(sqlite3* db);

// Creates a new empty store at path (native, UTF-8; missing parent folders
// are made) with the two application folders (Windows form, code page 932).
// Refuses an existing file. False with *error (UTF-8) on failure.
bool CreateHostStore(const std::string& path, const std::string& outputFolder,
                     const std::string& settingsFolder, std::string* error);

// The message (UTF-8) of the last failure on db: SQLite's, except that a
// store another connection holds is said to be in use, to try again later.
std::string HostErrorText(sqlite3* db);

// Runs sql (no results). False with *error = the store's message
// (HostErrorText).
bool HostExec(sqlite3* db, const char* sql, std::string* error);

// The column list "a, b, c" of the fields, after prefix.
std::string HostFieldColumns(const HostField* fields, size_t count, const char* prefix);

// "INSERT INTO table(keys, <field columns>) VALUES(?, ...)" with one
// parameter per key (keys is a list like "cid, seq") and per field.
std::string HostInsertSql(const char* table, const char* keys, const HostField* fields,
                          size_t count);

// Binds the column values of fields as parameters first.. of stmt, taking
// them from the records (records[f.record] + f.offset).
void BindHostFields(sqlite3_stmt* stmt, int first, const HostField* fields, size_t count,
                    const void* const* records);
// Copies columns first.. of the current row of stmt into the records at the
// fields' offsets; texts are cut to fit with their NUL, NULL leaves a field.
void ReadHostFields(sqlite3_stmt* stmt, int first, const HostField* fields, size_t count,
                    void* const* records);
// ReadHostFields from count values, one per field in order (the arguments
// of an SQL function, say), instead of the columns of a row.
void ReadHostValues(sqlite3_value* const* values, const HostField* fields, size_t count,
                    void* const* records);

// Where the result column of HostRowColumn copies the row it is given: the
// fields[0..count) of the row numbered expected go into the records as
// ReadHostFields puts them.
struct HostRowTarget {
  const HostField* fields = nullptr;
  size_t count = 0;
  long long expected = -1;
  void* records[2] = {};
};
// The result column "host_row(?parameter, seq, <field columns>)" (of a table
// with a seq column), whose evaluation copies the fields of each row into
// the HostRowTarget bound as that parameter, when the row's seq is the one
// the target expects: one store call for the row instead of some per
// column. Its value is 1 for a row copied, NULL for any other (a row the
// store evaluated ahead of its step, when sorting, say). Every connection
// OpenHostStore makes knows it.
std::string HostRowColumn(int parameter, const HostField* fields, size_t count);
// Binds target (kept, not copied) as the parameter of a HostRowColumn of
// stmt; false when the store refuses.
bool BindHostRowTarget(sqlite3_stmt* stmt, int parameter, HostRowTarget* target);

// The 16-byte ledger key of asset seq of company cid (15 hex digits and a
// NUL), and its reverse; ParseAssetKey is false for a key not of that form.
void MakeAssetKey(long long cid, long long seq, unsigned char key[16]);
bool ParseAssetKey(const unsigned char key[16], long long* cid, long long* seq);
