#include "winenv.h"

#include <cstdlib>
#include <cstring>

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  const char* value = std::getenv(name);
  if (value == nullptr) return 0;
  size_t n = std::strlen(value);
  if (buffer == nullptr || n + 1 > size) return static_cast<DWORD>(n + 1);
  std::memcpy(buffer, value, n + 1);
  return static_cast<DWORD>(n);
}
