#include "nativeos.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "nativepath.h"

namespace fs = std::filesystem;

bool MakeNativeFolders(const std::string& native) {
  std::error_code ec;
  fs::create_directories(PathOf(native), ec);
  return fs::is_directory(PathOf(native), ec);
}

bool NativeIsFolder(const std::string& native) {
  std::error_code ec;
  return fs::is_directory(PathOf(native), ec);
}

int CountFolderEntries(const std::string& native) {
  std::error_code ec;
  int entries = 0;
  for (fs::directory_iterator it(PathOf(native), ec), end; !ec && it != end; it.increment(ec)) ++entries;
  return entries;
}

std::vector<std::string> FolderEntryNames(const std::string& native) {
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(PathOf(native), ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(NativeOf(it->path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

ScopedCurrentFolder::ScopedCurrentFolder() {
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  if (!ec) old_ = NativeOf(cwd);
}

bool ScopedCurrentFolder::MoveTo(const std::string& native) {
  std::error_code ec;
  fs::current_path(PathOf(native), ec);
  return !ec;
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
  std::error_code ec;
  if (!old_.empty()) fs::current_path(PathOf(old_), ec);
}
