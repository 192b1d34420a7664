// Test helper: drives and shares on every platform. Each root ("X:" or
// "\\server\share") reaches a native folder and reports a drive type through
// a fault-injecting file system that the object puts in use for its life.
// Natively the drive map gives the root its folder (VELOR_DRIVES, restored
// when the object goes); under Windows that file system sends the root's
// paths to the folder. Faults of a test go on a FaultFs over Fs::Default().
#pragma once
#include <memory>
#include <string>

#include "drivemap.h"
#include "faultfs.h"
#include "tempdir.h"

// True when the platform reaches drives through the drive map (VELOR_DRIVES),
// as natively; false under Windows, whose paths are real ones.
bool HasDriveMap();

class TestDrives {
 public:
  // No drives yet.
  TestDrives();
  ~TestDrives();
  TestDrives(const TestDrives&) = delete;
  TestDrives& operator=(const TestDrives&) = delete;

  // Gives root the native folder native_folder (which need not exist: a
  // drive with nothing inserted) and the drive type type (DRIVE_*).
  void Add(const std::string& root, const std::string& native_folder, unsigned type = DRIVE_FIXED);

 private:
  FaultFs fs_;
  ScopedFs in_use_{&fs_};
  std::string entries_;
  std::unique_ptr<ScopedEnv> env_;
};
