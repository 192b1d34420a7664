// A file system for tests that passes every call to another one and fails
// chosen calls on purpose: the Nth call of a kind (on paths holding a given
// text) with a chosen error, optionally after writing part of its bytes, and
// "crash here": after a number of bytes written, the rest of the process's
// file-system work is abandoned, as if it had been killed. From the moment a
// crash point is set, the calls are also watched so that LoseUnsynced can
// then take away what a power loss takes (see crashmodel.h).
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "crashmodel.h"
#include "fs.h"

// The kinds of calls FaultFs counts.
enum class FsOp { kOpen, kRead, kWrite, kSync, kClose, kRename, kRemove, kLock, kStat, kList, kFolder };

class FaultFs : public Fs {
 public:
  // Forwards to base (which must outlive it), failing nothing yet. By
  // default the base is the file system in use, so that the faults lie over
  // the drives a test has made (TestDrives).
  explicit FaultFs(Fs* base = Fs::Default());

  // Makes the nth call (1 for the next) of op on a path that holds
  // name_part (any path when empty; a slash and a backslash alike) fail with
  // error. A failing write first
  // writes its first keep_bytes bytes (a short write). Renames match on
  // either path; locks count LockFolder, LockFile and LockRange.
  void FailNth(FsOp op, int nth, FsError error, const std::string& name_part = "",
               size_t keep_bytes = 0);
  // After bytes more bytes have been written (to any file) the process is
  // taken as killed: the write reaching the limit is cut there, and every
  // later call fails with kIoError and touches nothing.
  void CrashAfterBytes(uint64_t bytes);
  // The process is taken as killed just before the nth call of op on a path
  // holding name_part: that call and every later one fail with kIoError and
  // touch nothing.
  void CrashAtNth(FsOp op, int nth, const std::string& name_part = "");
  // Makes DriveType report type (DRIVE_*) for the Windows root root ("X:\"
  // or "\\server\share", matched without regard to case and to a final
  // backslash), as if the machine had such a drive or share.
  void SetDriveType(const std::string& root, unsigned type);
  // Makes the native paths of the Windows root root ("X:" or
  // "\\server\share", matched as SetDriveType matches) reach the native
  // folder native_folder instead: "X:\a\b" is native_folder + "\a\b". Under
  // Windows, where a Windows path is its own native path, this gives tests
  // drives and shares the machine lacks.
  void ReachRootAt(const std::string& root, const std::string& native_folder);
  // Makes Stat report every path holding name_part (as FailNth matches) as
  // not writable, as an account without write permission sees it.
  void DenyWriting(const std::string& name_part) { denied_writing_.push_back(name_part); }
  // Makes the files and folder names that the calls since the crash point
  // was set left unflushed what a power loss leaves of them: a file goes back
  // to its bytes at its last Sync (empty when it never had one), a name
  // made, renamed or removed since the last SyncFolder of its folder is
  // undone, except the first kept of these changes (a medium that wrote
  // them in order, as a journaling file system does). For after a crash;
  // nothing when no crash point was set.
  void LoseUnsynced(size_t kept = 0) {
    if (model_ != nullptr) model_->Revert(kept);
  }
  // How many folder changes LoseUnsynced would undo.
  size_t Unflushed() const { return model_ != nullptr ? model_->Unflushed() : 0; }
  // The watcher of the calls for LoseUnsynced; null until a crash point is set.
  CrashModel* Model() { return model_.get(); }
  // How many faults of FailNth have struck so far.
  int Struck() const { return struck_; }
  // True once the crash point was reached.
  bool Crashed() const { return crashed_; }
  // How many calls of op were made so far (on paths holding name_part).
  int Calls(FsOp op, const std::string& name_part = "") const;
  // Whether calls are kept for Calls (from the start they are); a file
  // system kept for its drives alone keeps none, so that it allocates nothing
  // per call.
  void KeepCalls(bool keep) { keep_calls_ = keep; }

  // The error the next call of op on path meets (kNone: it goes through);
  // counts the call. For the files FaultFs hands out.
  FsError Check(FsOp op, const std::string& path, size_t* keep_bytes = nullptr);
  // How many of n bytes a write may still make before the crash point
  // (n when no crash point is set); counts them.
  size_t WriteRoom(size_t n);

  // The calls of Fs: each is counted and checked against the faults first,
  // then passed to the base file system.
  FsError Open(const std::string& path, FsOpen mode, std::unique_ptr<FsFile>* file) override;
  FsError Stat(const std::string& path, bool follow, FsStat* stat) override;
  FsError Remove(const std::string& path) override;
  FsError CopyMode(const std::string& from, const std::string& to) override;
  FsError Rename(const std::string& from, const std::string& to) override;
  FsError SyncFolder(const std::string& folder) override;
  FsError CreateFolder(const std::string& path) override;
  FsError RemoveFolder(const std::string& path) override;
  FsError ListFolder(const std::string& folder, std::vector<std::string>* names) override;
  FsError LockFolder(const std::string& folder, int timeout_ms,
                     std::unique_ptr<FsLock>* lock) override;
  FsError LockFile(const std::string& path, int timeout_ms,
                   std::unique_ptr<FsLock>* lock) override;
  // The type set by SetDriveType for root, else the base's.
  unsigned DriveType(const char* root) override;

 private:
  struct Fault {
    FsOp op;
    int left;  // calls to go; the fault strikes when it reaches 0
    FsError error;
    std::string name_part;
    size_t keep_bytes;
    bool crash;
  };

  Fs* base_;
  // path, or where ReachRootAt sends it.
  std::string Reach(const std::string& path) const;

  std::vector<std::string> denied_writing_;      // see DenyWriting
  std::map<std::string, unsigned> drive_types_;  // by RootKey
  std::map<std::string, std::string> roots_;     // by RootKey: native folder
  std::vector<Fault> faults_;
  std::vector<std::pair<FsOp, std::string>> calls_;
  bool keep_calls_ = true;
  int struck_ = 0;
  bool crash_set_ = false;
  bool crashed_ = false;
  uint64_t crash_room_ = 0;
  std::unique_ptr<CrashModel> model_;  // see LoseUnsynced
};
