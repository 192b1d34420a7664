// Under Windows the file system sends a root's paths to its folder.
#include "testdrives.h"

bool HasDriveMap() { return false; }

TestDrives::TestDrives() { fs_.KeepCalls(false); }

TestDrives::~TestDrives() = default;

void TestDrives::Add(const std::string& root, const std::string& native_folder, unsigned type) {
  fs_.ReachRootAt(root, native_folder);
  fs_.SetDriveType(root, type);
}
