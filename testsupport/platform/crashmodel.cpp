#include "crashmodel.h"

#include <algorithm>
#include <memory>

namespace {
// The bytes of the file path on fs; false when it cannot be read.
bool ReadAll(Fs* fs, const std::string& path, std::string* bytes) {
  bytes->clear();
  std::unique_ptr<FsFile> file;
  FsError error = fs->Open(path, FsOpen::kRead, &file);
  char buffer[8192];
  for (size_t got = 1; error == FsError::kNone && got > 0;) {
    error = file->Read(buffer, sizeof buffer, &got);
    if (error == FsError::kNone) bytes->append(buffer, got);
  }
  return error == FsError::kNone;
}
}  // namespace

std::pair<std::string, std::string> CrashModel::Split(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? path.substr(0, 1) : path.substr(0, slash), path.substr(slash + 1)};
}

void CrashModel::Touch(const std::string& path) {
  if (live_.count(path) != 0) return;
  FsStat st;
  int id = kNone;
  if (base_->Stat(path, false, &st) == FsError::kNone) {
    Node node;
    node.foreign = !st.regular || !ReadAll(base_, path, &node.durable);
    id = static_cast<int>(nodes_.size());
    nodes_.push_back(std::move(node));
  }
  live_[path] = id;
  auto [folder, name] = Split(path);
  durable_[folder].emplace(name, id);
}

void CrashModel::Synced(const std::string& path) {
  Touch(path);
  int id = live_[path];
  if (id == kNone || nodes_[id].foreign) return;
  std::string bytes;
  if (ReadAll(base_, path, &bytes)) nodes_[id].durable = std::move(bytes);
}

void CrashModel::AfterCreate(const std::string& path) {
  Touch(path);
  if (live_[path] != kNone) return;
  Named(path, static_cast<int>(nodes_.size()), changes_++);
  nodes_.push_back(Node{});
}

void CrashModel::Named(const std::string& path, int node, uint32_t number) {
  live_[path] = node;
  auto [folder, name] = Split(path);
  pending_[folder].push_back({name, node, number});
}

// A rename is one change: both names or neither.
void CrashModel::Renamed(const std::string& from, const std::string& to) {
  const uint32_t number = changes_++;
  Named(to, live_[from], number);
  Named(from, kNone, number);
}

void CrashModel::Removed(const std::string& path) { Named(path, kNone, changes_++); }

void CrashModel::FolderSynced(const std::string& folder) {
  for (const Change& change : pending_[folder]) durable_[folder][change.name] = change.node;
  pending_.erase(folder);
}

std::vector<uint32_t> CrashModel::UnflushedNumbers() const {
  std::vector<uint32_t> numbers;
  for (const auto& [folder, changes] : pending_) {
    for (const Change& change : changes) numbers.push_back(change.number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

size_t CrashModel::Unflushed() const { return UnflushedNumbers().size(); }

void CrashModel::Revert(size_t kept) {
  const std::vector<uint32_t> numbers = UnflushedNumbers();
  for (const auto& [folder, changes] : pending_) {
    for (const Change& change : changes) {
      if (kept > 0 && change.number <= numbers[std::min(kept, numbers.size()) - 1]) {
        durable_[folder][change.name] = change.node;
      }
    }
  }
  pending_.clear();
  for (const auto& [path, ignored] : live_) {
    auto [folder, name] = Split(path);
    int id = durable_[folder][name];
    FsStat st;
    bool there = base_->Stat(path, false, &st) == FsError::kNone;
    if (there && !st.regular && !st.symlink) continue;  // a folder made meanwhile
    if (id == kNone) {
      if (there) base_->Remove(path);
      continue;
    }
    if (nodes_[id].foreign) continue;
    if (there && st.symlink) base_->Remove(path);
    std::unique_ptr<FsFile> file;
    if (base_->Open(path, FsOpen::kWriteTruncate, &file) != FsError::kNone) continue;
    file->Write(nodes_[id].durable.data(), nodes_[id].durable.size());
    file->Close();
  }
}
