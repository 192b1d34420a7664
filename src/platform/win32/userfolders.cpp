#include "userfolders.h"

#include <shlobj.h>

#include "win32/wide.h"

std::string UserDataFilePath(const char* program, const char* file) {
  PWSTR folder = nullptr;
  HRESULT result = SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder);
  std::string path;
  if (SUCCEEDED(result) && folder != nullptr && folder[0] != 0) {
    path = WideToUtf8(folder) + "\\" + program + "\\" + file;
  }
  CoTaskMemFree(folder);
  return path;
}
