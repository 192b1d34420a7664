// velor-host: the command line of the host store.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "codepage.h"
#include "crtio.h"
#include "drivemap.h"
#include "fs.h"
#include "hostsession.h"
#include "ledger_export.h"
#include "ledger_files.h"
#include "ledger_generate.h"
#include "ledger_loader.h"
#include "messages.h"
#include "pathapi.h"
#include "programstart.h"
#include "store_admin.h"
#include "userfolders.h"

namespace {

constexpr int kDone = 0, kRefused = 1, kUsage = 2;

const char* UsageText() {
  return Tr(
    "usage: velor-host COMMAND ...\n"
    "  init DB [--output-folder WINPATH] [--settings-folder WINPATH] [--product-name NAME]\n"
    "                        make a new empty host store\n"
    "  import [--replace] [--dry-run] DB LEDGER\n"
    "                        add a ledger (JSON, workbook or CSV folder) to the store\n"
    "  template FILE.xlsx|FOLDER/\n"
    "                        write an empty ledger workbook (or CSV files) to fill in\n"
    "  export-ledger DB FILE.xlsx|FOLDER/|FILE.json\n"
    "                        write the ledger of the store in a form import reads\n"
    "  list DB               show the users and company data sets of the store\n"
    "  select DB USER_ID DATA_NO\n"
    "                        make a user select a company data set\n"
    "  check DB              check the store and recover an unfinished change\n"
    "  generate DB --assets N [--seed S]\n"
    "                        add a synthetic company of N assets, selected by user bench\n"
    "DB is a store file, or a server store: postgresql://USER@HOST/DATABASE\n"
    "Run velor-host COMMAND --help for one command.\n");
}

struct Command {
  const char* name;
  const char* (*help)();  // the command's help in the user's language
};
const Command kCommands[] = {
    {"init",
     [] { return Tr("usage: velor-host init DB [--output-folder WINPATH] [--settings-folder WINPATH]\n"
     "                          [--product-name NAME]\n"
     "Makes a new empty host store at DB; refuses an existing file. Missing folders\n"
     "above DB are created, and named on the standard error.\n"
     "--output-folder    the default output folder, a Windows path on a drive of the\n"
     "                   drive map (C:\\dir\\, \\\\server\\share\\dir\\); default: the home\n"
     "                   folder ($HOME/; under Windows %USERPROFILE%\\)\n"
     "--settings-folder  the settings folder (Velorant.env, the output paths that every\n"
     "                   user and company data remembers), the same way; default: the\n"
     "                   folder of DB, so that every user of the store shares it\n"
     "--product-name     the name of the installed depreciation application, shown\n"
     "                   in velor's messages about the installation (default below)\n"
     "The default folders are turned into Windows form through the drive map\n"
     "(VELOR_DRIVES; see velor --help).\n"); }},
    {"import",
     [] { return Tr("usage: velor-host import [--replace] [--dry-run] DB LEDGER\n"
     "Adds the users and company data sets of a ledger to the store, all or nothing.\n"
     "LEDGER is a JSON ledger (format velor-ledger/1), a workbook (.xlsx) or a folder of\n"
     "CSV files (see velor-host template). Every mistake is listed (the first 100) with\n"
     "its place; then nothing is imported. Data numbers, data IDs and user IDs already in\n"
     "the store are refused, unless:\n"
     "--replace  the users and companies the ledger names replace those of the store;\n"
     "           the others stay\n"
     "--dry-run  check everything and change nothing: exit 0 when the import would\n"
     "           succeed, 1 with the list of mistakes\n"
     "Every key, its limit and the meaning of the method and kind codes: ledger-format.md,\n"
     "in docs/ of the sources and in share/doc/velor/ of an installation\n"
     "(/usr/share/doc/velor/ledger-format.md from the Debian package).\n"); }},
    {"template",
     [] { return Tr("usage: velor-host template FILE.xlsx|FOLDER/\n"
     "Writes an empty ledger: a workbook with a sheet each for the companies, users,\n"
     "asset kinds, assets and breakdown lines, their Japanese column titles, lists of\n"
     "the codes and an explanation sheet\n"
     "(each column's meaning, whether it is required, its limit and codes); or, for a\n"
     "folder, one CSV file per sheet with its title row. Fill it in, check it with\n"
     "velor-host import --dry-run, then import it.\n"); }},
    {"export-ledger",
     [] { return Tr("usage: velor-host export-ledger DB FILE.xlsx|FOLDER/|FILE.json\n"
     "Writes every company, user, asset kind, asset and breakdown line of the store as\n"
     "a workbook, a folder of CSV files or a JSON ledger; importing it into an empty\n"
     "store gives the same store.\n"); }},
    {"list",
     [] { return Tr("usage: velor-host list DB\nShows the users and company data sets of the store.\n"); }},
    {"select",
     [] { return Tr("usage: velor-host select DB USER_ID DATA_NO\n"
     "Makes the user USER_ID select the company data set DATA_NO.\n"); }},
    {"check",
     [] { return Tr("usage: velor-host check DB\n"
     "Checks the store file and its data (companies of every row, breakdown lines of\n"
     "lump-sum assets, asset numbering, selections); one line per problem. Exit 0 when\n"
     "clean, 1 with problems. Also recovers a store that a killed program left in the\n"
     "middle of a change.\n"); }},
    {"generate",
     [] { return Tr("usage: velor-host generate DB --assets N [--seed S]\n"
     "Adds a synthetic company data set of N assets and makes user bench select it.\n"); }},
};

int Refuse(const std::string& message) {
  std::fprintf(stderr, "velor-host: %s\n", message.c_str());
  return kRefused;
}

int Usage(const Command* command, const std::string& problem) {
  std::fprintf(stderr, "velor-host: %s\n%s", problem.c_str(), command ? command->help() : UsageText());
  return kUsage;
}

bool ParseLong(const std::string& text, long low, long high, long* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  *out = static_cast<long>(value);
  return true;
}

// Opens the store db (a file or a connection URI) read-only or for
// writing, or says why not (null).
std::unique_ptr<StoreSql> OpenForCommand(const std::string& db, bool writable) {
  std::unique_ptr<StoreSql> sql;
  StoreError error = OpenStoreSql(db, writable, &sql);
  if (!error.ok()) Refuse(StoreErrorMessage(error, db));
  return sql;
}

// The Windows form (code page 932, ending in a backslash) of the folder that
// option names on the command line (UTF-8), or of the native default folder.
// A given folder must be a Windows path from a root ("C:\dir", "\\srv\share")
// on a drive or share of the drive map; velor refuses any other.
bool WindowsFolder(const char* option, const std::string& given, const std::string& nativeDefault,
                   std::string* out, std::string* error) {
  std::string what = given.empty() ? "the folder " + nativeDefault : std::string(option) + " " + given;
  if (!given.empty()) {
    std::string suggestion;
    if (!Utf8ToCp932(given, out)) {
      *error = what + " has no code page 932 form";
      return false;
    }
    if (PathSkipRootA(out->c_str()) == nullptr) {
      std::string windows, utf8;
      if (given[0] == '/' && DriveMapToWindows(given, &windows) && Cp932ToUtf8(windows, &utf8)) {
        suggestion = " (through the drive map this folder is " + utf8 + ")";
      }
      *error = what + " is not a Windows path from a drive or share root, such as C:\\dir\\" +
               suggestion;
      return false;
    }
    std::string native;
    if (!DriveMapToNative(out->c_str(), &native)) {
      *error = what + " lies on a drive or share that VELOR_DRIVES does not map" +
               " (the map: " + (HostEnvText("VELOR_DRIVES").empty() ? "Z:=/" : HostEnvText("VELOR_DRIVES")) + ")";
      return false;
    }
  } else if (!DriveMapToWindows(nativeDefault, out)) {
    *error = what + " has no Windows form in the drive map; give the folder in Windows form";
    return false;
  }
  if (out->empty() || out->back() != '\\') *out += '\\';
  if (out->size() > 260) {
    *error = what + " is longer than 260 bytes";
    return false;
  }
  return true;
}

// Makes the missing folders above the store file db and says which it made.
bool MakeStoreFolder(const std::string& db, std::string* error) {
  const std::string parent = NativeParentOf(db);
  std::vector<std::string> made;
  FsError result = CreateNativeFolders(Fs::Default(), parent, &made);
  if (result != FsError::kNone) {
    *error = "cannot create the folder " + parent + " for " + db + ": " + FsErrorText(result);
    return false;
  }
  if (!made.empty()) std::fprintf(stderr, "velor-host: created the folder %s\n", parent.c_str());
  return true;
}

int Init(const Command* cmd, const std::vector<std::string>& args) {
  std::string db, output, settings, product;
  bool has_product = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if ((a == "--output-folder" || a == "--settings-folder") && i + 1 < args.size()) {
      (a == "--output-folder" ? output : settings) = args[++i];
    } else if (a == "--product-name" && i + 1 < args.size()) {
      product = args[++i];
      has_product = true;
    } else if (a.rfind("--", 0) == 0 || !db.empty()) {
      return Usage(cmd, Tr("unexpected argument %s", {a}));
    } else {
      db = a;
    }
  }
  if (db.empty()) return Usage(cmd, Tr("init needs the store file DB"));
  std::string productCp932 = kDefaultProductName;
  if (has_product && (product.empty() || !Utf8ToCp932(product, &productCp932) ||
                      productCp932.size() > kProductNameMax)) {
    return Refuse("--product-name must be 1 to " + std::to_string(kProductNameMax) +
                  " bytes in code page 932");
  }
  // The host's settings live with the host: by default in the store file's
  // own folder, which every user of the store reaches (for a server store,
  // the home folder).
  const bool server = IsStoreUri(db);
  const std::string home = UserHomeFolder();
  const std::string storeFolder = server ? home : NativeParentOf(NativeAbsolutePath(db));
  if ((output.empty() || (server && settings.empty())) && home.empty()) {
    return Refuse("the user has no home folder (HOME is not set); give --output-folder and --settings-folder");
  }
  std::string outputWin, settingsWin, error;
  if (!WindowsFolder("--output-folder", output, home, &outputWin, &error) ||
      !WindowsFolder("--settings-folder", settings, storeFolder, &settingsWin, &error) ||
      (!server && !MakeStoreFolder(db, &error))) {
    return Refuse(error);
  }
  std::unique_ptr<StoreSql> sql;
  StoreError created = CreateStoreSql(db, outputWin, settingsWin, &sql);
  if (!created.ok()) return Refuse(created.detail.empty() ? StoreErrorMessage(created, db) : created.detail);
  bool named = SetProductName(sql.get(), productCp932, &error);
  sql.reset();
  if (!named) {
    if (!server) Fs::Default()->Remove(db);
    return Refuse("cannot create " + db + ": " + error);
  }
  std::printf("%s\n", Tr("created the host store %s: output folder %s, settings folder %s, product name %s",
                        {db, Cp932ToUtf8Shown(outputWin), Cp932ToUtf8Shown(settingsWin),
                         Cp932ToUtf8Shown(productCp932)})
                         .c_str());
  return kDone;
}

int Import(const Command* cmd, const std::vector<std::string>& args) {
  LedgerImportOptions options;
  std::vector<std::string> paths;
  for (const std::string& a : args) {
    if (a == "--replace") {
      options.replace = true;
    } else if (a == "--dry-run") {
      options.dryRun = true;
    } else if (a.rfind("--", 0) == 0 || paths.size() == 2) {
      return Usage(cmd, Tr("unexpected argument %s", {a}));
    } else {
      paths.push_back(a);
    }
  }
  if (paths.size() != 2) return Usage(cmd, Tr("import needs DB and LEDGER"));
  std::unique_ptr<StoreSql> sql = OpenForCommand(paths[0], true);
  if (sql == nullptr) return kRefused;
  const std::string& ledger = paths[1];
  std::vector<std::string> notes;
  bool done = false;
  LedgerLoader loader(sql.get(), options);
  if (loader.Begin()) ReadLedgerPath(ledger, &loader, &notes);
  done = loader.Finish();
  for (const std::string& note : notes) std::fprintf(stderr, "velor-host: %s\n", note.c_str());
  if (!done) {
    const LedgerProblems& problems = loader.problems();
    std::fprintf(stderr, "velor-host: %s\n%s\n",
                 Tr("%s: %s problems, nothing imported", {ledger, std::to_string(problems.count)}).c_str(),
                 problems.Text().c_str());
    return kRefused;
  }
  const std::string counts = LedgerCountsText(loader.counts());
  std::printf("%s\n", (options.dryRun ? Tr("%s: the import would add %s; nothing was changed (dry run)", {ledger, counts})
                                      : Tr("%s: imported %s", {ledger, counts}))
                          .c_str());
  return kDone;
}

int Template(const Command* cmd, const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage(cmd, Tr("template needs FILE.xlsx or FOLDER/"));
  std::string error;
  std::unique_ptr<SheetSink> sink = SheetSinkFor(args[0], &error);
  if (sink == nullptr || !WriteLedgerTemplate(sink.get(), &error)) return Refuse(error);
  std::printf("%s\n", Tr("wrote the ledger template %s", {args[0]}).c_str());
  return kDone;
}

int ExportLedger(const Command* cmd, const std::vector<std::string>& args) {
  if (args.size() != 2) return Usage(cmd, Tr("export-ledger needs DB and FILE.xlsx, FOLDER/ or FILE.json"));
  std::unique_ptr<StoreSql> sql = OpenForCommand(args[0], false);
  if (sql == nullptr) return kRefused;
  std::string error, why;
  bool done = false;
  if (LedgerFormOf(args[1]) == LedgerForm::kJson) {
    std::ostringstream json;
    done = ExportStoreJson(sql.get(), json, &error) && ReplaceNativeFile(args[1].c_str(), json.str(), &why);
    if (!why.empty()) error = "cannot write " + args[1] + ": " + why;
  } else {
    std::unique_ptr<SheetSink> sink = SheetSinkFor(args[1], &error);
    done = sink != nullptr && ExportStoreSheets(sql.get(), sink.get(), &error);
  }
  sql.reset();
  if (!done) return Refuse(error);
  std::printf("%s\n", Tr("wrote the ledger of %s to %s", {args[0], args[1]}).c_str());
  return kDone;
}

int List(const Command* cmd, const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage(cmd, Tr("list needs DB"));
  std::unique_ptr<StoreSql> sql = OpenForCommand(args[0], false);
  if (sql == nullptr) return kRefused;
  std::string error;
  bool done = ListStore(sql.get(), std::cout, &error);
  return done ? kDone : Refuse(error);
}

int Select(const Command* cmd, const std::vector<std::string>& args) {
  long dataNo = 0;
  if (args.size() != 3) return Usage(cmd, Tr("select needs DB, USER_ID and DATA_NO"));
  if (!ParseLong(args[2], INT32_MIN, INT32_MAX, &dataNo)) {
    return Usage(cmd, Tr("DATA_NO must be a 32-bit integer, not %s", {args[2]}));
  }
  std::unique_ptr<StoreSql> sql = OpenForCommand(args[0], true);
  if (sql == nullptr) return kRefused;
  std::string error;
  bool done = SelectData(sql.get(), args[1], dataNo, &error);
  return done ? kDone : Refuse(error);
}

int Check(const Command* cmd, const std::vector<std::string>& args) {
  if (args.size() != 1) return Usage(cmd, Tr("check needs DB"));
  // A writable connection rolls back a change that a killed program left
  // unfinished; a store that cannot be written is checked as it is.
  const bool server = IsStoreUri(args[0]);
  bool unfinished = false;
  FsError journal = server ? FsError::kNone : StoreJournalPending(args[0], &unfinished);
  if (journal != FsError::kNone) {
    return Refuse("cannot check " + args[0] + ": the status of its journal " + args[0] +
                  "-journal cannot be read (" + FsErrorText(journal) + ")");
  }
  std::unique_ptr<StoreSql> sql;
  StoreError opened = OpenStoreSql(args[0], true, &sql);
  if (!opened.ok() && opened.fault != StoreFault::kLocked) opened = OpenStoreSql(args[0], false, &sql);
  if (!opened.ok()) return Refuse(StoreErrorMessage(opened, args[0]));
  std::string error;
  long problems = CheckStore(sql.get(), std::cout, &error);
  sql.reset();
  if (problems < 0) return Refuse("cannot check " + args[0] + ": " + error);
  bool left = true;
  if (!server && unfinished && StoreJournalPending(args[0], &left) == FsError::kNone && !left) {
    std::cout << "recovered: a change left unfinished was rolled back\n";
  }
  if (problems > 0) return Refuse(args[0] + ": " + std::to_string(problems) + " problems");
  std::cout << args[0] << ": no problems\n";
  return kDone;
}

int Generate(const Command* cmd, const std::vector<std::string>& args) {
  std::string path;
  long assets = -1, seed = 1;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--assets" && i + 1 < args.size()) {
      if (!ParseLong(args[++i], 0, 0xFFFFFFF, &assets)) return Usage(cmd, Tr("bad --assets %s", {args[i]}));
    } else if (a == "--seed" && i + 1 < args.size()) {
      if (!ParseLong(args[++i], 0, UINT32_MAX, &seed)) return Usage(cmd, Tr("bad --seed %s", {args[i]}));
    } else if (a.rfind("--", 0) == 0 || !path.empty()) {
      return Usage(cmd, Tr("unexpected argument %s", {a}));
    } else {
      path = a;
    }
  }
  if (path.empty() || assets < 0) return Usage(cmd, Tr("generate needs DB and --assets N"));
  std::unique_ptr<StoreSql> sql = OpenForCommand(path, true);
  if (sql == nullptr) return kRefused;
  GeneratedCompany made;
  std::string error;
  bool done = GenerateCompany(sql.get(), assets, static_cast<uint32_t>(seed), &made, &error);
  sql.reset();
  if (!done) return Refuse(error);
  std::printf("data number %ld, data ID %s: %ld assets, %ld lump-sum with %ld breakdown lines; "
              "user bench selects it\n",
              made.dataNo, made.dataId.c_str(), assets, made.lumpSums, made.breakdowns);
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  PrepareConsole();
  InitMessageLanguage();
  std::vector<std::string> args = ProgramArguments(argc, argv);
  if (args.empty()) return Usage(nullptr, Tr("no command given"));
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::fputs(UsageText(), stdout);
    return kDone;
  }
  const Command* cmd = nullptr;
  for (const Command& c : kCommands) {
    if (args[0] == c.name) cmd = &c;
  }
  if (cmd == nullptr) return Usage(nullptr, Tr("unknown command %s", {args[0]}));
  std::vector<std::string> rest(args.begin() + 1, args.end());
  for (const std::string& a : rest) {
    if (a == "--help" || a == "-h") {
      std::fputs(cmd->help(), stdout);
      std::string name;
      if (cmd == &kCommands[0] && Cp932ToUtf8(kDefaultProductName, &name)) {
        std::printf("The default product name: %s\n", name.c_str());
      }
      return kDone;
    }
  }
  std::string name = cmd->name;
  int status = name == "init"     ? Init(cmd, rest)
               : name == "import" ? Import(cmd, rest)
               : name == "list"   ? List(cmd, rest)
               : name == "template" ? Template(cmd, rest)
               : name == "export-ledger" ? ExportLedger(cmd, rest)
               : name == "select" ? Select(cmd, rest)
               : name == "check"  ? Check(cmd, rest)
                                  : Generate(cmd, rest);
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    Refuse(Tr("the standard output cannot be written"));
    if (status == kDone) status = kRefused;
  }
  return status;
}
