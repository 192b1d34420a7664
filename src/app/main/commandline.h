// The command line of velor.
#pragma once
#include <string>
#include <vector>

// What the command line asks for. Texts are UTF-8 as given.
struct VelorOptions {
  enum Ui { kUiAuto, kUiConsole, kUiDesktop };
  bool help = false;
  bool has_db = false, has_user = false, has_output = false, has_report = false;
  std::string db, user, output, report;
  bool yes = false;
  bool no_viewer = false;
  Ui ui = kUiAuto;
};

// Parses args (without the program name) into *options. Options take their
// value as the next argument or after '='. Returns false with a one-line
// reason in *error for an unknown option, a missing or empty value, a
// repeated option or a stray argument.
bool ParseVelorOptions(const std::vector<std::string>& args, VelorOptions* options,
                       std::string* error);

// The text of --help.
const char* VelorUsage();
