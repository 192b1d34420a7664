// One export of a company data into the folder of an asset file, without a
// user interface: the engine's stages and the commit, and what came of them.
// The caller turns the result into messages, a report or a table row.
#pragma once
#include <string>
#include <vector>

#include "ClDepreciation.h"
#include "exportobserver.h"
#include "filecommit.h"
#include "fs.h"
#include "hostrecords.h"

// What one export did.
struct ExportRunResult {
  enum Outcome { kExported, kExportedWithDiagnostics, kFailed, kCancelled };
  Outcome outcome = kFailed;
  // The Windows paths (code page 932) of the asset file, the asset-kind
  // file and the log; the last two "" when they cannot be derived.
  std::string asset_path, kind_path, log_path;
  ClDepreciation::Tally tally;
  unsigned file_failures = 0;  // ClDepreciation::kFailed* bits
  unsigned host_failures = 0;  // ClDepreciation::kHost* bits
  std::string store_cause;     // the store's words for them (code page 932)
  FsError causes[3] = {};      // why each file failed, by ClCSVEdit::OutputFile
  bool overflow = false;       // the rows stopped on the decimal overflow
  bool wrong_company = false;  // the record named another company data
  bool log_kept = false;       // the log holds entries and stays in place
  bool committed = false;      // the new files were put in place
  // Files the commit left in the folder: after a good commit backups or
  // temporaries it could not remove, else previous files it could not put
  // back (each with where it lies).
  std::vector<LeftFile> left_files;
};

// Where the export takes the company whose assets it walks.
enum class ExportCompany {
  kSelection,  // the host's selection; data must be its record
  kRecord,     // data itself, the host's selection left as it is
};

// An export whose files are written beside their final names, waiting for
// its commit. It holds the folder's lock and no longer reaches the host, so
// that the commit may run on another thread.
class WrittenExport {
 public:
  // Exports data into the folder of output (a Windows path, code page 932)
  // with the engine's three stages; observer (null: none) hears of the
  // entries and the progress and may cancel, and must outlive Commit. The
  // folder is taken as prepared (when not null: made for output) or
  // prepared here.
  WrittenExport(const StDATAINFO& data, const char* output, ClExportObserver* observer,
                ExportCompany company, ClCSVEdit::PreparedOutput* prepared = nullptr);
  WrittenExport(const WrittenExport&) = delete;
  WrittenExport& operator=(const WrittenExport&) = delete;
  // Puts the files in place when all are complete (a failed or cancelled
  // export leaves the previous ones), gives up the lock and tells what the
  // export did. Once.
  ExportRunResult Commit();

 private:
  ClDepreciation engine_;
  char path_[kPathBufferSize] = {};
};

// A WrittenExport of data committed at once. Shows nothing and remembers
// nothing.
ExportRunResult RunExportFiles(const StDATAINFO& data, const char* output,
                               ClExportObserver* observer, ExportCompany company);

// The message (code page 932) of a failed export: the overflow, the host
// data, the files that failed with their causes, then extra, then the
// closing line.
std::string ExportFailureText(const ExportRunResult& result, const std::string& extra);
// The causes of a failed export on one line each, without the heading and
// the closing line of ExportFailureText (code page 932).
std::string ExportFailureCauses(const ExportRunResult& result);
