// Test helpers: temporary folders and whole-file reads and writes.
#pragma once
#include <string>

// A new empty folder under the system's temporary folder; removed with all
// it holds when the object is destroyed.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder's native absolute path, without a trailing slash.
  const std::string& path() const { return path_; }
  // path() + the native separator + name, every '/' of name turned into
  // that separator.
  std::string Native(const std::string& name) const;

 private:
  std::string path_;
};

// Sets the environment variable name to value for the object's life and then
// restores what was there before (also its absence).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_, old_;
  bool had_;
};

// The whole content of a native file; "" when it cannot be read.
std::string ReadFileBytes(const std::string& native);
// Writes bytes as the whole content of a native file (creating folders).
void WriteFileBytes(const std::string& native, const std::string& bytes);
// True when a native file or folder exists.
bool NativeExists(const std::string& native);
