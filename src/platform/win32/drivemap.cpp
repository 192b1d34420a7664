// No drive map under Windows: a Windows path is its own native path.
#include "drivemap.h"

#include <cstring>

#include "codepage.h"
#include "mbcs.h"

bool DriveMapToNative(const char* windows, std::string* native) {
  return windows != nullptr && windows[0] != 0 && Cp932ToUtf8(windows, native);
}

bool DriveMapToWindows(const std::string& native, std::string* windows) {
  return !native.empty() && Utf8ToCp932(native, windows);
}

bool DriveMapInUse() { return false; }

std::string DriveMapRoots() { return ""; }

// VELOR_DRIVES is not read here: there is nothing to check.
bool DriveMapCheck(std::string*, std::string*) { return true; }

std::string NativeParentOf(const std::string& native) {
  size_t slash = native.find_last_of("\\/");
  if (slash == std::string::npos) {
    // "X:name" lies in the current folder of drive X:.
    return native.size() >= 2 && native[1] == ':' ? native.substr(0, 2) : ".";
  }
  // The root's own separator stays: "X:\" and "\".
  bool root = slash == 0 || (slash == 2 && native[1] == ':');
  return native.substr(0, root ? slash + 1 : slash);
}

bool DriveMapFolderOf(const char* windows, std::string* folder) {
  size_t length = std::strlen(windows), slash = MbcsFindLast(windows, length, '\\');
  if (slash == length) {
    *folder = ".";
    return true;
  }
  // A name is added so that a root comes back as the folder it is.
  std::string native;
  if (!DriveMapToNative((std::string(windows, slash + 1) + "x").c_str(), &native)) return false;
  *folder = NativeParentOf(native);
  return true;
}
