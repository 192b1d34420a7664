// The INI reader on any file content (the installed-products file is one):
// the input is the whole file, read as the program reads its level. The
// value copied stays within its buffer, ends in a NUL at the length
// returned, and a smaller buffer gets the value cut at a whole character.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "mbcs.h"
#include "winini.h"

namespace {
std::string file_native;  // the file the input is written to

// The value of section/key with a buffer of size bytes and canaries after
// it; aborts when the buffer is overrun or the result is malformed.
std::string Read(const char* section, const char* key, DWORD size) {
  char buffer[600];
  std::memset(buffer, 0x55, sizeof buffer);
  DWORD n = GetPrivateProfileStringA(section, key, "1", buffer, size, "F:\\OrbelleDef.ini");
  if (n >= size || buffer[n] != 0 || std::strlen(buffer) != n) std::abort();
  for (size_t i = size; i < sizeof buffer; ++i) {
    if (buffer[i] != 0x55) std::abort();
  }
  return std::string(buffer, n);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  char folder[] = "/tmp/fuzz_iniXXXXXX";
  if (mkdtemp(folder) == nullptr) std::abort();
  file_native = std::string(folder) + "/OrbelleDef.ini";
  setenv("VELOR_DRIVES", (std::string("F:=") + folder).c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* out = std::fopen(file_native.c_str(), "wb");
  if (out == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
  std::fclose(out);
  const std::string whole = Read("ProgramLevel", "ZR40", 512);
  for (DWORD small : {1u, 2u, 3u, 8u}) {
    const std::string cut = Read("ProgramLevel", "ZR40", small);
    // A prefix of the whole value, as long as fits without splitting a
    // double-byte character.
    if (whole.compare(0, cut.size(), cut) != 0) std::abort();
    if (cut.size() != MbcsCutLength(whole.c_str(), whole.size(), small - 1)) std::abort();
  }
  // Names match without regard to case.
  if (Read("programlevel", "zr40", 512) != whole) std::abort();
  return 0;
}
