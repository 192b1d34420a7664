// bench_textio_read write FILE ROWS COLUMNS: writes ROWS comma rows shaped
// like the asset file (codes, double-byte names, dates, amounts, flags, many
// empty columns) through the library's writer, COLUMNS of the 156 columns.
// bench_textio_read read FILE COLUMNS: reads FILE back with Read and prints
// "lines N seconds S cpu C refused R" (S wall-clock, C processor seconds).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "TextFile.h"
#include "drivemap.h"
#include "textaccessor.h"

namespace {

const long kAssetColumns = 156;

enum Shape { kCode, kName, kDate, kAmount, kFlag, kSmall, kEmpty };

// The shape of column c, repeating a pattern like the asset row's: codes and
// names first, then dates, amounts with their input flags and empty columns.
Shape ShapeOf(long c) {
  static const Shape kPattern[] = {kCode, kName, kName, kDate, kAmount, kFlag, kAmount, kSmall,
                                   kEmpty, kDate, kAmount, kFlag, kEmpty, kSmall, kAmount, kEmpty};
  return kPattern[c % (sizeof kPattern / sizeof kPattern[0])];
}

// The record layout of the first columns columns, back to back.
std::vector<StTAFORMAT> Format(long columns) {
  std::vector<StTAFORMAT> f(static_cast<size_t>(columns));
  int32_t offset = 0;
  for (long c = 0; c < columns; ++c) {
    StTAFORMAT& i = f[static_cast<size_t>(c)];
    switch (ShapeOf(c)) {
      case kCode: i = {"", 15, 0, 0, 16, ClTextAccessor::TAT_STRING, 0}; break;
      case kName: i = {"", 40, 0, 0, 41, ClTextAccessor::TAT_STRING, 0}; break;
      case kDate: i = {"", 8, 0, 0, 4, ClTextAccessor::TAT_NUMBER, 0}; break;
      case kAmount: i = {"", 16, (c % 3 == 0) ? 2 : 0, 0, 8, ClTextAccessor::TAT_NUMBER, 0}; break;
      case kFlag: i = {"", 1, 0, 0, 2, ClTextAccessor::TAT_STRING, 0}; break;
      case kSmall: i = {"", 3, 0, 0, 2, ClTextAccessor::TAT_NUMBER, 0}; break;
      case kEmpty: i = {"", 10, 0, 0, 11, ClTextAccessor::TAT_STRING, 0}; break;
    }
    std::snprintf(i.szName, sizeof i.szName, "c%ld", c + 1);
    i.lOffset = offset;
    offset += i.lSize;
  }
  return f;
}

long RecordSize(const std::vector<StTAFORMAT>& f) { return f.back().lOffset + f.back().lSize; }

// Seconds of the calendar clock (<chrono> does not build with the code page
// 932 execution character set).
double Now() {
  std::timespec ts;
  std::timespec_get(&ts, TIME_UTC);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

bool WindowsPath(const char* native, std::string* windows) {
  return DriveMapToWindows(std::filesystem::absolute(native).lexically_normal().string(), windows);
}

// The asset-shaped format of columns columns, its record buffer and an
// accessor on it in comma layout, attached to the native file path.
struct Rows {
  explicit Rows(long columns)
      : f(Format(columns)),
        record(static_cast<size_t>(RecordSize(f))),
        accessor("G_INFO", f.data(), columns, record.data()) {
    accessor.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE);
  }
  // Opens path with mode and attaches the accessor; false when it cannot.
  bool Open(const char* path, ClTextFile::TFOpenMode mode) {
    std::string windows;
    if (!WindowsPath(path, &windows) || file.Open(windows.c_str(), mode) != 0) return false;
    file.Attach(&accessor);
    return true;
  }

  std::vector<StTAFORMAT> f;
  std::vector<char> record;
  ClTextAccessor accessor;
  ClTextFile file;
};

int Write(const char* path, long rows, long columns) {
  Rows out(columns);
  if (!out.Open(path, ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE)) {
    std::fprintf(stderr, "cannot create %s\n", path);
    return 2;
  }
  const std::vector<StTAFORMAT>& f = out.f;
  std::vector<char>& record = out.record;
  ClTextAccessor& writer = out.accessor;
  uint32_t seed = 12345;
  auto next = [&seed]() { return seed = seed * 1103515245u + 12345u; };
  static const char* const kNames[] = {"本社建物", "営業車両2", "パーソナルコンピュータ", "ソフトウエア", "土地"};
  for (long r = 0; r < rows; ++r) {
    std::memset(record.data(), 0, record.size());
    for (long c = 0; c < columns; ++c) {
      const StTAFORMAT& i = f[static_cast<size_t>(c)];
      char* slot = record.data() + i.lOffset;
      const uint32_t v = next() >> 8;
      switch (ShapeOf(c)) {
        case kCode: std::snprintf(slot, 16, "%010u", static_cast<unsigned>(r + 1)); break;
        case kName: std::strcpy(slot, kNames[v % 5]); break;
        case kDate: {
          const int32_t date = 20000101 + static_cast<int32_t>(v % 26) * 10000 + static_cast<int32_t>(v % 12) * 100;
          std::memcpy(slot, &date, 4);
          break;
        }
        case kAmount: {
          const int64_t amount = static_cast<int64_t>(v % 100000000) * 10000 - (v % 7 == 0 ? 50000000 : 0);
          std::memcpy(slot, &amount, 8);
          break;
        }
        case kFlag: if (v % 2) slot[0] = '*'; break;
        case kSmall: {
          const int16_t n = static_cast<int16_t>(v % 100);
          std::memcpy(slot, &n, 2);
          break;
        }
        case kEmpty: break;
      }
    }
    if (writer.Write() != 0) {
      std::fprintf(stderr, "write failed at row %ld\n", r + 1);
      return 2;
    }
  }
  return out.file.Close() == 0 ? 0 : 2;
}

int Read(const char* path, long columns) {
  Rows in(columns);
  if (!in.Open(path, ClTextFile::TFOM_READ)) {
    std::fprintf(stderr, "cannot open %s\n", path);
    return 2;
  }
  ClTextAccessor& reader = in.accessor;
  long lines = 0, refused = 0;
  const double start = Now();
  const std::clock_t cpuStart = std::clock();
  for (;;) {
    const long r = reader.Read();
    if (r == 1) break;
    ++lines;
    if (r != 0) ++refused;
  }
  const double seconds = Now() - start;
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  std::printf("lines %ld seconds %.3f cpu %.3f refused %ld\n", lines, seconds, cpu, refused);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::strcmp(argv[1], "write") == 0) {
    const long columns = std::atol(argv[4]);
    if (columns < 1 || columns > kAssetColumns) return 2;
    return Write(argv[2], std::atol(argv[3]), columns);
  }
  if (argc == 4 && std::strcmp(argv[1], "read") == 0) {
    const long columns = std::atol(argv[3]);
    if (columns < 1 || columns > kAssetColumns) return 2;
    return Read(argv[2], columns);
  }
  std::fprintf(stderr, "usage: bench_textio_read write FILE ROWS COLUMNS | read FILE COLUMNS\n");
  return 2;
}
