// bench_host_walk [--generate N] [--import N] [--dir FOLDER]: times the
// generation of N assets straight into a new store, the import of a ledger
// file of N assets, and the walk of each through ClRuleGenkashokyaku::Move
// (with the breakdown lines of lump-sum assets, as an export walks them),
// and the walk of the generated assets by reading their columns one by one,
// the way of a store without a walk of its own.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "ClAccConnect.h"
#include "ClDataMgr.h"
#include "ClRuleGenkashokyaku.h"
#include "ClSetData.h"
#include "hostfields.h"
#include "sqlfields.h"
#include "storesql.h"
#include "ledger_generate.h"
#include "ledger_import.h"

namespace {

// Seconds of the calendar clock (<chrono> does not build with the code page
// 932 execution character set).
double Now() {
  std::timespec ts;
  std::timespec_get(&ts, TIME_UTC);
  return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
}

double Seconds(double since) { return Now() - since; }

// Processor seconds of the process (the machine may be shared).
double Cpu() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void Report(const char* what, long count, double seconds, double cpu) {
  std::printf("%-26s %8ld assets %7.2f s %10.0f assets/s (cpu %6.2f s, %10.0f assets/cpu-s)\n",
              what, count, seconds, seconds > 0 ? count / seconds : 0.0, cpu,
              cpu > 0 ? count / cpu : 0.0);
}

std::unique_ptr<StoreSql> NewStore(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(path, ec);
  std::unique_ptr<StoreSql> sql;
  StoreError error = CreateStoreSql(path, "C:\\", "C:\\velor\\", &sql);
  if (!error.ok()) std::fprintf(stderr, "bench_host_walk: %s\n", error.detail.c_str());
  return sql;
}

// Reads every asset's columns one by one through the store's statement.
bool WalkColumns(const std::string& path) {
  std::unique_ptr<StoreSql> sql;
  std::unique_ptr<SqlStatement> rows;
  if (!OpenStoreSql(path, false, &sql).ok() ||
      !sql->Prepare("SELECT seq, " + SqlFieldColumns(kAssetFields, kAssetFieldCount, "") +
                        " FROM assets ORDER BY cid, seq",
                    &rows)
           .ok()) {
    return false;
  }
  double start = Now(), cpu = Cpu();
  long count = 0;
  unsigned long long check = 0;
  for (bool row = true;;) {
    if (!rows->Step(&row).ok()) return false;
    if (!row) break;
    StKOTEISHISANINFO asset{};
    StKOTEINENINFO year{};
    void* const records[2] = {&asset, &year};
    ReadSqlFields(rows.get(), 1, kAssetFields, kAssetFieldCount, records);
    check += static_cast<unsigned long long>(asset.cyAcquisitionCost.int64);
    ++count;
  }
  Report("walk generated (columns)", count, Seconds(start), Cpu() - cpu);
  std::printf("%-26s %8s cost sum %llu\n", "", "", check);
  return true;
}

// Walks every asset of the selected data of user as an export does.
bool Walk(const std::string& path, const char* user, const char* what) {
  ClAccConnect::SetStoreOptions(path.c_str(), user);
  if (ClAccConnect::Inst()->Initiate() != 0) return false;
  double start = Now(), cpu = Cpu();
  ClRuleGenkashokyaku rule;
  rule.AttachSetMgr(ClDataMgr::Inst()->GetSetMgr());
  rule.SetCurDataID(ClDataMgr::Inst()->GetSetObject(5, 1)->GetSelectedInfo()->szDataID);
  rule.MoveReady(nullptr, 0, 0);
  long count = rule.GetCount();
  long lines = 0;
  unsigned long long check = 0;
  for (long i = 0; i < count; ++i) {
    StKOTEISHISANINFO asset{};
    StKOTEINENINFO year{};
    StKOTEITSUKIINFO months{};
    rule.Move(i, &asset, &year, &months);
    check += static_cast<unsigned long long>(asset.cyAcquisitionCost.int64);
    if (asset.nMethod != 4) continue;
    long n = 0;
    rule.MoveReadyIkkatsu(asset.abAssetKey);
    rule.GetIkkatsuCount(&n);
    for (long k = 0; k < n; ++k) {
      StIKKATSUINFO line{};
      rule.MoveIkkatsu(k, &line);
    }
    lines += n;
    rule.MoveFinishIkkatsu();
  }
  rule.MoveFinish();
  Report(what, count, Seconds(start), Cpu() - cpu);
  std::printf("%-26s %8ld breakdown lines (cost sum %llu)\n", "", lines, check);
  ClAccConnect::Inst()->Release();
  return true;
}

// The UTF-8 bytes of a u8 literal (narrow literals are code page 932).
const char* U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Writes a ledger of n assets (user "bench") in the shape of the demo.
void WriteLedger(const std::string& path, long n) {
  std::ofstream out(path, std::ios::binary);
  out << R"({"format": "velor-ledger/1", "users": [{"user_id": "bench", "selected_data_no": 1}],)"
      << U8(u8R"( "companies": [{"data_no": 1, "data_id": "BENCH", "szDataName": "株式会社見本商事",)")
      << R"( "lTermStart": 20250401, "lTermEnd": 20260331, "bEntityKind": 1, "assets": [)";
  for (long i = 0; i < n; ++i) {
    int method = i % 40 == 3 ? 4 : 1 + static_cast<int>(i % 8 == 3 ? 5 : i % 8);
    out << (i ? ",\n" : "\n") << R"({"szAssetCode": ")" << (i + 1) % 1000000
        << U8(u8R"(", "lKindCode": 5, "szAssetName": "複合機 )") << i
        << U8(u8R"(", "szQuantity": "2台", "szMemo": "本社３階",)")
        << R"( "lAcquiredDate": 20240510, "lServiceDate": 20240601,)"
        << R"( "cyAcquisitionCost": ")" << 480000 + i % 1000 << R"(", "nMethod": )" << method
        << R"(, "nUsefulLife": 5, "lRate": 400, "nBusinessRatio": 10000, "nSellingShare": 100,)"
        << R"( "cyOpeningBookValue": "384000", "cyClosingBookValue": "288000",)"
        << R"( "cyComputedDepreciation": "96000")";
    if (method == 4) {
      out << U8(u8R"(, "breakdowns": [{"szBreakdownName": "事務机", "lBreakdownDate": 20240510,)")
          << R"( "cyBreakdownCost": "120000", "lBreakdownQuantity": 200},)"
          << U8(u8R"( {"szBreakdownName": "書庫", "cyBreakdownCost": "80000", "lBreakdownQuantity": 100}])");
    }
    out << "}";
  }
  out << "]}]}\n";
}

}  // namespace

int main(int argc, char** argv) {
  long generate = 1000000, import = 100000;
  std::string dir = std::filesystem::temp_directory_path().string();
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string a = argv[i];
    if (a == "--generate") generate = std::atol(argv[i + 1]);
    else if (a == "--import") import = std::atol(argv[i + 1]);
    else if (a == "--dir") dir = argv[i + 1];
  }
  std::string store = dir + "/bench_host_walk.sqlite";
  std::string ledger = dir + "/bench_host_walk.json";
  if (generate > 0) {
    std::unique_ptr<StoreSql> sql = NewStore(store);
    if (sql == nullptr) return 1;
    std::string error;
    GeneratedCompany made;
    double start = Now(), cpu = Cpu();
    if (!GenerateCompany(sql.get(), generate, 1, &made, &error)) {
      std::fprintf(stderr, "bench_host_walk: %s\n", error.c_str());
      return 1;
    }
    Report("generate", generate, Seconds(start), Cpu() - cpu);
    sql.reset();
    if (!Walk(store, "bench", "walk generated (Move)") || !WalkColumns(store)) return 1;
  }
  if (import > 0) {
    WriteLedger(ledger, import);
    if (NewStore(store) == nullptr) return 1;
    std::string error;
    double start = Now(), cpu = Cpu();
    if (!ImportLedgerFile(store, ledger, &error)) {
      std::fprintf(stderr, "bench_host_walk: %s\n", error.c_str());
      return 1;
    }
    Report("import (JSON, streamed)", import, Seconds(start), Cpu() - cpu);
    if (!Walk(store, "bench", "walk imported (Move)")) return 1;
  }
  std::error_code ec;
  std::filesystem::remove(store, ec);
  std::filesystem::remove(ledger, ec);
  return 0;
}
