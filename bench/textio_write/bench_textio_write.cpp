// Writes 1,000,000 comma lines of 156 mixed items (codes, names, counts,
// dates, amounts with two decimals, masked items) to a file through
// ClTextFile and reports lines per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TextFile.h"
#include "textaccessor.h"

namespace {

const long kItems = 156;
const long kLines = 1000000;

typedef ClTextAccessor A;

// A format of kItems items cycling through text, 4-byte, 2-byte, currency
// and unsigned items, laid out back to back.
std::vector<StTAFORMAT> MakeFormat() {
  std::vector<StTAFORMAT> items;
  int32_t offset = 0;
  for (long i = 0; i < kItems; ++i) {
    StTAFORMAT f = {};
    std::snprintf(f.szName, sizeof f.szName, "item%ld", i);
    switch (i % 5) {
      case 0:
        f.lType = A::TAT_STRING, f.lWidth = 40, f.lSize = 41;
        break;
      case 1:
        f.lType = A::TAT_NUMBER, f.lWidth = 10, f.lSize = 4;
        break;
      case 2:
        f.lType = A::TAT_NUMBER, f.lWidth = 6, f.lSize = 2;
        break;
      case 3:
        f.lType = A::TAT_NUMBER, f.lWidth = 18, f.lSize = 8, f.lDecimals = 2;
        break;
      default:
        f.lType = A::TAT_UNSIGNED, f.lWidth = 3, f.lSize = 1;
        break;
    }
    f.lOffset = offset;
    offset += f.lSize;
    items.push_back(f);
  }
  return items;
}

void FillRecord(const std::vector<StTAFORMAT>& format, unsigned char* record) {
  // A code page 932 name ("減価償却資産") and an ASCII code, alternately.
  static const char* const kTexts[] = {"\x8C\xB8\x89\xBF\x8F\x9E\x8B\x70\x8E\x91\x8E\x59", "A000123"};
  for (size_t i = 0; i < format.size(); ++i) {
    unsigned char* p = record + format[i].lOffset;
    switch (format[i].lType == A::TAT_STRING ? 0 : format[i].lSize) {
      case 0:
        std::strcpy(reinterpret_cast<char*>(p), kTexts[i % 2]);
        break;
      case 4: {
        int32_t v = 20240401;
        std::memcpy(p, &v, 4);
        break;
      }
      case 2: {
        int16_t v = -1234;
        std::memcpy(p, &v, 2);
        break;
      }
      case 8: {
        int64_t v = -123456789012345;  // -12345678901.2345
        std::memcpy(p, &v, 8);
        break;
      }
      default:
        *p = 99;
        break;
    }
  }
}

void BM_WriteCommaLines(benchmark::State& state) {
  char folder[] = "/tmp/velor-bench-XXXXXX";
  if (mkdtemp(folder) == nullptr) {
    state.SkipWithError("no temporary folder");
    return;
  }
  setenv("VELOR_DRIVES", (std::string("B:=") + folder).c_str(), 1);
  std::vector<StTAFORMAT> format = MakeFormat();
  std::vector<unsigned char> record(static_cast<size_t>(format.back().lOffset + format.back().lSize));
  FillRecord(format, record.data());
  A line("G_BENCH", format.data(), kItems, record.data());
  line.SetMode(A::DLM_COMMA, A::QUOTE_NONE);
  line.SetMask(7, A::TAM_BLANK);
  line.SetMask(8, A::TAM_SPACE);
  int32_t* counter = reinterpret_cast<int32_t*>(record.data() + format[1].lOffset);
  long written = 0;
  for (auto _ : state) {
    ClTextFile file;
    if (file.Open("B:\\bench.csv", ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE) != 0) {
      state.SkipWithError("cannot open the file");
      break;
    }
    file.Attach(&line);
    for (long i = 0; i < kLines; ++i) {
      *counter = static_cast<int32_t>(i);
      if (line.Write() != 0) {
        state.SkipWithError("write failed");
        break;
      }
    }
    if (file.Close() != 0) state.SkipWithError("close failed");
    written += kLines;
  }
  state.counters["lines_per_second"] = benchmark::Counter(static_cast<double>(written), benchmark::Counter::kIsRate);
  std::remove((std::string(folder) + "/bench.csv").c_str());
  rmdir(folder);
}

BENCHMARK(BM_WriteCommaLines)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
