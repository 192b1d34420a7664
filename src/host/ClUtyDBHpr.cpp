#include "ClUtyDBHpr.h"

#include <cstring>

int ClUtyDBHpr::MakeIDStr(const StDATAINFO* info, char* id) {
  if (id == nullptr) return 0;
  id[0] = '\0';
  if (info == nullptr) return 0;
  size_t n = strnlen(info->szDataID, sizeof info->szDataID - 1);
  std::memcpy(id, info->szDataID, n);
  id[n] = '\0';
  return 0;
}
