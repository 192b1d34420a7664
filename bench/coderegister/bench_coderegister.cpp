// Registers n asset codes the way an export does (six-byte codes of the
// ordinary rows, each followed now and then by eight-byte breakdown codes
// and a duplicate) and reports calls per second for n from a thousand to a
// million assets. No call walks the register: the rate falls only as the
// table outgrows the processor caches.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "coderegister.h"

namespace {

// The calls of an export of n assets: code i, its breakdown codes for every
// tenth asset, and the code of asset i / 2 again for every fifth.
std::vector<std::string> Calls(long n) {
  std::vector<std::string> calls;
  char code[32];
  for (long i = 0; i < n; ++i) {
    std::snprintf(code, sizeof code, "%06ld", i % 1000000);
    calls.emplace_back(code);
    if (i % 10 == 0) {
      for (int line = 1; line <= 3; ++line) {
        std::snprintf(code, sizeof code, "%06ld%02d", (i + 500000) % 1000000, line);
        calls.emplace_back(code);
      }
    }
    if (i % 5 == 0) {
      std::snprintf(code, sizeof code, "%06ld", i / 2);
      calls.emplace_back(code);
    }
  }
  return calls;
}

void BM_Register(benchmark::State& state) {
  std::vector<std::string> calls = Calls(state.range(0));
  for (auto _ : state) {
    ClCodeRegister reg;
    for (const std::string& code : calls) benchmark::DoNotOptimize(reg.Register(code.c_str()));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(calls.size()));
}
BENCHMARK(BM_Register)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
