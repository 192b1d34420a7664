#include "commandline.h"

#include <set>

#include "messages.h"

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
    *error = Tr("%s needs a value", {name});
    return false;
  }
  return true;
}

// The number of --jobs: 1 to 256, digits only.
bool ParseJobs(const std::string& text, int* jobs) {
  if (text.empty() || text.size() > 3) return false;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n < 1 || n > 256) return false;
  *jobs = n;
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
    bool valued = name == "--db" || name == "--user" || name == "--output" || name == "--report" ||
                  name == "--ui" || name == "--companies" || name == "--jobs";
    if (!flag && !valued) {
      *error = arg.rfind('-', 0) == 0 ? Tr("unknown option %s", {arg})
                                      : Tr("unexpected argument '%s'", {arg});
      return false;
    }
    if (!seen.insert(name).second) {
      *error = Tr("%s given twice", {name});
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
    } else if (name == "--report") {
      options->has_report = true;
      options->report = value;
    } else if (name == "--companies") {
      options->has_companies = true;
      options->companies = value;
    } else if (name == "--jobs") {
      if (!ParseJobs(value, &options->jobs)) {
        *error = Tr("--jobs takes a number from 1 to 256, not '%s'", {value});
        return false;
      }
    } else if (value == "auto") {
      options->ui = VelorOptions::kUiAuto;
    } else if (value == "console") {
      options->ui = VelorOptions::kUiConsole;
    } else if (value == "desktop") {
      options->ui = VelorOptions::kUiDesktop;
    } else {
      *error = Tr("--ui takes auto, console or desktop, not '%s'", {value});
      return false;
    }
  }
  if (options->jobs != 0 && !options->has_companies) {
    *error = Tr("--jobs goes with --companies");
    return false;
  }
  if (options->has_companies && !options->has_output && !options->help) {
    *error = Tr("--companies needs --output PATTERN");
    return false;
  }
  return true;
}

const char* VelorUsage() {
  return "usage: velor [--db FILE] [--user ID] [--output PATH] [--report FILE.json] [--yes]\n"
         "             [--no-viewer] [--ui auto|console|desktop]\n"
         "       velor --companies all|LIST --output PATTERN [--jobs N] [--report FILE.json]\n"
         "             [--yes] [--no-viewer] [--db FILE] [--user ID] [--ui MODE]\n"
         "\n"
         "Exports the fixed assets of the company data that the user has selected in\n"
         "the host store: the asset file at the output path, syurui.SSC and, when\n"
         "values could not be carried over unchanged, VelrixSysErr.txt beside it.\n"
         "\n"
         "  --db FILE       the host store (default: $VELOR_HOST_DB, else host.sqlite\n"
         "                  in the folder velor of the user's data folder; see below),\n"
         "                  or a server store: postgresql://USER@HOST/DATABASE\n"
         "  --user ID       the current user (default: $VELOR_USER, else the login name)\n"
         "  --output PATH   export to PATH without asking; a Windows path (C:\\dir\\a.csv)\n"
         "  --report FILE   write a JSON report of the export to FILE: the company,\n"
         "                  the files, the counts and every diagnostics entry with\n"
         "                  the asset and column it concerns (docs/report.md)\n"
         "  --yes           answer Yes to questions (create the folder, replace the\n"
         "                  file) when no terminal is there to ask\n"
         "  --no-viewer     do not open the diagnostics log in a viewer\n"
         "  --ui MODE       console, desktop, or auto: the desktop when a display is\n"
         "                  there and it is built, else the console (default)\n"
         "  --companies all|LIST  export every company data of the store, or those of\n"
         "                  LIST (data numbers and ranges: 1,3-7,12), each into its\n"
         "                  own folder; past-results data are skipped\n"
         "  --output PATTERN  with --companies: the asset file of each company, with\n"
         "                  {no} (data number), {id} (data ID) or {name} (company\n"
         "                  name made safe for a file name): D:\\out\\{no}_{name}\\a.csv\n"
         "  --jobs N        with --companies: export N companies at once (default:\n"
         "                  the number of processors)\n"
         "  --help          this text\n"
         "\n"
         "Without --output the path is asked for on a terminal: the path offered (the\n"
         "one remembered for this user and company data) stands on the line ready to\n"
         "edit (cursor keys, Home/End, Up/Down for earlier lines) and Enter takes the\n"
         "line. The first offer is a pattern such as C:\\dir\\*.csv, which is refused:\n"
         "type a file name in place of the *. Without a terminal the offered path is\n"
         "exported once. In the desktop window F12 executes, Enter moves to the next\n"
         "control, Esc cancels, and Y or N answers a question. Every export ends with\n"
         "a line of its counts; one that runs longer than half a second shows its\n"
         "progress (on a terminal: on the standard error, where Ctrl-C cancels it; on\n"
         "the desktop: in a window with a cancel button).\n"
         "\n"
         "With --companies no dialog is shown: every path is checked first (asking\n"
         "its questions, which --yes answers), two companies in one folder are refused\n"
         "before anything is written, and the batch ends with one table (data number,\n"
         "company, assets, rows, warnings, errors, result, folder); --report writes\n"
         "one JSON document with an entry per company. A company that fails keeps its\n"
         "previous files and does not stop the others; Ctrl-C or the cancel button\n"
         "stops the batch between two rows. The remembered paths are not changed.\n"
         "\n"
         "Exit status: 0 exported, log deleted; 3 exported with diagnostics entries\n"
         "(log kept); 1 refused, cancelled or failed; 2 bad command line or front end\n"
         "not available. A batch: 0 every company exported without diagnostics\n"
         "entries; 3 every company exported, some with entries; 1 a company failed or\n"
         "the batch was cancelled; 2 bad command line or two companies in one folder.\n"
         "\n";
}

const char* VelorDriveMapUsage() {
  return "The user's data folder is $XDG_DATA_HOME, else ~/.local/share.\n"
         "\n"
         "The drive map VELOR_DRIVES turns the Windows paths of the system into native\n"
         "folders; --output also takes a native absolute path under one of its drives.\n"
         "Its entries, separated by ';':\n"
         "  X:=/native/folder[@TYPE]     drive X: is that folder; TYPE is fixed (the\n"
         "                               default), removable, remote, cdrom or ramdisk\n"
         "  \\\\server\\share=/native/folder  the share \\\\server\\share (a remote drive)\n"
         "Z:=/ (the whole file system) is always there unless the map assigns Z:\n"
         "itself; the first entry for a drive or share counts. Example:\n"
         "  VELOR_DRIVES='D:=/srv/out;E:=/media/usb@removable;\\\\nas\\acct=/mnt/acct'\n"
         "\n"
         "Environment: VELOR_HOST_DB, VELOR_USER (see above); VELOR_DRIVES (the drive\n"
         "map); VELOR_VIEWER, the command (no shell) that shows the diagnostics log\n"
         "(it is given a UTF-8 copy); LANG=ja_JP.UTF-8 gives these messages in Japanese.\n";
}

const char* VelorWindowsUsage() {
  return "The user's data folder is %APPDATA%. The diagnostics log opens in Notepad.\n"
         "\n"
         "Environment: VELOR_HOST_DB, VELOR_USER (see above). The messages are in\n"
         "Japanese when Windows is, or when LANG is ja_JP.UTF-8.\n";
}
