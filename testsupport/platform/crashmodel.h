// What a medium holds after a power loss, for FaultFs: data written to a file
// but not flushed by Sync is lost (the file goes back to its last flushed
// bytes), and the names made in a folder by creating, renaming or removing
// files since its last SyncFolder are undone. Files and names that existed
// before the model began watching count as durable.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "fs.h"

class CrashModel {
 public:
  // Watches the calls that FaultFs passes to base (which must outlive it)
  // and reads and reverts the files there.
  explicit CrashModel(Fs* base) : base_(base) {}

  // Before path is opened for writing (or created by a lock) or written.
  void BeforeWrite(const std::string& path) { Touch(path); }
  // After an open for writing or a lock at path went through: a file that
  // was not there is new, with nothing of it durable yet.
  void AfterCreate(const std::string& path);
  // After a Sync of the file path went through: its present bytes are durable.
  void Synced(const std::string& path);
  // Before a rename or a removal touches path.
  void BeforeName(const std::string& path) { Touch(path); }
  // After from was renamed to to.
  void Renamed(const std::string& from, const std::string& to);
  // After path was removed.
  void Removed(const std::string& path);
  // After a SyncFolder of folder went through: its names are durable.
  void FolderSynced(const std::string& folder);
  // Puts every watched name back as the medium holds it durably: a name
  // that was not durable is removed, a file gets its last flushed bytes.
  // A medium may also have written some of the folder changes made since
  // the last flushes, in the order they were made (as a journaling file
  // system does): the first kept of them stay.
  void Revert(size_t kept = 0);
  // How many folder changes are not flushed yet.
  size_t Unflushed() const;

 private:
  // A file as the medium keeps it.
  struct Node {
    bool foreign = false;  // not a regular file: never reverted
    std::string durable;   // its bytes at its last Sync
  };
  static constexpr int kNone = -1;  // no file at a name

  // Records that path now holds node (kNone: nothing), change number of
  // its folder, not yet durable.
  void Named(const std::string& path, int node, uint32_t number);
  // The numbers of the folder changes not flushed yet, in order.
  std::vector<uint32_t> UnflushedNumbers() const;
  // Starts watching path (its file and its name) when it is not yet watched.
  void Touch(const std::string& path);
  // The folder and the bare name of path.
  static std::pair<std::string, std::string> Split(const std::string& path);

  Fs* base_;
  std::vector<Node> nodes_;
  std::map<std::string, int> live_;  // watched path -> node now at that name
  std::map<std::string, std::map<std::string, int>> durable_;  // folder -> name -> durable node
  // A change of a folder's names since its last flush: name now holds node.
  struct Change {
    std::string name;
    int node;
    uint32_t number;  // counted over all folders from 0; the two names of a rename share one
  };
  std::map<std::string, std::vector<Change>> pending_;  // folder -> its changes, in order
  uint32_t changes_ = 0;
};
