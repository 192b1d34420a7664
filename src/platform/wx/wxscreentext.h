// Text between the system (code page 932) and the desktop's widgets.
#pragma once
#include <wx/string.h>

#include <string>

// The screen form of code page 932 text; bytes without a code page 932
// meaning show as U+FFFD.
wxString ScreenText(const std::string& cp932);
// The UTF-8 bytes of a widget's text.
std::string Utf8Of(const wxString& text);
// A wxString of UTF-8 source text (u8"...": narrow literals hold code page
// 932 in this program).
wxString U8(const char8_t* text);
