// The connected state of the host: the open store, the current user, the
// selected company data and the statements that objects of the host keep
// open. Exists between a successful ClAccConnect::Initiate and Terminate.
#pragma once
#include <sqlite3.h>

#include <map>
#include <set>
#include <string>

#include "hostrecords.h"
#include "hoststore.h"

// Something that keeps statements of the session open; the session makes
// it let go of them before the store closes.
class HostStatementOwner {
 public:
  virtual ~HostStatementOwner() = default;
  // Finalizes every statement held; the owner must not use the session after.
  virtual void DropStatements() = 0;
};

class HostSession {
 public:
  // The session of the calling thread (see HostThreadSession), else the
  // connected session, or null.
  static HostSession* Current();
  // Opens the store at path (UTF-8) read-only for user (code page 932) and
  // makes it current. Returns 0, or 1 with *message (UTF-8, one line) saying
  // why and what to do.
  static int Open(const std::string& path, const std::string& user, std::string* message);
  // Drops every owner's statements and closes the store. Safe when closed.
  static void Close();

  sqlite3* db() const { return db_; }
  // The store's native path (UTF-8), absolute.
  const std::string& path() const { return path_; }
  const std::string& user() const { return user_; }
  // The selected company data set of the user (all zero when none).
  StDATAINFO* selected() { return &selected_; }

  // Finds the internal number *cid of the company data set dataId
  // (NUL-terminated): 1 found, 0 the store has none, -1 the store failed.
  int FindCompany(const char* dataId, long long* cid);

  // Owners of statements, dropped at Close.
  void Register(HostStatementOwner* owner) { owners_.insert(owner); }
  void Unregister(HostStatementOwner* owner) { owners_.erase(owner); }

  // The company-data walks of ClSetData, by cursor handle.
  std::map<LONG, HostStmt>& cursors() { return cursors_; }
  LONG NewCursorHandle() { return ++lastCursor_; }

 private:
  friend class HostThreadSession;
  HostSession() = default;
  ~HostSession();

  sqlite3* db_ = nullptr;
  std::string path_;
  std::string user_;
  StDATAINFO selected_{};
  std::set<HostStatementOwner*> owners_;
  std::map<LONG, HostStmt> cursors_;
  LONG lastCursor_ = 0;
};

// A session of its own for the calling thread: another connection to the
// store of the connected session, with its user and selection, which the
// host's objects use on this thread while the object lives. Threads that
// read the store at once each need one (a connection serves one thread).
class HostThreadSession {
 public:
  // Opens the connection; ok() tells whether that worked (else *message,
  // UTF-8, says why). Must be made and destroyed on the same thread, while
  // the connected session stays open.
  explicit HostThreadSession(std::string* message);
  // Drops the statements of its owners and closes the connection.
  ~HostThreadSession();
  HostThreadSession(const HostThreadSession&) = delete;
  HostThreadSession& operator=(const HostThreadSession&) = delete;

  bool ok() const { return session_ != nullptr; }

 private:
  HostSession* session_ = nullptr;
};

// The columns of companies that FillDataInfo reads, in its order.
extern const char kDataInfoColumns[];
// Fills *info (zeroed first) from a row of kDataInfoColumns starting at
// column first.
void FillDataInfo(sqlite3_stmt* stmt, int first, StDATAINFO* info);

// The value of the environment variable name ("" when unset).
std::string HostEnvText(const char* name);
