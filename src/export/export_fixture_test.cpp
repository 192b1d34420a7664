#include "export_fixture.h"

#include "ClDataMgr.h"
#include "ClDepreciation.h"
#include "ClSetData.h"
#include "gtest/gtest.h"
#include "mbcs.h"
#include "ledger_store.h"
#include "tempdir.h"
#include "testdrives.h"

ExportFiles RunExport(const std::string& ledgerJson, const std::string& user) {
  ExportFiles files;
  TempDir drive;
  TestDrives drives;
  drives.Add("C:", drive.path());
  WriteFileBytes(drive.Native("out/.keep"), "");
  LedgerStore store(ledgerJson, user);
  if (!store.ok()) {
    files.error = store.error();
    return files;
  }
  StDATAINFO data = *ClDataMgr::Inst(nullptr)->GetSetObject(5, 1)->GetSelectedInfo();
  {
    ClDepreciation engine;
    engine.m_strOutputPath = "C:\\out\\assets.csv";
    engine.OutputPreamble(&data);
    engine.OutputAssets(&data);
    engine.OutputAssetKinds(&data);
    engine.CommitOutput();
  }
  files.asset = ReadFileBytes(drive.Native("out/assets.csv"));
  files.kind = ReadFileBytes(drive.Native("out/syurui.SSC"));
  files.log = ReadFileBytes(drive.Native("out/VelrixSysErr.txt"));
  return files;
}

ExportFiles ExportAssets(const std::string& assetsJson) {
  ExportFiles files = RunExport(OneCompanyLedger(assetsJson));
  EXPECT_TRUE(files.ok()) << files.error;
  return files;
}

std::string OneCompanyLedger(const std::string& assetsJson, const std::string& kindsJson,
                             int entityKind) {
  return R"({"format": "velor-ledger/1",
    "users": [{"user_id": "u", "selected_data_no": 1}],
    "companies": [{"data_no": 1, "data_id": "D1", "szDataName": "T",
      "lTermStart": 20250401, "lTermEnd": 20260331, "bEntityKind": )" +
         std::to_string(entityKind) + R"(,
      "asset_kinds": )" + kindsJson + R"(,
      "assets": )" + assetsJson + "}]}";
}

std::string Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> DataRows(const std::string& assetFile) {
  std::vector<std::string> lines = SplitLines(assetFile);
  if (lines.size() <= 7) return {};
  return std::vector<std::string>(lines.begin() + 7, lines.end());
}

std::vector<std::string> Columns(const std::string& row) {
  std::vector<std::string> values;
  size_t start = 0;
  for (;;) {
    size_t comma = row.find(',', start);
    if (comma == std::string::npos) {
      values.push_back(row.substr(start));
      return values;
    }
    values.push_back(row.substr(start, comma - start));
    start = comma + 1;
  }
}

std::string Column(const std::string& row, int column) {
  std::vector<std::string> values = Columns(row);
  if (column < 1 || static_cast<size_t>(column) > values.size()) return "<no column>";
  return values[static_cast<size_t>(column) - 1];
}

std::string RowOf(const std::map<int, std::string>& values) {
  std::string row;
  for (int column = 1; column <= 156; ++column) {
    auto it = values.find(column);
    if (it != values.end()) row += it->second;
    if (column < 156) row += ',';
  }
  return row;
}

std::string Kept(const std::string& text) {
  return text.substr(0, MbcsCutLength(text.data(), text.size(), 152));
}

std::vector<std::string> LogEntries(const std::string& log) { return SplitLines(log); }
