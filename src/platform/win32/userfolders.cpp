#include "userfolders.h"

#include <shlobj.h>

#include "win32/wide.h"

namespace {
// The native path of the known folder id with a closing backslash; empty
// when the system names none.
std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR folder = nullptr;
  HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &folder);
  std::string path;
  if (SUCCEEDED(result) && folder != nullptr && folder[0] != 0) path = WideToUtf8(folder) + "\\";
  CoTaskMemFree(folder);
  return path;
}
}  // namespace

std::string UserDataFilePath(const char* program, const char* file) {
  std::string folder = KnownFolder(FOLDERID_RoamingAppData);
  return folder.empty() ? folder : folder + program + "\\" + file;
}

std::string UserHomeFolder() { return KnownFolder(FOLDERID_Profile); }
