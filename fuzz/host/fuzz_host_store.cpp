// Reads a damaged store: the input is a list of patches (4-byte offset,
// 1-byte length, bytes) laid over the file of a small store made at start.
// Every read the exporter and velor-host make must end in data or a refusal.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "ClRuleGenkashokyaku.h"
#include "ClSetData.h"
#include "hostsession.h"
#include "ledger_import.h"
#include "taskalloc.h"
#include "store_admin.h"
#include "storesql.h"

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
  std::unique_ptr<StoreSql> sql;
  std::istringstream ledger(kLedger);
  StoreError made = CreateStoreSql(g_path, "C:\\out\\", "C:\\set\\", &sql);
  if (!made.ok() || !ImportLedger(sql.get(), ledger, &error)) {
    std::fprintf(stderr, "cannot make the store: %s%s\n", made.detail.c_str(), error.c_str());
    std::abort();
  }
  sql.reset();
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
  HostSession::Close();
  std::unique_ptr<StoreSql> sql;
  if (OpenStoreSql(g_path, false, &sql).ok()) {
    ListStore(sql.get(), out, &error);
    CheckStore(sql.get(), out, &error);
  }
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
