#include "userfolders.h"

#include <cstdlib>

std::string UserDataFilePath(const char* program, const char* file) {
  const char* data = std::getenv("XDG_DATA_HOME");
  std::string folder;
  if (data != nullptr && data[0] != '\0') {
    folder = data;
  } else {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') return "";
    folder = std::string(home) + "/.local/share";
  }
  return folder + "/" + program + "/" + file;
}

std::string UserHomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] != '\0' ? std::string(home) + "/" : std::string();
}
