#include "wxscreentext.h"

#include "codepage.h"
#include "mbcs.h"

wxString ScreenText(const std::string& cp932) {
  std::string utf8;
  if (Cp932ToUtf8(cp932, &utf8)) return wxString::FromUTF8(utf8.data(), utf8.size());
  // Convert character by character, marking what has no meaning.
  wxString shown;
  for (size_t i = 0; i < cp932.size();) {
    size_t n = MbcsKindAt(cp932.data(), cp932.size(), i) == MBCS_LEAD ? 2 : 1;
    std::string one;
    if (Cp932ToUtf8(cp932.substr(i, n), &one) && !one.empty()) {
      shown += wxString::FromUTF8(one.data(), one.size());
    } else {
      shown += wxUniChar(0xFFFD);
    }
    i += n;
  }
  return shown;
}

std::string Utf8Of(const wxString& text) {
  wxScopedCharBuffer buf = text.utf8_str();
  return std::string(buf.data(), buf.length());
}

wxString U8(const char8_t* text) { return wxString::FromUTF8(reinterpret_cast<const char*>(text)); }
