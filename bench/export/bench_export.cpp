// Runs the three export stages on the company data selected by the user
// "bench" of a host store and prints the time they took (wall clock and
// processor time) and the peak memory of the process:
//   bench_export STORE OUTPUT_FOLDER
// STORE and OUTPUT_FOLDER are native paths; the output folder must exist and
// have a Windows form in the drive map (the default map covers everything).
#include <limits.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <string>

#include "ClAccConnect.h"
#include "ClDataMgr.h"
#include "ClDepreciation.h"
#include "ClSetData.h"
#include "drivemap.h"

namespace {
// Seconds on the monotonic clock (<chrono> cannot be compiled for code page
// 932 literals).
double Now() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}
// Seconds of processor time (user and system) the process has used.
double CpuSeconds() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bench_export STORE OUTPUT_FOLDER\n");
    return 2;
  }
  char native[PATH_MAX];
  std::string folder;
  if (realpath(argv[2], native) == nullptr || !DriveMapToWindows(native, &folder)) {
    std::fprintf(stderr, "bench_export: %s has no Windows form in the drive map\n", argv[2]);
    return 1;
  }
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  ClAccConnect::SetStoreOptions(argv[1], "bench");
  if (ClAccConnect::Inst()->Initiate() != 0) return 1;
  StDATAINFO data = *ClDataMgr::Inst(nullptr)->GetSetObject(5, 1)->GetSelectedInfo();

  const double start = Now();
  const double cpuStart = CpuSeconds();
  bool overflow = false, committed = false;
  unsigned failures = 0;
  {
    ClDepreciation engine;
    engine.m_strOutputPath = folder + "assets.csv";
    engine.OutputPreamble(&data);
    engine.OutputAssets(&data);
    engine.OutputAssetKinds(&data);
    committed = engine.CommitOutput() != 0;
    overflow = engine.StoppedOnOverflow();
    failures = engine.GetFileFailures();
  }
  const double seconds = Now() - start;
  const double cpuSeconds = CpuSeconds() - cpuStart;
  ClAccConnect::Inst()->Terminate();
  ClAccConnect::Inst()->Release();

  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("export_seconds %.3f\nexport_cpu_seconds %.3f\npeak_rss_kib %ld\n", seconds,
              cpuSeconds, usage.ru_maxrss);
  if (overflow || failures != 0 || !committed) {
    std::fprintf(stderr, "bench_export: the export did not complete (failures %u%s%s)\n", failures,
                 overflow ? ", decimal overflow" : "", committed ? "" : ", not put in place");
    return 1;
  }
  return 0;
}
