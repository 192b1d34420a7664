#include "faultfs.h"

#include <algorithm>

namespace {
// An open file of FaultFs: every call is checked first.
class FaultFile : public FsFile {
 public:
  FaultFile(FaultFs* fs, std::string path, std::string reached, std::unique_ptr<FsFile> base)
      : fs_(fs), path_(std::move(path)), reached_(std::move(reached)), base_(std::move(base)) {}

  FsError Read(void* buffer, size_t n, size_t* got) override {
    *got = 0;
    FsError error = fs_->Check(FsOp::kRead, path_);
    return error != FsError::kNone ? error : base_->Read(buffer, n, got);
  }
  FsError ReadAt(uint64_t offset, void* buffer, size_t n, size_t* got) override {
    *got = 0;
    FsError error = fs_->Check(FsOp::kRead, path_);
    return error != FsError::kNone ? error : base_->ReadAt(offset, buffer, n, got);
  }
  FsError Write(const void* buffer, size_t n) override {
    return Written(n, [&](size_t k) { return base_->Write(buffer, k); });
  }
  FsError WriteAt(uint64_t offset, const void* buffer, size_t n) override {
    return Written(n, [&](size_t k) { return base_->WriteAt(offset, buffer, k); });
  }
  FsError Truncate(uint64_t size) override {
    FsError error = fs_->Check(FsOp::kWrite, path_);
    if (error == FsError::kNone && fs_->Model() != nullptr) fs_->Model()->BeforeWrite(reached_);
    return error != FsError::kNone ? error : base_->Truncate(size);
  }
  FsError Size(uint64_t* size) override {
    FsError error = fs_->Check(FsOp::kStat, path_);
    return error != FsError::kNone ? error : base_->Size(size);
  }
  FsError Sync() override {
    FsError error = fs_->Check(FsOp::kSync, path_);
    if (error == FsError::kNone) error = base_->Sync();
    if (error == FsError::kNone && fs_->Model() != nullptr) fs_->Model()->Synced(reached_);
    return error;
  }
  FsError LockRange(uint64_t start, uint64_t length, Lock lock) override {
    FsError error = lock == Lock::kUnlock ? FsError::kNone : fs_->Check(FsOp::kLock, path_);
    return error != FsError::kNone ? error : base_->LockRange(start, length, lock);
  }
  FsError Close() override {
    FsError error = fs_->Check(FsOp::kClose, path_);
    FsError closed = base_->Close();
    return error != FsError::kNone ? error : closed;
  }

 private:
  // A write of n bytes through write(k), cut by a short-write fault or the
  // crash point.
  template <typename WriteFn>
  FsError Written(size_t n, WriteFn write) {
    size_t keep = 0;
    FsError error = fs_->Check(FsOp::kWrite, path_, &keep);
    if (error == FsError::kIoError && fs_->Crashed()) return error;
    size_t k = error != FsError::kNone ? std::min(keep, n) : n;
    size_t room = fs_->WriteRoom(k);
    if (room < k) {
      k = room;
      error = FsError::kIoError;
    }
    if (k > 0) {
      if (fs_->Model() != nullptr) fs_->Model()->BeforeWrite(reached_);
      FsError written = write(k);
      if (written != FsError::kNone) return written;
    }
    return error;
  }

  FaultFs* fs_;
  std::string path_;
  std::string reached_;  // the path on the base file system
  std::unique_ptr<FsFile> base_;
};
}  // namespace

FaultFs::FaultFs(Fs* base) : base_(base) {}

void FaultFs::FailNth(FsOp op, int nth, FsError error, const std::string& name_part,
                      size_t keep_bytes) {
  faults_.push_back({op, nth, error, name_part, keep_bytes, false});
}

void FaultFs::CrashAtNth(FsOp op, int nth, const std::string& name_part) {
  faults_.push_back({op, nth, FsError::kIoError, name_part, 0, true});
  if (model_ == nullptr) model_ = std::make_unique<CrashModel>(base_);
}

void FaultFs::CrashAfterBytes(uint64_t bytes) {
  if (model_ == nullptr) model_ = std::make_unique<CrashModel>(base_);
  crash_set_ = true;
  crash_room_ = bytes;
}

namespace {
// True when path holds part, a backslash and a slash taken as the same: a
// part written "/out/" matches native paths here and "T:\out\a.csv" under
// Windows.
bool HoldsPart(const std::string& path, const std::string& part) {
  if (part.empty()) return true;
  auto same = [](char a, char b) { return a == b || ((a == '/' || a == '\\') && (b == '/' || b == '\\')); };
  return std::search(path.begin(), path.end(), part.begin(), part.end(), same) != path.end();
}
}  // namespace

int FaultFs::Calls(FsOp op, const std::string& name_part) const {
  return static_cast<int>(std::count_if(calls_.begin(), calls_.end(), [&](const auto& call) {
    return call.first == op && HoldsPart(call.second, name_part);
  }));
}

FsError FaultFs::Check(FsOp op, const std::string& path, size_t* keep_bytes) {
  if (crashed_) return FsError::kIoError;
  if (keep_calls_) calls_.emplace_back(op, path);
  // Every fault counts the call, also after one has struck: faults of the
  // calls n, n+1, ... strike at each of them.
  const Fault* strikes = nullptr;
  for (Fault& fault : faults_) {
    if (fault.op != op || fault.left <= 0) continue;
    if (!HoldsPart(path, fault.name_part)) continue;
    if (--fault.left == 0 && strikes == nullptr) strikes = &fault;
  }
  if (strikes == nullptr) return FsError::kNone;
  if (strikes->crash) {
    crashed_ = true;
    return FsError::kIoError;
  }
  if (keep_bytes != nullptr) *keep_bytes = strikes->keep_bytes;
  ++struck_;
  return strikes->error;
}

size_t FaultFs::WriteRoom(size_t n) {
  if (!crash_set_) return n;
  size_t room = crash_room_ < n ? static_cast<size_t>(crash_room_) : n;
  crash_room_ -= room;
  if (room < n) crashed_ = true;
  return room;
}

FsError FaultFs::Open(const std::string& path, FsOpen mode, std::unique_ptr<FsFile>* file) {
  file->reset();
  FsError error = Check(FsOp::kOpen, path);
  if (error != FsError::kNone) return error;
  std::unique_ptr<FsFile> base;
  const std::string reached = Reach(path);
  const bool writes = mode != FsOpen::kRead;
  if (writes && model_ != nullptr) model_->BeforeWrite(reached);
  error = base_->Open(reached, mode, &base);
  if (error == FsError::kNone && writes && model_ != nullptr) model_->AfterCreate(reached);
  if (error == FsError::kNone) *file = std::make_unique<FaultFile>(this, path, reached, std::move(base));
  return error;
}

FsError FaultFs::CopyMode(const std::string& from, const std::string& to) {
  FsError error = Check(FsOp::kStat, to);
  return error != FsError::kNone ? error : base_->CopyMode(Reach(from), Reach(to));
}

FsError FaultFs::Stat(const std::string& path, bool follow, FsStat* stat) {
  FsError error = Check(FsOp::kStat, path);
  if (error == FsError::kNone) error = base_->Stat(Reach(path), follow, stat);
  for (const std::string& part : denied_writing_) {
    if (error == FsError::kNone && HoldsPart(path, part)) stat->writable = false;
  }
  return error;
}

FsError FaultFs::Remove(const std::string& path) {
  FsError error = Check(FsOp::kRemove, path);
  if (error != FsError::kNone) return error;
  const std::string reached = Reach(path);
  if (model_ != nullptr) model_->BeforeName(reached);
  error = base_->Remove(reached);
  if (error == FsError::kNone && model_ != nullptr) model_->Removed(reached);
  return error;
}

FsError FaultFs::Rename(const std::string& from, const std::string& to) {
  FsError error = Check(FsOp::kRename, from + "\n" + to);
  if (error != FsError::kNone) return error;
  const std::string reached_from = Reach(from), reached_to = Reach(to);
  if (model_ != nullptr) {
    model_->BeforeName(reached_from);
    model_->BeforeName(reached_to);
  }
  error = base_->Rename(reached_from, reached_to);
  if (error == FsError::kNone && model_ != nullptr) model_->Renamed(reached_from, reached_to);
  return error;
}

FsError FaultFs::SyncFolder(const std::string& folder) {
  FsError error = Check(FsOp::kSync, folder);
  if (error == FsError::kNone) error = base_->SyncFolder(Reach(folder));
  if (error == FsError::kNone && model_ != nullptr) model_->FolderSynced(Reach(folder));
  return error;
}

FsError FaultFs::CreateFolder(const std::string& path) {
  FsError error = Check(FsOp::kFolder, path);
  return error != FsError::kNone ? error : base_->CreateFolder(Reach(path));
}

FsError FaultFs::RemoveFolder(const std::string& path) {
  FsError error = Check(FsOp::kFolder, path);
  return error != FsError::kNone ? error : base_->RemoveFolder(Reach(path));
}

FsError FaultFs::ListFolder(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  FsError error = Check(FsOp::kList, folder);
  return error != FsError::kNone ? error : base_->ListFolder(Reach(folder), names);
}

FsError FaultFs::LockFolder(const std::string& folder, int timeout_ms,
                            std::unique_ptr<FsLock>* lock) {
  FsError error = Check(FsOp::kLock, folder);
  return error != FsError::kNone ? error : base_->LockFolder(Reach(folder), timeout_ms, lock);
}

FsError FaultFs::LockFile(const std::string& path, int timeout_ms, std::unique_ptr<FsLock>* lock) {
  FsError error = Check(FsOp::kLock, path);
  if (error != FsError::kNone) return error;
  const std::string reached = Reach(path);
  if (model_ != nullptr) model_->BeforeWrite(reached);
  error = base_->LockFile(reached, timeout_ms, lock);
  if (error == FsError::kNone && model_ != nullptr) model_->AfterCreate(reached);
  return error;
}

namespace {
// A root in the form the drive types are kept under: ASCII letters in upper
// case, without a final backslash.
std::string RootKey(std::string root) {
  if (!root.empty() && root.back() == '\\') root.pop_back();
  for (char& c : root) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return root;
}
}  // namespace

void FaultFs::SetDriveType(const std::string& root, unsigned type) { drive_types_[RootKey(root)] = type; }

void FaultFs::ReachRootAt(const std::string& root, const std::string& native_folder) {
  roots_[RootKey(root)] = native_folder;
}

std::string FaultFs::Reach(const std::string& path) const {
  for (const auto& [root, folder] : roots_) {
    if (path.size() < root.size() || RootKey(path.substr(0, root.size())) != root) continue;
    if (path.size() > root.size() && path[root.size()] != '\\') continue;
    return folder + path.substr(root.size());
  }
  return path;
}

unsigned FaultFs::DriveType(const char* root) {
  if (root != nullptr) {
    auto it = drive_types_.find(RootKey(root));
    if (it != drive_types_.end()) return it->second;
  }
  return base_->DriveType(root);
}
