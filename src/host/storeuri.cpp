#include "storeuri.h"

#include "store.h"

std::string StoreNameShown(const std::string& where, bool* hadPassword) {
  bool found = false;
  if (hadPassword != nullptr) *hadPassword = false;
  if (!IsStoreUri(where)) return where;
  std::string shown = where;
  const size_t start = shown.find("://") + 3;
  const size_t end = shown.find_first_of("/?#", start);
  const size_t at = shown.rfind('@', end == std::string::npos ? std::string::npos : end);
  if (at != std::string::npos && at >= start) {
    const size_t colon = shown.find(':', start);
    if (colon < at) {
      shown.replace(colon + 1, at - colon - 1, "****");
      found = true;
    }
  }
  for (size_t p = shown.find('?'); p != std::string::npos; p = shown.find('&', p + 1)) {
    if (shown.compare(p + 1, 9, "password=") != 0) continue;
    const size_t value = p + 10;
    const size_t stop = shown.find_first_of("&#", value);
    shown.replace(value, (stop == std::string::npos ? shown.size() : stop) - value, "****");
    found = true;
  }
  if (hadPassword != nullptr) *hadPassword = found;
  return shown;
}
