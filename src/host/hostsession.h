// The connected state of the host: the open store, the current user, the
// selected company data and the walks that objects of the host keep open.
// Exists between a successful ClAccConnect::Initiate and Terminate.
#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hostrecords.h"
#include "store.h"

// Something that keeps walks of the session's store open; the session makes
// it let go of them before the store closes.
class HostStatementOwner {
 public:
  virtual ~HostStatementOwner() = default;
  // Ends every walk held; the owner must not use the session after.
  virtual void DropStatements() = 0;
};

class HostSession {
 public:
  // The session of the calling thread (see HostThreadSession), else the
  // connected session, or null.
  static HostSession* Current();
  // Opens the store at where (a connection URI or a native path, UTF-8)
  // read-only for user (code page 932) and makes it current. Returns 0, or 1
  // with *message (UTF-8, one line) saying why and what to do.
  static int Open(const std::string& where, const std::string& user, std::string* message);
  // Makes store (open) the connected store for user (code page 932), as
  // Open does with the store it opens.
  static int Adopt(std::unique_ptr<HostStore> store, const std::string& user, std::string* message);
  // Drops every owner's walks and closes the store. Safe when closed.
  static void Close();

  HostStore* store() const { return store_.get(); }
  const std::string& user() const { return user_; }
  // The selected company data set of the user (all zero when none).
  StDATAINFO* selected() { return &selected_; }

  // Notes error, when it is a failure, as the store's last one.
  void NoteError(const StoreError& error) {
    if (!error.ok()) lastError_ = error;
  }
  // The message (UTF-8, one line) of the last failure noted, naming the
  // store; "" when none.
  std::string lastError() const {
    return lastError_.ok() ? std::string() : StoreErrorMessage(lastError_, store_->name());
  }

  // Finds the store key *cid of the company data set dataId
  // (NUL-terminated): 1 found, 0 the store has none, -1 the store failed.
  int FindCompany(const char* dataId, long long* cid);

  // Owners of walks, dropped at Close.
  void Register(HostStatementOwner* owner) { owners_.insert(owner); }
  void Unregister(HostStatementOwner* owner) { owners_.erase(owner); }

  // The company-data walks of ClSetData by cursor handle: the companies
  // read when the cursor was made and the index of the next one.
  struct DataCursor {
    std::vector<StDATAINFO> companies;
    size_t next = 0;
  };
  std::map<LONG, DataCursor>& cursors() { return cursors_; }
  LONG NewCursorHandle() { return ++lastCursor_; }

 private:
  friend class HostThreadSession;
  HostSession() = default;
  ~HostSession();

  std::unique_ptr<HostStore> store_;
  std::string user_;
  StDATAINFO selected_{};
  StoreError lastError_;
  std::set<HostStatementOwner*> owners_;
  std::map<LONG, DataCursor> cursors_;
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
  // Drops the walks of its owners and closes the connection.
  ~HostThreadSession();
  HostThreadSession(const HostThreadSession&) = delete;
  HostThreadSession& operator=(const HostThreadSession&) = delete;

  bool ok() const { return session_ != nullptr; }

 private:
  HostSession* session_ = nullptr;
};

// The value of the environment variable name ("" when unset).
std::string HostEnvText(const char* name);
