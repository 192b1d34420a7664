// Reads a damaged store: the input is a list of patches (4-byte offset,
// 1-byte length, bytes) laid over the file of a small store made at start.
// Every read the exporter and velor-host make must end in data or a refusal.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "ClRuleGenkashokyaku.h"
#include "ClSetData.h"
#include "hostsession.h"
#include "hoststore.h"
#include "ledger_import.h"
#include "taskalloc.h"
#include "store_admin.h"

namespace {

const char kLedger[] = R"({"format": "velor-ledger/1",
  "users": [{"user_id": "u", "selected_data_no": 1}],
  "companies": [{"data_no": 1, "data_id": "A", "szDataName": "x",
    "asset_kinds": [{"lKindNo": 1, "szKindName": "k"}, {"lKindNo": 2}],
    "assets": [{"szAssetCode": "1"}, {"szAssetCode": "2", "nMethod": 4,
                "breakdowns": [{"szBreakdownName": "a"}, {"szBreakdownName": "b"}]},
               {"szAssetCode": "3", "szMemo": "m"}]}]})";

std::string g_path;

std::vector<char> MakeStore() {
  g_path = "/tmp/velor-fuzz-store-" + std::to_string(std::rand()) + ".sqlite";
  std::remove(g_path.c_str());
  std::string error;
  sqlite3* db = nullptr;
  std::istringstream ledger(kLedger);
  if (!CreateHostStore(g_path, "C:\\out\\", "C:\\set\\", &error) ||
      OpenHostStore(g_path, true, &db, &error) != HOST_OPEN_OK || !ImportLedger(db, ledger, &error)) {
    std::fprintf(stderr, "cannot make the store: %s\n", error.c_str());
    std::abort();
  }
  sqlite3_close(db);
  std::vector<char> bytes;
  if (std::FILE* f = std::fopen(g_path.c_str(), "rb")) {
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
  }
  if (bytes.empty()) std::abort();
  return bytes;
}

void WalkStore() {
  std::string message;
  if (HostSession::Open(g_path, "u", &message) != 0) return;
  ClSetData sets;
  LONG cursor = 0;
  sets.GetDatCursor(&cursor);
  sets.ReadyDat(cursor, 0);
  StDATAINFO info{};
  for (int i = 0; i < 100 && sets.WalkDat(&info, cursor) == 0; ++i) {
  }
  sets.ReleaseDatCursor(cursor);
  ClRuleGenkashokyaku rule;
  rule.SetCurDataID("A");
  if (rule.MoveReady(nullptr, 0, 0) == 0) {
    for (long i = 0; i < rule.GetCount() && i < 100; ++i) {
      StKOTEISHISANINFO asset{};
      StKOTEINENINFO year{};
      if (rule.Move(i, &asset, &year, nullptr) != 0) break;
      long lines = 0;
      if (rule.MoveReadyIkkatsu(asset.abAssetKey) != 0) break;
      rule.GetIkkatsuCount(&lines);
      for (long j = 0; j < lines; ++j) {
        StIKKATSUINFO line{};
        rule.MoveIkkatsu(j, &line);
      }
      rule.MoveFinishIkkatsu();
    }
  }
  StSHISANKUBUNINFO* kinds = nullptr;
  long count = 0;
  rule.LoadShisanKubunInfo(&kinds, &count);
  CoTaskMemFree(kinds);
  rule.MoveFinish();
  std::ostringstream out;
  std::string error;
  ListStore(HostSession::Current()->db(), out, &error);
  CheckStore(HostSession::Current()->db(), out, &error);
  HostSession::Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::vector<char> base = MakeStore();
  std::vector<char> bytes = base;
  for (size_t at = 0; at + 5 <= size;) {
    uint32_t offset = static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
                      static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
    size_t length = data[at + 4];
    at += 5;
    for (size_t i = 0; i < length && at < size; ++i, ++at) bytes[(offset + i) % bytes.size()] = static_cast<char>(data[at]);
  }
  std::FILE* f = std::fopen(g_path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) std::abort();
  WalkStore();
  return 0;
}
