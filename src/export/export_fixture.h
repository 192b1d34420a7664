// Test helpers of the export: a run of the three stages over a ledger, and
// the lines, columns and log entries of the files it wrote.
#pragma once
#include <map>
#include <string>
#include <vector>

// The three files of one export, as bytes.
struct ExportFiles {
  std::string error;  // why the run could not take place; empty when it ran
  std::string asset;  // the asset file
  std::string kind;   // syurui.SSC
  std::string log;    // VelrixSysErr.txt
  bool ok() const { return error.empty(); }
};

// Imports ledgerJson (UTF-8) into a new host store, connects as user, and
// runs the three stages on the user's selected company data with the output
// path C:\out\assets.csv, C: mapped onto a temporary folder.
ExportFiles RunExport(const std::string& ledgerJson, const std::string& user = "u");

// RunExport of the OneCompanyLedger of assetsJson, failing the test when the
// run could not take place.
ExportFiles ExportAssets(const std::string& assetsJson);

// A ledger with the user "u" and one company (data number 1, fiscal year
// 20250401 to 20260331) whose assets and asset kinds are the given JSON
// arrays (UTF-8 texts).
std::string OneCompanyLedger(const std::string& assetsJson, const std::string& kindsJson = "[]",
                             int entityKind = 1);
// The bytes of a UTF-8 literal.
std::string Utf8(const char8_t* text);

// The lines of bytes, each without its CR LF; a last line without CR LF is
// kept too.
std::vector<std::string> SplitLines(const std::string& bytes);
// The data rows of an asset file: its lines after the preamble and titles.
std::vector<std::string> DataRows(const std::string& assetFile);
// The 156 values of a data row (values never hold a comma in these tests).
std::vector<std::string> Columns(const std::string& row);
// The value of column (1 to 156) of row.
std::string Column(const std::string& row, int column);
// A data row whose columns hold the given values (column number to value)
// and are empty otherwise.
std::string RowOf(const std::map<int, std::string>& values);
// An entry text as the log keeps it: at most 152 bytes, ending at a whole
// character.
std::string Kept(const std::string& text);
// The entries of a log, each without its CR LF.
std::vector<std::string> LogEntries(const std::string& log);
