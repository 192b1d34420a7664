#include "commandline.h"

#include <set>

namespace {

// Takes the value of option name from "name=value" or the next argument.
bool TakeValue(const std::vector<std::string>& args, size_t* i, const std::string& name,
               std::string* value, std::string* error) {
  const std::string& arg = args[*i];
  if (arg.size() > name.size()) {
    *value = arg.substr(name.size() + 1);
  } else if (*i + 1 < args.size()) {
    *value = args[++*i];
  } else {
    value->clear();
  }
  if (value->empty()) {
    *error = name + " needs a value";
    return false;
  }
  return true;
}

}  // namespace

bool ParseVelorOptions(const std::vector<std::string>& args, VelorOptions* options,
                       std::string* error) {
  std::set<std::string> seen;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string name = arg.substr(0, arg.find('='));
    if (arg == "--help" || arg == "-h") {
      options->help = true;
      continue;
    }
    bool flag = arg == "--yes" || arg == "--no-viewer";
    bool valued = name == "--db" || name == "--user" || name == "--output" || name == "--ui";
    if (!flag && !valued) {
      *error = arg.rfind('-', 0) == 0 ? "unknown option " + arg : "unexpected argument '" + arg + "'";
      return false;
    }
    if (!seen.insert(name).second) {
      *error = name + " given twice";
      return false;
    }
    if (arg == "--yes") options->yes = true;
    if (arg == "--no-viewer") options->no_viewer = true;
    if (flag) continue;
    std::string value;
    if (!TakeValue(args, &i, name, &value, error)) return false;
    if (name == "--db") {
      options->has_db = true;
      options->db = value;
    } else if (name == "--user") {
      options->has_user = true;
      options->user = value;
    } else if (name == "--output") {
      options->has_output = true;
      options->output = value;
    } else if (value == "auto") {
      options->ui = VelorOptions::kUiAuto;
    } else if (value == "console") {
      options->ui = VelorOptions::kUiConsole;
    } else if (value == "desktop") {
      options->ui = VelorOptions::kUiDesktop;
    } else {
      *error = "--ui takes auto, console or desktop, not '" + value + "'";
      return false;
    }
  }
  return true;
}

const char* VelorUsage() {
  return "usage: velor [--db FILE] [--user ID] [--output PATH] [--yes] [--no-viewer]\n"
         "             [--ui auto|console|desktop]\n"
         "\n"
         "Exports the fixed assets of the company data that the user has selected in\n"
         "the host store: the asset file at the output path, syurui.SSC and, when\n"
         "values could not be carried over unchanged, VelrixSysErr.txt beside it.\n"
         "\n"
         "  --db FILE       the host store (default: $VELOR_HOST_DB, else\n"
         "                  $XDG_DATA_HOME/velor/host.sqlite)\n"
         "  --user ID       the current user (default: $VELOR_USER, else the login name)\n"
         "  --output PATH   export to PATH without asking; a Windows path (C:\\dir\\a.csv)\n"
         "                  or a native absolute path under a drive of VELOR_DRIVES\n"
         "  --yes           answer Yes to questions (create the folder, replace the\n"
         "                  file) when no terminal is there to ask\n"
         "  --no-viewer     do not open the diagnostics log in a viewer\n"
         "  --ui MODE       console, desktop, or auto: the desktop when a display is\n"
         "                  there and it is built, else the console (default)\n"
         "  --help          this text\n"
         "\n"
         "Without --output the path is asked for on a terminal (Enter keeps the one\n"
         "offered); without a terminal the offered path is exported once.\n"
         "\n"
         "Environment: VELOR_DRIVES maps Windows drives onto native folders\n"
         "(\"C:=/srv/data;D:=/media/usb@removable\"; unset: \"Z:=/\");\n"
         "VELOR_VIEWER is the command (no shell) that shows the diagnostics log.\n"
         "\n"
         "Exit status: 0 exported, log deleted; 3 exported with diagnostics entries\n"
         "(log kept); 1 refused, cancelled or failed; 2 bad command line or front end\n"
         "not available.\n";
}
