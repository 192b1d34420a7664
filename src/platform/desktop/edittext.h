// Text rules of the desktop edit control: the limit of an edit counts code
// page 932 bytes, not characters, and only text with a code page 932 form
// can be typed. No window code here.
#pragma once
#include <cstddef>
#include <string>

// The edit's text after a change by the user, made to fit.
struct EditFit {
  std::string utf8;   // the text to show
  std::string cp932;  // the same text as the system holds it
  size_t caret = 0;   // the caret, in characters, after the kept insertion
  bool changed = false;  // true when utf8 differs from what the user made
};

// Fits the edit's new text (UTF-8, as the user made it from old_utf8) into
// limit bytes of code page 932 (0: no limit). The part that the change
// inserted loses its characters without a code page 932 form and is cut,
// whole characters only, where the limit is reached; the rest stays as it
// was. Both texts must be valid UTF-8.
EditFit FitEditText(const std::string& old_utf8, const std::string& new_utf8, size_t limit);

// The number of characters in the first byte_offset bytes of the code page
// 932 text cp932 (an offset inside a double-byte character counts it whole).
size_t Cp932CharCount(const std::string& cp932, size_t byte_offset);
