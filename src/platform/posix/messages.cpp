#include "messages.h"

#include <libintl.h>
#include <unistd.h>

#include <clocale>
#include <string>

namespace {

constexpr char kDomain[] = "velor";
bool g_ready = false;

// The folder of the program's executable, or "" when it cannot be read.
std::string ProgramFolder() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  std::string s(path, static_cast<size_t>(n));
  size_t slash = s.rfind('/');
  return slash == std::string::npos ? "" : s.substr(0, slash);
}

bool HasCatalogue(const std::string& folder) {
  return access((folder + "/ja/LC_MESSAGES/velor.mo").c_str(), R_OK) == 0;
}

}  // namespace

void InitMessageLanguage() {
  if (std::setlocale(LC_MESSAGES, "") == nullptr) return;
  // An installed program lies in PREFIX/bin or in a folder of its own,
  // PREFIX/lib/velor; the catalogues in PREFIX/share/locale.
  const std::string program = ProgramFolder();
  std::string folder = program + "/../share/locale";
  if (!HasCatalogue(folder)) folder = program + "/../../share/locale";
  if (!HasCatalogue(folder)) folder = VELOR_BUILD_LOCALEDIR;
  if (bindtextdomain(kDomain, folder.c_str()) == nullptr) return;
  // The character category stays as it was; the texts come out in UTF-8.
  if (bind_textdomain_codeset(kDomain, "UTF-8") == nullptr) return;
  g_ready = true;
}

const char* Tr(const char* msgid) { return g_ready ? dgettext(kDomain, msgid) : msgid; }
