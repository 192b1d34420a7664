// Natively a root reaches its folder through an entry of the drive map.
#include "testdrives.h"

bool HasDriveMap() { return true; }

TestDrives::TestDrives() { fs_.KeepCalls(false); }

TestDrives::~TestDrives() = default;

void TestDrives::Add(const std::string& root, const std::string& native_folder, unsigned type) {
  entries_ += (entries_.empty() ? "" : ";") + root + "=" + native_folder;
  // The earlier value is restored first, so that the last one restores the
  // value from before the object.
  env_.reset();
  env_ = std::make_unique<ScopedEnv>("VELOR_DRIVES", entries_);
  fs_.SetDriveType(root, type);
}
