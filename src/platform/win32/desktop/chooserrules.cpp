#include "chooserrules.h"

#include <commdlg.h>

#include <vector>

#include "mbcs.h"
#include "screentext.h"

namespace {

// The parts of text between its '|' characters (never a trail byte).
std::vector<std::string> SplitAtBars(const std::string& text) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '|' && MbcsKindAt(text.data(), text.size(), i) == MBCS_SINGLE) {
      parts.emplace_back();
    } else {
      parts.back() += text[i];
    }
  }
  return parts;
}

}  // namespace

std::wstring ChooserFilter(const std::string& filter) {
  std::vector<std::string> parts = SplitAtBars(filter);
  std::wstring out;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].empty() || parts[i + 1].empty()) break;  // the closing "||"
    out += ScreenText(parts[i]);
    out += L'\0';
    out += ScreenText(parts[i + 1]);
    out += L'\0';
  }
  if (!out.empty()) out += L'\0';
  return out;
}

DWORD ChooserFlags(DWORD flags, bool save_form) {
  DWORD out = flags | OFN_EXPLORER | OFN_ENABLESIZING;
  if (save_form) out &= ~static_cast<DWORD>(OFN_FILEMUSTEXIST);
  return out;
}
