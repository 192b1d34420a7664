// Writes one comma line, A, an empty item and 12, to the Windows path given
// on the command line (reached through VELOR_DRIVES).
#include <TextFile.h>
#include <textaccessor.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

#pragma pack(push, 1)
struct Record {
  char szCode[11];
  char szName[11];
  int32_t lCount;
};
#pragma pack(pop)

const StTAFORMAT kFormat[] = {
    {"code", 10, 0, 0, 11, ClTextAccessor::TAT_STRING, 0},
    {"name", 10, 0, 11, 11, ClTextAccessor::TAT_STRING, 0},
    {"count", 10, 0, 22, 4, ClTextAccessor::TAT_NUMBER, 0},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: consumer WINDOWS-PATH\n");
    return 2;
  }
  Record record = {};
  std::strcpy(record.szCode, "A");
  record.lCount = 12;
  ClTextAccessor line("G_DEMO", kFormat, 3, &record);
  ClTextFile file;
  if (file.Open(argv[1], ClTextFile::TFOM_WRITE | ClTextFile::TFOM_TRUNCATE) != 0) return 1;
  if (file.Attach(&line) != 0 || line.SetMode(ClTextAccessor::DLM_COMMA, ClTextAccessor::QUOTE_NONE) != 0) return 1;
  if (line.Write() != 0) return 1;
  return file.Close() == 0 ? 0 : 1;
}
