// The message catalogues are GNU gettext's compiled .mo files, read here
// without the library (there is none for this platform).
#include "messages.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <unordered_map>

#include "crtio.h"
#include "win32/wide.h"

namespace {

// The translations of the catalogue read, by English text; empty when none.
std::unordered_map<std::string, std::string>& Catalogue() {
  static std::unordered_map<std::string, std::string> catalogue;
  return catalogue;
}

// The folder of the program's executable (UTF-8), or "" when it cannot be read.
std::string ProgramFolder() {
  wchar_t path[32768];
  DWORD n = GetModuleFileNameW(nullptr, path, 32768);
  if (n == 0 || n >= 32768) return "";
  std::string s = WideToUtf8(std::wstring_view(path, n));
  size_t slash = s.find_last_of("\\/");
  return slash == std::string::npos ? "" : s.substr(0, slash);
}

// True when the user's language is Japanese: the first of LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG that is set, else the language of the user's Windows.
bool JapaneseWanted() {
  for (const wchar_t* name : {L"LANGUAGE", L"LC_ALL", L"LC_MESSAGES", L"LANG"}) {
    wchar_t value[64];
    DWORD n = GetEnvironmentVariableW(name, value, 64);
    if (n > 0 && n < 64) return value[0] == L'j' && value[1] == L'a';
  }
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
}

uint32_t Word(const std::string& bytes, size_t at, bool swapped) {
  uint32_t w = 0;
  std::memcpy(&w, bytes.data() + at, 4);
  return swapped ? __builtin_bswap32(w) : w;
}

// Reads the .mo file at native into the catalogue; false when it is missing
// or malformed.
bool ReadCatalogue(const std::string& native) {
  std::string bytes;
  if (!ReadNativeFile(native.c_str(), &bytes) || bytes.size() < 28) return false;
  uint32_t magic = Word(bytes, 0, false);
  bool swapped = magic == 0xde120495u;
  if (!swapped && magic != 0x950412deu) return false;
  uint32_t count = Word(bytes, 8, swapped), originals = Word(bytes, 12, swapped),
           translations = Word(bytes, 16, swapped);
  auto text = [&](uint32_t table, uint32_t i, std::string* out) {
    uint64_t entry = static_cast<uint64_t>(table) + 8ull * i;
    if (entry + 8 > bytes.size()) return false;
    uint32_t length = Word(bytes, entry, swapped), offset = Word(bytes, entry + 4, swapped);
    if (static_cast<uint64_t>(offset) + length > bytes.size()) return false;
    out->assign(bytes, offset, length);
    return true;
  };
  std::unordered_map<std::string, std::string> read;
  for (uint32_t i = 0; i < count; ++i) {
    std::string original, translation;
    if (!text(originals, i, &original) || !text(translations, i, &translation)) return false;
    if (!original.empty()) read.emplace(std::move(original), std::move(translation));
  }
  Catalogue() = std::move(read);
  return true;
}

}  // namespace

void InitMessageLanguage() {
  if (!JapaneseWanted()) return;
  const std::string file = "\\ja\\LC_MESSAGES\\velor.mo";
  if (!ReadCatalogue(ProgramFolder() + "\\..\\share\\locale" + file)) {
    ReadCatalogue(VELOR_BUILD_LOCALEDIR + file);
  }
}

const char* Tr(const char* msgid) {
  const auto& catalogue = Catalogue();
  auto it = catalogue.find(msgid);
  return it != catalogue.end() && !it->second.empty() ? it->second.c_str() : msgid;
}
