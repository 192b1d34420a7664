#include "drivemap.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "codepage.h"
#include "mbcs.h"

namespace {

// One entry of the map. Names are UTF-8 as the variable holds them.
struct Entry {
  char letter = 0;  // upper-case drive letter; 0 for a share
  std::string server, share;
  std::string folder;  // absolute, without a final '/' (except "/")
  UINT type = DRIVE_FIXED;
};
typedef std::vector<Entry> Map;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Upper(a[i]) != Upper(b[i])) return false;
  }
  return true;
}

// The type named after '@', or DRIVE_UNKNOWN when the name is not one.
UINT TypeNamed(std::string_view name) {
  static const struct {
    const char* name;
    UINT type;
  } kTypes[] = {{"fixed", DRIVE_FIXED},   {"removable", DRIVE_REMOVABLE}, {"remote", DRIVE_REMOTE},
                {"cdrom", DRIVE_CDROM}, {"ramdisk", DRIVE_RAMDISK}};
  for (const auto& t : kTypes) {
    if (SameName(name, t.name)) return t.type;
  }
  return DRIVE_UNKNOWN;
}

// Resolves "." and ".." in the '/'-separated path below a root and joins
// the rest with '/', never climbing above the root.
std::string NormalizeBelow(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string_view::npos) j = path.size();
    std::string_view part = path.substr(i, j - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = j + 1;
  }
  std::string out;
  for (auto p : parts) {
    if (!out.empty()) out += '/';
    out += p;
  }
  return out;
}

// The absolute form of path: "/" and its normalized rest.
std::string Absolute(std::string_view path) {
  std::string out(1, '/');
  out.append(NormalizeBelow(path));
  return out;
}

// Parses one entry; false when it is malformed (it is then left out).
bool ParseEntry(std::string_view text, Entry* e) {
  size_t eq = text.find('=');
  if (eq == std::string_view::npos) return false;
  std::string_view key = text.substr(0, eq), folder = text.substr(eq + 1);
  size_t at = folder.rfind('@');
  if (at != std::string_view::npos) {
    UINT t = TypeNamed(folder.substr(at + 1));
    if (t != DRIVE_UNKNOWN) {
      e->type = t;
      folder = folder.substr(0, at);
    }
  }
  if (folder.empty() || folder[0] != '/') return false;
  e->folder = Absolute(folder);
  if (key.size() == 2 && IsLetter(key[0]) && key[1] == ':') {
    e->letter = Upper(key[0]);
    return true;
  }
  if (key.size() > 2 && key[0] == '\\' && key[1] == '\\') {
    std::string_view names = key.substr(2);
    size_t sep = names.find('\\');
    if (sep == std::string_view::npos || sep == 0 || sep + 1 >= names.size()) return false;
    if (names.find('\\', sep + 1) != std::string_view::npos) return false;
    e->server = std::string(names.substr(0, sep));
    e->share = std::string(names.substr(sep + 1));
    e->type = DRIVE_REMOTE;
    return true;
  }
  return false;
}

const Entry* FindDrive(const Map& map, char letter) {
  for (const auto& e : map) {
    if (e.letter != 0 && e.letter == Upper(letter)) return &e;
  }
  return nullptr;
}

// Parses the entries of text (empty ones between separators are skipped).
// A malformed entry or one for a root an earlier entry has is left out;
// the first such entry goes to *bad with the reason in *why (when given).
// Z: stays the whole native file system unless the text gives it a folder of
// its own, so every native file keeps a Windows form.
std::shared_ptr<const Map> Parse(const char* text, std::string* bad = nullptr,
                                 std::string* why = nullptr) {
  auto map = std::make_shared<Map>();
  std::string_view all = text;
  size_t i = 0;
  while (i <= all.size()) {
    size_t j = all.find(';', i);
    if (j == std::string_view::npos) j = all.size();
    std::string_view part = all.substr(i, j - i);
    i = j + 1;
    if (part.empty()) continue;
    Entry e;
    const char* problem = nullptr;
    if (!ParseEntry(part, &e)) {
      problem = "not of the form X:=/folder or \\\\server\\share=/folder";
    } else {
      for (const Entry& earlier : *map) {
        if (e.letter != 0 ? earlier.letter == e.letter
                          : earlier.letter == 0 && SameName(earlier.server, e.server) &&
                                SameName(earlier.share, e.share)) {
          problem = "its root is mapped by an earlier entry";
        }
      }
    }
    if (problem == nullptr) {
      map->push_back(std::move(e));
    } else if (bad != nullptr && bad->empty()) {
      *bad = std::string(part);
      *why = problem;
    }
  }
  if (FindDrive(*map, 'Z') == nullptr) {
    Entry z;
    z.letter = 'Z';
    z.folder = "/";
    map->push_back(std::move(z));
  }
  return map;
}

}  // namespace

bool DriveMapInUse() { return true; }

bool DriveMapCheck(std::string* entry, std::string* problem) {
  entry->clear();
  problem->clear();
  const char* now = std::getenv("VELOR_DRIVES");
  if (now != nullptr) Parse(now, entry, problem);
  return entry->empty();
}

namespace {

// The map for the variable's current value, parsed again when it changed.
std::shared_ptr<const Map> CurrentMap() {
  static std::mutex mutex;
  static std::shared_ptr<const Map> map;
  static std::string text;
  static bool set = false;
  const char* now = std::getenv("VELOR_DRIVES");
  std::lock_guard<std::mutex> lock(mutex);
  if (map == nullptr || set != (now != nullptr) || (now != nullptr && text != now)) {
    set = now != nullptr;
    text = now != nullptr ? now : "";
    map = Parse(now != nullptr ? now : "");
  }
  return map;
}

}  // namespace

std::string DriveMapRoots() {
  std::string roots;
  for (const Entry& e : *CurrentMap()) {
    if (!roots.empty()) roots += ", ";
    roots += e.letter != 0 ? std::string(1, e.letter) + ":" : "\\\\" + e.server + "\\" + e.share;
  }
  return roots;
}

namespace {

const Entry* FindShare(const Map& map, std::string_view server, std::string_view share) {
  for (const auto& e : map) {
    if (e.letter == 0 && SameName(e.server, server) && SameName(e.share, share)) return &e;
  }
  return nullptr;
}

// Length of the part of native that the folder covers, or npos.
size_t Covered(const std::string& folder, const std::string& native) {
  if (folder == "/") return 0;
  if (native.compare(0, folder.size(), folder) != 0) return std::string::npos;
  if (native.size() != folder.size() && native[folder.size()] != '/') return std::string::npos;
  return folder.size();
}

// The entry with the longest folder that holds the normalized native path.
const Entry* FindHolder(const Map& map, const std::string& native, size_t* covered) {
  const Entry* best = nullptr;
  for (const auto& e : map) {
    size_t n = Covered(e.folder, native);
    if (n != std::string::npos && (best == nullptr || e.folder.size() > best->folder.size())) {
      best = &e;
      *covered = n;
    }
  }
  return best;
}

std::string Join(const std::string& folder, const std::string& below) {
  if (below.empty()) return folder;
  std::string out = folder;
  if (folder != "/") out += '/';
  out += below;
  return out;
}

// The Windows path as UTF-8 with '/' for every separator; false when it is
// not valid code page 932. Converting first keeps trail bytes of 0x5C out of
// the separator search: UTF-8 never holds 0x5C inside a character.
bool ToSlashed(const char* windows, std::string* out) {
  if (windows == nullptr || !Cp932ToUtf8(windows, out)) return false;
  for (auto& c : *out) {
    if (c == '\\') c = '/';
  }
  return true;
}

// Splits "//server/share..." into its names and the rest; false when either
// name is empty.
bool SplitUnc(std::string_view s, std::string_view* server, std::string_view* share,
              std::string_view* rest) {
  std::string_view names = s.substr(2);
  size_t sep = names.find('/');
  if (sep == std::string_view::npos || sep == 0) return false;
  *server = names.substr(0, sep);
  std::string_view after = names.substr(sep + 1);
  size_t end = after.find('/');
  if (end == std::string_view::npos) end = after.size();
  if (end == 0) return false;
  *share = after.substr(0, end);
  *rest = after.substr(end);
  return true;
}

std::string NativeCurrentFolder() {
  char buf[4096];
  return getcwd(buf, sizeof buf) != nullptr ? std::string(buf) : std::string();
}

// The entry whose root the UNC or drive root text names; null when none or
// the text is not a root.
const Entry* RootEntry(const Map& map, const char* root) {
  std::string s;
  if (!ToSlashed(root, &s)) return nullptr;
  if (s.size() >= 2 && IsLetter(s[0]) && s[1] == ':' && (s.size() == 2 || (s.size() == 3 && s[2] == '/'))) {
    return FindDrive(map, s[0]);
  }
  if (s.size() > 2 && s[0] == '/' && s[1] == '/') {
    std::string_view server, share, rest;
    if (SplitUnc(s, &server, &share, &rest) && (rest.empty() || rest == "/")) {
      return FindShare(map, server, share);
    }
  }
  return nullptr;
}

}  // namespace

UINT DriveMapTypeOf(LPCSTR root) {
  auto map = CurrentMap();
  const Entry* e = nullptr;
  if (root == nullptr) {
    size_t covered = 0;
    std::string cwd = NativeCurrentFolder();
    if (!cwd.empty()) e = FindHolder(*map, Absolute(cwd), &covered);
  } else {
    e = RootEntry(*map, root);
  }
  return e != nullptr ? e->type : DRIVE_NO_ROOT_DIR;
}

bool DriveMapToNative(const char* windows, std::string* native) {
  std::string s;
  if (!ToSlashed(windows, &s) || s.empty()) return false;
  auto map = CurrentMap();
  const Entry* e = nullptr;
  std::string_view below;
  if (s.size() >= 2 && IsLetter(s[0]) && s[1] == ':') {
    e = FindDrive(*map, s[0]);
    below = std::string_view(s).substr(2);
  } else if (s.size() >= 2 && s[0] == '/' && s[1] == '/') {
    std::string_view server, share;
    if (SplitUnc(s, &server, &share, &below)) e = FindShare(*map, server, share);
  } else if (s[0] == '/') {
    // Rooted on the drive of the current folder.
    size_t covered = 0;
    std::string cwd = NativeCurrentFolder();
    if (!cwd.empty()) e = FindHolder(*map, Absolute(cwd), &covered);
    below = s;
  } else {
    *native = s;
    return true;
  }
  if (e == nullptr) return false;
  *native = Join(e->folder, NormalizeBelow(below));
  return true;
}

bool DriveMapToWindows(const std::string& native, std::string* windows) {
  if (native.empty() || native[0] != '/') return false;
  std::string path = Absolute(native);
  auto map = CurrentMap();
  size_t covered = 0;
  const Entry* e = FindHolder(*map, path, &covered);
  if (e == nullptr) return false;
  std::string below = path.substr(covered);
  if (!below.empty() && below[0] == '/') below.erase(0, 1);
  std::string out;
  if (e->letter != 0) {
    out = std::string(1, e->letter) + ":/" + below;
  } else {
    out = "//" + e->server + "/" + e->share;
    if (!below.empty()) {
      out += '/';
      out += below;
    }
  }
  for (auto& c : out) {
    if (c == '/') c = '\\';
  }
  return Utf8ToCp932(out, windows);
}

bool DriveMapFindShare(const char* root, std::string* native) {
  auto map = CurrentMap();
  const Entry* e = RootEntry(*map, root);
  if (e == nullptr || e->letter != 0) return false;
  *native = e->folder;
  return true;
}

std::string NativeParentOf(const std::string& native) {
  size_t slash = native.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : native.substr(0, slash);
}

bool DriveMapFolderOf(const char* windows, std::string* folder) {
  size_t length = std::strlen(windows), slash = MbcsFindLast(windows, length, '\\');
  std::string part(windows, slash == length ? 0 : slash + 1);
  // A name is added so that a drive root maps as the folder it is.
  std::string native;
  if (!DriveMapToNative((part + "x").c_str(), &native)) return false;
  *folder = NativeParentOf(native);
  return true;
}
