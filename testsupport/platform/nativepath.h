// Test helpers inside testsupport/platform: native (UTF-8) names as standard
// library paths and back. A narrow path would be read in the ANSI code page
// under Windows; a char8_t one is UTF-8 everywhere.
#pragma once
#include <filesystem>
#include <string>

// The path of the native name native.
inline std::filesystem::path PathOf(const std::string& native) {
  return std::filesystem::path(std::u8string(native.begin(), native.end()));
}
// The native name of path.
inline std::string NativeOf(const std::filesystem::path& path) {
  std::u8string s = path.u8string();
  return std::string(s.begin(), s.end());
}
