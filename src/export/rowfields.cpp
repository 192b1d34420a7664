#include "rowfields.h"

#include <cstdarg>
#include <cstdio>

#include "ClCSVEdit.h"
#include "_CDecimal.h"
#include "infocolumns.h"
#include "logentries.h"
#include "mbcs.h"
#include "winfmt.h"

void FormatCodeTail(const char* text, size_t length, int keep, char* out) {
  size_t start = MbcsTailStart(text, length, static_cast<size_t>(keep));
  char kept[16] = {};
  size_t n = length - start;
  if (n > sizeof kept - 1) n = sizeof kept - 1;
  std::memcpy(kept, text + start, n);
  // Right-aligned and padded with the digit 0 (what "%0*s" gives).
  const size_t width = static_cast<size_t>(keep);
  size_t m = strnlen(kept, width);
  std::memset(out, '0', width - m);
  std::memcpy(out + (width - m), kept, m);
  out[width] = '\0';
}

size_t CopyWholeChars(const char* text, size_t length, size_t limit, char* out) {
  size_t n = MbcsCutLength(text, length, limit);
  std::memcpy(out, text, n);
  out[n] = '\0';
  return n;
}

std::string ReplaceSeparators(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ',') {
      out += "，";
    } else if (c == '\r' || c == '\n') {
      out += ' ';
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;  // CR LF is one break
    } else {
      out += c;
    }
  }
  return out;
}

namespace {
// text with every byte that is no character replaced by "?".
std::string ReplaceInvalidBytes(std::string_view text) {
  std::string out(text);
  for (size_t at = 0; at < out.size();) {
    at += MbcsInvalidAt(out.data() + at, out.size() - at);
    if (at < out.size()) out[at++] = '?';
  }
  return out;
}

// text as a subject of an entry: both replacements made.
std::string Subject(std::initializer_list<std::string_view> pieces) {
  std::string subject;
  for (std::string_view piece : pieces) subject += ReplaceSeparators(ReplaceInvalidBytes(piece));
  return subject;
}

// The original text as an entry quotes it: each line break as "↓", so
// that the entry keeps its own lines, and each byte that is no character by
// its hex digits between "＜" and "＞".
std::string Shown(std::string_view text) {
  std::string shown;
  for (size_t at = 0; at < text.size();) {
    size_t bad = at + MbcsInvalidAt(text.data() + at, text.size() - at);
    for (size_t i = at; i < bad; ++i) {
      if (text[i] == '\r' || text[i] == '\n') {
        shown += "↓";
        if (text[i] == '\r' && i + 1 < bad && text[i + 1] == '\n') ++i;
      } else {
        shown += text[i];
      }
    }
    if (bad == text.size()) break;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(text[bad]));
    shown += std::string("＜") + hex + "＞";
    at = bad + 1;
  }
  return shown;
}
}  // namespace

std::string_view SafeColumnText(ClCSVEdit* edit, long column,
                                std::initializer_list<std::string_view> subject,
                                std::string_view text, std::string* replaced) {
  const bool separators = text.find_first_of(",\r\n") != std::string_view::npos;
  const bool invalid = MbcsInvalidAt(text.data(), text.size()) != text.size();
  if (!separators && !invalid) return text;
  // The observer receives the original text itself.
  const std::string head = kSeparatorEntryHead + Subject(subject), shown = Shown(text) + "｣";
  if (invalid) edit->WriteLog((head + kInvalidCharEntryBody + shown).c_str(), column, text);
  if (separators) edit->WriteLog((head + kSeparatorEntryBody + shown).c_str(), column, text);
  *replaced = ReplaceSeparators(ReplaceInvalidBytes(text));
  return *replaced;
}

const char* DeclaredKindText(int32_t kind) {
  switch (kind) {
    case 2: return "構築物";
    case 3: return "機械及び装置";
    case 5: return "工具器具及び備品";
    case 1: case 4: case 6: case 7: case 8: case 9: case 10: case 11: return "申告なし";
    default: return "";
  }
}

int64_t HundredthsToCurrency(int32_t ratio) {
  return (_CDecimal(WholeToCurrency(ratio)) / _CDecimal(WholeToCurrency(100))).ToCurrency();
}

namespace {

// Writes into part (size bytes) what format holds between its first "｢" and
// the next "｣" (single-byte corner brackets); false when it quotes nothing.
bool QuotedFormat(const char* format, char* part, size_t size) {
  const auto* text = reinterpret_cast<const unsigned char*>(format);
  const unsigned char* open = _mbschr(text, 0xA2);
  if (open == nullptr) return false;
  const unsigned char* close = _mbschr(open + 1, 0xA3);
  if (close == nullptr) return false;
  size_t n = static_cast<size_t>(close - open - 1);
  if (n >= size) return false;
  std::memcpy(part, open + 1, n);
  part[n] = '\0';
  return true;
}

}  // namespace

void LogEntry(ClCSVEdit* edit, long column, const char* format, ...) {
  // Room for the longest entry (a 192-byte name in its message); the log
  // keeps 152 bytes of it.
  char entry[512];
  va_list args, quoted;
  va_start(args, format);
  va_copy(quoted, args);
  _vsnprintf(entry, sizeof entry, format, args);
  va_end(args);
  // The value an entry concerns is the one it quotes first: its arguments
  // come first, so the quoted part of the format renders it alone.
  char part[64];
  char value[256] = {};
  if (QuotedFormat(format, part, sizeof part)) _vsnprintf(value, sizeof value, part, quoted);
  va_end(quoted);
  edit->WriteLog(entry, column, value);
}

void LogQuantityEntry(ClCSVEdit* edit, float quantity) {
  if (quantity >= kQuantityLimit) {
    LogEntry(edit, IC_QUANTITY, kQuantityEntry, static_cast<double>(quantity));
  }
}
