#include "wxchooserrules.h"

#include <vector>

#include "codepage.h"

std::string WildcardFromFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= filter.size()) {
    size_t bar = filter.find('|', start);
    if (bar == std::string::npos) bar = filter.size();
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::string wildcard;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string name, pattern;
    if (parts[i].empty() || parts[i + 1].empty()) break;  // the closing "||"
    if (!Cp932ToUtf8(parts[i], &name) || !Cp932ToUtf8(parts[i + 1], &pattern)) continue;
    if (!wildcard.empty()) wildcard += '|';
    wildcard += name + '|' + pattern;
  }
  return wildcard;
}

std::string AddDefaultExtension(const std::string& native, const std::string& default_ext) {
  if (default_ext.empty()) return native;
  size_t slash = native.rfind('/');
  size_t name = slash == std::string::npos ? 0 : slash + 1;
  if (name >= native.size()) return native;  // a folder, no file name
  size_t dot = native.find('.', name + 1);
  if (dot != std::string::npos) return native;
  return native + '.' + default_ext;
}
