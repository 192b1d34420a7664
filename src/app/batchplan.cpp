#include "batchplan.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <tuple>

#include "mbcs.h"
#include "crtio.h"
#include "drivemap.h"
#include "messages.h"
#include "pathfuncs.h"

namespace {

const char* const kPlaceholders[] = {"{no}", "{id}", "{name}"};

// The data number of text: digits only, 0 to 2^31 - 1.
bool ParseDataNo(const std::string& text, long* no) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > 0x7FFFFFFF) return false;
  *no = static_cast<long>(value);
  return true;
}

// The folder of a path in a form that compares alike for one folder: ASCII
// letters in capitals (double-byte characters left as they are).
std::string FolderKey(const std::string& path) {
  std::string folder = GetFolderPart(path.c_str());
  for (size_t i = 0; i < folder.size(); ++i) {
    if (MbcsKindAt(folder.c_str(), folder.size(), i) != MBCS_SINGLE) continue;
    char& c = folder[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folder;
}

}  // namespace

bool CompanySelection::Selects(long no) const {
  if (all) return true;
  for (const auto& r : ranges) {
    if (no >= r.first && no <= r.second) return true;
  }
  return false;
}

bool ParseCompanySelection(const std::string& text, CompanySelection* selection,
                           std::string* error) {
  *selection = CompanySelection();
  if (text == "all") {
    selection->all = true;
    return true;
  }
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    size_t dash = item.find('-');
    long first = 0, last = 0;
    bool ok = dash == std::string::npos
                  ? ParseDataNo(item, &first) && ParseDataNo(item, &last)
                  : ParseDataNo(item.substr(0, dash), &first) && ParseDataNo(item.substr(dash + 1), &last);
    if (!ok || first > last) {
      *error = Tr("--companies takes all or data numbers and ranges such as 1,3-7,12, not '%s'",
                  {text});
      return false;
    }
    selection->ranges.emplace_back(first, last);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

bool CheckOutputPattern(const std::string& pattern, std::string* error) {
  bool apart = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (MbcsKindAt(pattern.c_str(), pattern.size(), i) != MBCS_SINGLE) continue;
    if (pattern[i] != '{' && pattern[i] != '}') continue;
    bool known = false;
    for (const char* p : kPlaceholders) {
      if (pattern.compare(i, std::strlen(p), p) == 0) {
        known = true;
        apart = true;
        i += std::strlen(p) - 1;
        break;
      }
    }
    if (!known) {
      *error = Tr("--output with --companies knows the placeholders {no}, {id} and {name} only");
      return false;
    }
  }
  if (!apart) {
    *error = Tr("--output with --companies needs {no}, {id} or {name}, so that each company "
                "gets its own folder");
    return false;
  }
  return true;
}

std::string SafeFileName(const std::string& name) {
  static const char kRefused[] = "/:,;*?\"<>|\\";
  std::string safe = name;
  for (size_t i = 0; i < safe.size(); ++i) {
    if (MbcsKindAt(safe.c_str(), safe.size(), i) != MBCS_SINGLE) continue;
    unsigned char c = static_cast<unsigned char>(safe[i]);
    if (c < 0x20 || c == 0x7F || std::strchr(kRefused, c) != nullptr) safe[i] = '_';
  }
  safe.resize(MbcsCutLength(safe.c_str(), safe.size(), kSafeNameMax));
  // A lead byte without its trail byte at the end of the name is no character.
  if (!safe.empty() && MbcsKindAt(safe.c_str(), safe.size(), safe.size() - 1) != MBCS_TRAIL &&
      IsDBCSLeadByte(static_cast<BYTE>(safe.back()))) {
    safe.back() = '_';
  }
  for (size_t i = safe.size(); i > 0 && (safe[i - 1] == '.' || safe[i - 1] == ' '); --i) {
    safe[i - 1] = '_';
  }
  return safe.empty() ? "_" : safe;
}

std::string ExpandOutputPattern(const std::string& pattern, const StDATAINFO& data) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    bool single = MbcsKindAt(pattern.c_str(), pattern.size(), i) == MBCS_SINGLE;
    if (single && pattern.compare(i, 4, "{no}") == 0) {
      out += std::to_string(data.lDataNo);
      i += 3;
    } else if (single && pattern.compare(i, 4, "{id}") == 0) {
      out += SafeFileName(std::string(data.szDataID, strnlen(data.szDataID, sizeof data.szDataID)));
      i += 3;
    } else if (single && pattern.compare(i, 6, "{name}") == 0) {
      out += SafeFileName(std::string(data.szDataName, strnlen(data.szDataName, sizeof data.szDataName)));
      i += 5;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

bool FindSharedFolder(const std::vector<std::string>& paths, size_t* first, size_t* second) {
  // One folder may have two Windows names (two drives on one folder): the
  // native folders are compared too.
  std::map<std::string, size_t> windows, native;
  for (size_t i = 0; i < paths.size(); ++i) {
    auto [it, added] = windows.emplace(FolderKey(paths[i]), i);
    std::string folder;
    if (added && DriveMapFolderOf(paths[i].c_str(), &folder)) {
      // "x\..\" names its folder by another text: the full native path
      // says which folder it is.
      std::tie(it, added) = native.emplace(NativeAbsolutePath(folder), i);
    }
    if (!added) {
      *first = it->second;
      *second = i;
      return true;
    }
  }
  return false;
}
