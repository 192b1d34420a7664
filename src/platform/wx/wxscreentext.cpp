#include "wxscreentext.h"

#include "codepage.h"

wxString ScreenText(const std::string& cp932) {
  std::string utf8 = Cp932ToUtf8Shown(cp932);
  return wxString::FromUTF8(utf8.data(), utf8.size());
}

std::string Utf8Of(const wxString& text) {
  wxScopedCharBuffer buf = text.utf8_str();
  return std::string(buf.data(), buf.length());
}

wxString U8(const char8_t* text) { return wxString::FromUTF8(reinterpret_cast<const char*>(text)); }
