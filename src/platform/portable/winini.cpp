#include "winini.h"

#include <cstring>
#include <string>
#include <string_view>

#include "codepage.h"
#include "crtio.h"
#include "drivemap.h"
#include "mbcs.h"
#include "mbscase.h"

namespace {
std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r')) --e;
  return s.substr(b, e - b);
}

bool SameName(std::string_view a, const char* b) {
  return a.size() == std::strlen(b) &&
         _mbsnbicmp(reinterpret_cast<const unsigned char*>(std::string(a).c_str()),
                    reinterpret_cast<const unsigned char*>(b), a.size()) == 0;
}

// The value of key in section of the INI content; false when absent.
bool FindValue(const std::string& content, const char* section, const char* key,
               std::string* value) {
  bool in_section = false;
  // CR, LF and CR LF each end a line (the empty line between CR and LF is
  // skipped like any empty line).
  for (size_t at = 0; at < content.size();) {
    size_t end = content.find_first_of("\r\n", at);
    if (end == std::string::npos) end = content.size();
    std::string raw = content.substr(at, end - at);
    at = end + 1;
    std::string_view line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      // Only the first section of the name counts.
      if (in_section) return false;
      std::string header(line.substr(1));
      const auto* close = _mbschr(reinterpret_cast<const unsigned char*>(header.c_str()), ']');
      in_section = close != nullptr &&
                   SameName(Trim(std::string_view(header).substr(
                                0, close - reinterpret_cast<const unsigned char*>(header.c_str()))),
                            section);
      continue;
    }
    if (!in_section) continue;
    // '=' is never the trail byte of a double-byte character.
    size_t eq = line.find('=');
    if (eq == std::string_view::npos || !SameName(Trim(line.substr(0, eq)), key)) continue;
    std::string_view v = Trim(line.substr(eq + 1));
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
      v = v.substr(1, v.size() - 2);
    }
    *value = std::string(v);
    return true;
  }
  return false;
}
// The code page 932 text of an INI file's bytes: UTF-16 (little-endian,
// after its byte-order mark, as Windows writes and reads it) is converted;
// other bytes are taken as they are. False for UTF-16 that is not valid or
// holds a character without a code page 932 form.
bool IniText(const std::string& bytes, std::string* text) {
  if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
      static_cast<unsigned char>(bytes[1]) != 0xFE) {
    *text = bytes;
    return true;
  }
  std::string utf8;
  auto unit = [&](size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                 static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    char32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 3 >= bytes.size() || unit(i + 2) < 0xDC00 || unit(i + 2) > 0xDFFF) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (c >> 12));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (c >> 18));
      utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return Utf8ToCp932(utf8, text);
}
}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR default_value,
                               LPSTR buffer, DWORD size, LPCSTR file) {
  if (buffer == nullptr || size == 0) return 0;
  buffer[0] = 0;
  if (section == nullptr || key == nullptr) return 0;
  std::string value = default_value != nullptr ? std::string(Trim(default_value)) : std::string();
  std::string native;
  if (file != nullptr && DriveMapToNative(file, &native)) {
    std::string bytes, all, found;
    if (ReadNativeFile(native.c_str(), &bytes) && IniText(bytes, &all) &&
        FindValue(all, section, key, &found)) {
      value = found;
    }
  }
  // A NUL in the file ends the value: the length returned is the text's.
  value.resize(strnlen(value.c_str(), value.size()));
  size_t n = MbcsCutLength(value.c_str(), value.size(), size - 1);
  std::memcpy(buffer, value.c_str(), n);
  buffer[n] = 0;
  return static_cast<DWORD>(n);
}
