// velor: the exporter's program. Reads the command line, picks the front
// end, and runs the application object.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ClAccConnect.h"
#include "ClControlVelor.h"
#include "ConsoleFrontEnd.h"
#include "codepage.h"
#include "commandline.h"
#include "consoleout.h"
#include "crtio.h"
#include "drivemap.h"
#include "frontend.h"
#include "lineedit.h"
#include "messages.h"
#include "programstart.h"
#include "userfolders.h"
#include "winfs.h"
#include "winproc.h"

namespace {

// The process's application object.
ClControlVelor the_app;

int BadCommandLine(const std::string& why) {
  ConsolePrintf(stderr, "velor: %s\n%s\n", why.c_str(), Tr("Try 'velor --help'."));
  return 2;
}

// The --output path in the system's Windows form (code page 932).
bool OutputPath(const std::string& utf8, std::string* windows, std::string* why) {
  if (!utf8.empty() && utf8[0] == '/') {
    if (!DriveMapToWindows(utf8, windows)) {
      *why = Tr("--output %s lies under no drive of VELOR_DRIVES or has no code page 932 form",
                {utf8});
      return false;
    }
    return true;
  }
  char32_t bad = 0;
  if (!Utf8ToCp932(utf8, windows, &bad)) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(bad));
    *why = Tr("--output %s holds %s, which has no code page 932 form", {utf8, code});
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  InitMessageLanguage();
  VelorOptions options;
  std::string error;
  if (!ParseVelorOptions(ProgramArguments(argc, argv), &options, &error)) {
    return BadCommandLine(error);
  }
  if (options.help) {
    bool wrote = ConsoleWrite(stdout, Tr(VelorUsage())) &&
                 ConsoleWrite(stdout, Tr(DriveMapInUse() ? VelorDriveMapUsage() : VelorWindowsUsage()));
    return wrote && std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
  }
  std::string entry, problem;
  if (!DriveMapCheck(&entry, &problem)) {
    ConsolePrintf(stderr, "velor: %s\n",
                 Tr("the VELOR_DRIVES entry \"%s\" is refused: %s", {entry, problem}).c_str());
    return 1;
  }
  std::string cp932;
  if (options.has_user && !Utf8ToCp932(options.user, &cp932)) {
    return BadCommandLine(Tr("--user %s has no code page 932 form", {options.user}));
  }
  std::string output;
  if (options.has_output && !OutputPath(options.output, &output, &error)) {
    return BadCommandLine(error);
  }
  if (options.has_companies) {
    BatchRequest batch;
    if (!ParseCompanySelection(options.companies, &batch.selection, &error) ||
        !CheckOutputPattern(output, &error)) {
      return BadCommandLine(error);
    }
    batch.pattern = output;
    batch.jobs = options.jobs;
    if (options.has_report) batch.report = NativeAbsolutePath(options.report);
    the_app.SetBatch(batch);
  }

  // Start-up finds the installed-products file in the program's folder,
  // which it reaches through the drive map.
  char module[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  if (length == 0 || length >= sizeof module) {
    ConsolePrintf(stderr, "velor: %s\n",
                 Tr("the program's folder lies under no drive of VELOR_DRIVES; add an entry for "
                    "it (for example Z:=/)"));
    return 1;
  }

  // A desktop window is shown only where a person can answer it: never a
  // message box of a --yes run; and --ui auto takes the console for --output
  // without a terminal too (a script, a scheduled task, a launcher reading
  // the output). Unattended runs print their message boxes.
  bool terminal = _isatty(_fileno(stdin)) != 0;
  bool unattended = options.yes;
  std::unique_ptr<FrontEnd> desktop;
  if (options.ui == VelorOptions::kUiDesktop ||
      (options.ui == VelorOptions::kUiAuto && !unattended && !(options.has_output && !terminal) &&
       DisplayAvailable())) {
    std::string why;
    desktop = CreateDesktopFrontEnd(&why);
    if (desktop == nullptr && options.ui == VelorOptions::kUiDesktop) {
      ConsolePrintf(stderr, "velor: %s\n", Tr("--ui desktop: %s", {why}).c_str());
      return 2;
    }
  }
  std::unique_ptr<LineEditor> editor;
  if (terminal && _isatty(_fileno(stdout)) != 0) editor = std::make_unique<LineEditor>(stdin, stdout);
  ConsoleFrontEnd console(stdin, stdout, stderr, terminal, options.yes, editor.get());
  UnattendedFrontEnd desktop_unattended(desktop != nullptr ? *desktop : console, console);
  FrontEnd& chosen = desktop == nullptr ? static_cast<FrontEnd&>(console)
                     : unattended       ? static_cast<FrontEnd&>(desktop_unattended)
                                        : *desktop;
  PresetPathFrontEnd preset(chosen, output);
  // A batch shows no dialog: its pattern gives every company's path.
  ScopedFrontEnd current(options.has_output && !options.has_companies ? &preset : &chosen);

  SetTextViewerEnabled(!options.no_viewer);
  // Without --db and VELOR_HOST_DB the store lives in the user's data folder.
  const std::string defaultStore = UserDataFilePath("velor", "host.sqlite");
  ClAccConnect::SetStoreOptions(options.has_db ? options.db.c_str() : nullptr,
                                options.has_user ? options.user.c_str() : nullptr,
                                defaultStore.c_str());
  if (options.has_report && !options.has_companies) the_app.SetReportPath(NativeAbsolutePath(options.report));
  RunWinApp(the_app);
  if (const ExportReport* report = the_app.GetReport()) {
    ConsolePrintf(stdout, "%s\n", report->SummaryLine().c_str());
    std::fflush(stdout);
  }
  int status = 1;
  switch (the_app.GetOutcome()) {
    case ClControlVelor::kOutcomeDone:
      status = 0;
      break;
    case ClControlVelor::kOutcomeDiagnostics:
      status = 3;
      break;
    case ClControlVelor::kOutcomeBadRequest:
      status = 2;
      break;
    default:
      break;
  }
  // Messages that never reached the console are no success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    ConsolePrintf(stderr, "velor: the standard output cannot be written; its messages are lost\n");
    if (status == 0) status = 1;
  }
  return status;
}
