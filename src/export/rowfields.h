// Helpers that the asset rows, the breakdown rows and the asset-kind rows
// share: the host's text fields as terminated strings, the code parts of
// column 1, the cut of a text at whole characters, the declared kind name,
// ratios as currency values, and formatted entries of the diagnostics log.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

class ClCSVEdit;

// The text of an amount column whose amount has too many digits.
inline constexpr char kAmountAsterisks[] = "************";
// A quantity from here on is beyond the quantity column's digits.
inline constexpr float kQuantityLimit = 1000000.0f;

// A text field of a host record (N bytes, read up to its NUL) as a
// NUL-terminated copy, also when the host filled the field to its end.
template <size_t N>
class FieldText {
 public:
  explicit FieldText(const char (&field)[N]) : m_nLength(strnlen(field, N)) {
    std::memcpy(m_szText, field, m_nLength);
    m_szText[m_nLength] = '\0';
  }
  const char* c_str() const { return m_szText; }
  size_t size() const { return m_nLength; }

 private:
  size_t m_nLength;
  char m_szText[N + 1];
};

// Writes into out (at least keep + 1 bytes) the last keep bytes of
// text[0..length), cut back to whole characters (one byte fewer when the
// first kept byte would be the second byte of a double-byte character),
// right-aligned in keep bytes and padded on the left with the digit 0 (the
// "%06s" and "%02s" of the code columns). The whole text when it is no
// longer than keep. Requires 0 < keep <= 8.
void FormatCodeTail(const char* text, size_t length, int keep, char* out);

// Copies into out (limit + 1 bytes) the longest prefix of text[0..length)
// of at most limit bytes that ends at a whole character, NUL-terminated.
// Returns the bytes copied.
size_t CopyWholeChars(const char* text, size_t length, size_t limit, char* out);

// text with every comma replaced by the full-width comma "，" and every line
// break (CR LF, CR or LF) by one space: a text one item of a comma-separated
// line can hold.
std::string ReplaceSeparators(std::string_view text);

// The text a column may hold for text: text itself, or where it holds a
// comma or a line break its ReplaceSeparators form, and where it holds bytes
// that are no code page 932 character each of them replaced by "?" (one
// byte for one: the text's cut stays where it was), kept in *replaced. Each
// kind of replacement writes a WARNING entry on column (0: none) that names
// subject (the pieces joined, with the same replacements: the asset or kind
// and the column) and quotes the original text. Nothing is allocated when
// text needs neither. The view ends before a NUL when text does.
std::string_view SafeColumnText(ClCSVEdit* edit, long column,
                                   std::initializer_list<std::string_view> subject,
                                   std::string_view text, std::string* replaced);

// The kind name of the depreciable-asset declaration for an asset kind
// code: texts for 2, 3 and 5, "申告なし" for 1, 4 and 6 to 11, empty for
// any other code.
const char* DeclaredKindText(int32_t kind);

// A ratio in hundredths of a percent (10000 = 100 %) as a currency value of
// percent: ratio / 100 through the decimal division (9999 gives 99.99).
int64_t HundredthsToCurrency(int32_t ratio);
// A whole number as a currency value (30 gives 30.0000).
inline int64_t WholeToCurrency(int32_t value) { return static_cast<int64_t>(value) * 10000; }

// Formats one entry with the Windows formatting rules (format and arguments
// as for _snprintf) and appends it to the diagnostics log of edit, which
// keeps its first 152 bytes; column (0: none) and the value the entry quotes
// first go with it to edit's observer.
void LogEntry(ClCSVEdit* edit, long column, const char* format, ...);

// Appends the quantity WARNING entry (on the quantity column) for quantity
// to the log of edit when it is kQuantityLimit or more; nothing otherwise.
void LogQuantityEntry(ClCSVEdit* edit, float quantity);
