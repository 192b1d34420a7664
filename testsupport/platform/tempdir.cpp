#include "tempdir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {
// The path of a native (UTF-8) name, and back: the standard library reads a
// narrow path in the ANSI code page under Windows.
fs::path PathOf(const std::string& native) {
  return fs::path(std::u8string(native.begin(), native.end()));
}
std::string NativeOf(const fs::path& path) {
  std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}

#ifdef _WIN32
std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                              static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}

// Sets (value null: removes) the variable in the process's environment and
// in the C runtime's copy of it (an empty value removes it from the copy).
void SetVariable(const std::string& name, const std::string* value) {
  std::wstring wide_name = Wide(name), wide_value = value != nullptr ? Wide(*value) : L"";
  _wputenv_s(wide_name.c_str(), wide_value.c_str());
  SetEnvironmentVariableW(wide_name.c_str(), value != nullptr ? wide_value.c_str() : nullptr);
}

constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif
}  // namespace

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
  std::string path = path_ + kSeparator + name;
  if (kSeparator != '/') {
    for (char& c : path) {
      if (c == '/') c = kSeparator;
    }
  }
  return path;
}

ScopedEnv::ScopedEnv(const char* name, const std::string& value) : name_(name) {
  const char* old = std::getenv(name);
  had_ = old != nullptr;
  if (had_) old_ = old;
#ifdef _WIN32
  SetVariable(name_, &value);
#else
  setenv(name, value.c_str(), 1);
#endif
}

ScopedEnv::~ScopedEnv() {
#ifdef _WIN32
  SetVariable(name_, had_ ? &old_ : nullptr);
#else
  if (had_) {
    setenv(name_.c_str(), old_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
#endif
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
