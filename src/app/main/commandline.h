// The command line of velor.
#pragma once
#include <string>
#include <vector>

// What the command line asks for. Texts are UTF-8 as given.
struct VelorOptions {
  enum Ui { kUiAuto, kUiConsole, kUiDesktop };
  bool help = false;
  bool has_db = false, has_user = false, has_output = false, has_report = false;
  bool has_companies = false;
  std::string db, user, output, report, companies;
  int jobs = 0;  // --jobs; 0 when not given
  bool yes = false;
  bool no_viewer = false;
  Ui ui = kUiAuto;
};

// Parses args (without the program name) into *options. Options take their
// value as the next argument or after '='. Returns false with a one-line
// reason in *error for an unknown option, a missing or empty value, a
// repeated option or a stray argument, a --jobs that is not a number from 1
// to 256, or --jobs without --companies and --companies without --output.
bool ParseVelorOptions(const std::vector<std::string>& args, VelorOptions* options,
                       std::string* error);

// The text of --help: VelorUsage(), then VelorDriveMapUsage() where paths
// go through the drive map, VelorWindowsUsage() under Windows.
const char* VelorUsage();
// The user's data folder, the drive map and the environment where the drive
// map is in use.
const char* VelorDriveMapUsage();
// The user's data folder, the viewer and the environment under Windows.
const char* VelorWindowsUsage();
