#include "tempdir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#include "nativeos.h"
#include "nativepath.h"

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "velor-test-%08x", static_cast<unsigned>(random()));
    fs::path candidate = base / name;
    if (fs::create_directory(candidate, ec)) {
      path_ = NativeOf(candidate);
      return;
    }
  }
  path_ = NativeOf(base / "velor-test-none");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::path top = PathOf(path_);
  fs::permissions(top, fs::perms::owner_all, fs::perm_options::add, ec);
  for (auto& e : fs::recursive_directory_iterator(top, ec)) {
    fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(top, ec);
}

std::string TempDir::Native(const std::string& name) const {
  const char separator = NativeSeparator();
  std::string path = path_ + separator + name;
  for (char& c : path) {
    if (c == '/') c = separator;
  }
  return path;
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  const char* old = EnvValue(name);
  had_ = old != nullptr;
  if (had_) old_ = old;
  SetEnvValue(name, value);
}

ScopedEnv::~ScopedEnv() {
  if (had_) {
    SetEnvValue(name_.c_str(), old_);
  } else {
    RemoveEnvValue(name_.c_str());
  }
}

std::string ReadFileBytes(const std::string& native) {
  std::ifstream in(PathOf(native), std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFileBytes(const std::string& native, const std::string& bytes) {
  std::error_code ec;
  fs::create_directories(PathOf(native).parent_path(), ec);
  std::ofstream out(PathOf(native), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool NativeExists(const std::string& native) {
  std::error_code ec;
  return fs::exists(PathOf(native), ec);
}
