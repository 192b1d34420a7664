// Reading half of ClTextAccessor: takes lines from the attached stream,
// handles comment lines, splits a line into item positions by the layout and
// stores each item into the record buffer. Nothing here allocates: the line,
// the positions and an item's text live in fixed areas on the stack.
#include <cstring>
#include <istream>
#include <limits>

#include "textaccessor.h"

namespace {

const long kReadOk = 0;
const long kReadEnd = 1;
const long kReadBad = 2;
const long kReadComment = 3;

inline bool IsQuoteChar(char c) { return c == '\'' || c == '"'; }

// The item positions found so far in one line; refuses a 101st item.
class OffsetSink {
 public:
  explicit OffsetSink(StREADOFFSETINFO* ofs) : ofs_(ofs) {}
  bool Add(const char* start, long length) {
    if (count_ >= ClTextAccessor::kMaxPositions) return false;
    ofs_[count_].pStart = start;
    ofs_[count_].lLength = static_cast<int32_t>(length);
    ++count_;
    return true;
  }
  long count() const { return count_; }

 private:
  StREADOFFSETINFO* ofs_;
  long count_ = 0;
};

// Whether the quote setting lets c open an item; a quote it does not allow
// refuses the line.
inline bool QuoteAllowed(ClTextAccessor::_Quote quote, char c) {
  if (quote == ClTextAccessor::QUOTE_SINGLE) return c == '\'';
  if (quote == ClTextAccessor::QUOTE_DOUBLE) return c == '"';
  return true;
}

// Byte classes of the delimited scans.
enum ByteClass : uint8_t { kOrdinary, kSeparator, kBlank, kQuote, kEnd };

struct ByteClasses {
  uint8_t of[256];
};

// The classes for the separator sep; in comma layout blanks are space and
// tab, in tab layout the space only.
constexpr ByteClasses MakeClasses(char sep) {
  ByteClasses t{};
  t.of[0] = kEnd;
  t.of[static_cast<unsigned char>(sep)] = kSeparator;
  t.of[static_cast<unsigned char>(' ')] = kBlank;
  if (sep != '\t') t.of[static_cast<unsigned char>('\t')] = kBlank;
  t.of[static_cast<unsigned char>('\'')] = kQuote;
  t.of[static_cast<unsigned char>('"')] = kQuote;
  return t;
}

constexpr ByteClasses kCommaClasses = MakeClasses(',');
constexpr ByteClasses kTabClasses = MakeClasses('\t');

// The scan shared by the comma and tab layouts, through the states before an
// item, inside a quoted item, inside an unquoted item and after an item.
// spaceInside lets an unquoted item hold blanks (comma layout with the space
// flag on); blanks directly before a separator are then dropped.
long SplitDelimited(const char* line, const ByteClasses& classes, bool spaceInside,
                    ClTextAccessor::_Quote quote, long positions, StREADOFFSETINFO* ofs) {
  const uint8_t* cls = classes.of;
  OffsetSink sink(ofs);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(line);
  for (;;) {
    // Before an item.
    uint8_t k = cls[*p];
    while (k == kBlank) k = cls[*++p];
    if (k == kEnd) {
      if (!sink.Add(nullptr, 0)) return kReadBad;
      break;
    }
    if (k == kSeparator) {
      if (!sink.Add(nullptr, 0)) return kReadBad;
      ++p;
      continue;
    }
    if (k == kQuote) {
      // Inside a quoted item: everything up to the opening character.
      const char opener = static_cast<char>(*p);
      if (!QuoteAllowed(quote, opener)) return kReadBad;
      const char* start = reinterpret_cast<const char*>(p) + 1;
      const char* close = std::strchr(start, opener);
      if (!close) return kReadBad;
      if (!sink.Add(start, close - start)) return kReadBad;
      p = reinterpret_cast<const unsigned char*>(close) + 1;
    } else {
      // Inside an unquoted item.
      const char* start = reinterpret_cast<const char*>(p);
      const unsigned char* trail = nullptr;  // first of its trailing blanks
      for (;;) {
        while (k == kOrdinary) k = cls[*++p];
        if (k != kBlank || !spaceInside) break;
        trail = p;
        while (k == kBlank) k = cls[*++p];
        if (k != kOrdinary) break;
        trail = nullptr;
      }
      if (k == kQuote) return kReadBad;
      if (k == kSeparator) {
        const unsigned char* end = trail ? trail : p;
        if (!sink.Add(start, reinterpret_cast<const char*>(end) - start)) return kReadBad;
        ++p;
        continue;
      }
      // At the end of the line the item keeps its trailing blanks.
      if (!sink.Add(start, reinterpret_cast<const char*>(p) - start)) return kReadBad;
      if (k == kEnd) break;
    }
    // After an item: only blanks up to the separator or the end.
    k = cls[*p];
    while (k == kBlank) k = cls[*++p];
    if (k == kEnd) break;
    if (k != kSeparator) return kReadBad;
    ++p;
  }
  return sink.count() == positions ? kReadOk : kReadBad;
}

// Parses text[0..length) as a number times 10,000 into *value: 0, 1 for an
// empty or blank text (value untouched), 2 malformed or beyond 64 bits.
long ParseNumber(const char* text, size_t length, tagCY* value) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  const char* p = text;
  const char* const end = text + length;
  while (p != end && isBlank(*p)) ++p;
  if (p == end) return kReadEnd;

  constexpr uint64_t kLimit = uint64_t{1} << 63;  // magnitude of the most negative value
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint64_t whole = 0;
  uint64_t fraction = 0;
  int fractionDigits = 0;
  bool inFraction = false;
  constexpr uint64_t kMaxWhole = kLimit / 10000;  // beyond it no value fits 64 bits
  // The usual shape, digits with an optional point and fraction, in tight
  // loops; whatever else follows goes through the byte-by-byte scan below.
  for (unsigned digit; p != end && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) <= 9; ++p) {
    if (whole > kMaxWhole / 10 || (whole == kMaxWhole / 10 && digit > kMaxWhole % 10)) return kReadBad;
    whole = whole * 10 + digit;
  }
  if (p != end && *p == '.') {
    inFraction = true;
    for (++p; p != end && fractionDigits < 4; ++p, ++fractionDigits) {
      const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
      if (digit > 9) break;
      fraction = fraction * 10 + digit;
    }
  }
  for (; p != end; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      const unsigned digit = static_cast<unsigned>(c - '0');
      if (inFraction) {
        if (fractionDigits < 4) {
          fraction = fraction * 10 + digit;
          ++fractionDigits;
        }
      } else {
        if (whole > kMaxWhole / 10 || (whole == kMaxWhole / 10 && digit > kMaxWhole % 10)) return kReadBad;
        whole = whole * 10 + digit;
      }
    } else if (c == '.') {
      if (inFraction) return kReadBad;
      inFraction = true;
    } else if (c == '+' || c == '-') {
      return kReadBad;
    } else if (isBlank(c)) {
      while (p != end && isBlank(*p)) ++p;
      if (p != end) return kReadBad;
      break;
    }
    // commas and every other byte are ignored
  }
  for (; fractionDigits < 4; ++fractionDigits) fraction *= 10;
  const uint64_t magnitude = whole * 10000 + fraction;
  if (magnitude > (negative ? kLimit : kLimit - 1)) return kReadBad;
  value->int64 = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return kReadOk;
}

}  // namespace

long ClTextAccessor::Read() {
  if (!m_pStream) return kReadEnd;
  char line[kLineSize];
  long result = _RdNextRow(line, kLineSize);
  if (result != kReadOk) return result;
  result = _RdCmntRow(line, kLineSize);
  if (result != kReadOk) return result;
  // A line cut at the buffer's end, or one holding a NUL byte, is not a line
  // of the format.
  if (m_nBadRow) return kReadBad;

  const long positions = _GetItemNum();
  if (positions < 0 || positions > kMaxPositions) return kReadBad;
  StREADOFFSETINFO ofs[kMaxPositions];
  switch (m_eDelimiter) {
    case DLM_FIXED: result = _InitOfs_Fixed(line, kLineSize, ofs); break;
    case DLM_COMMA: result = _InitOfs_Comma(line, kLineSize, ofs); break;
    case DLM_TAB: result = _InitOfs_Tab(line, kLineSize, ofs); break;
    default: result = _InitOfs_Space(line, kLineSize, ofs); break;
  }
  if (result != kReadOk) return result;

  for (long p = 0; p < positions; ++p) {
    result = ReadItem(p, _GetItemNo(p), ofs[p].pStart, ofs[p].lLength);
    if (result != kReadOk) return result;
  }
  return kReadOk;
}

long ClTextAccessor::_RdNextRow(char* line, long size) {
  m_nBadRow = 0;
  if (!m_pStream || size < 2) return kReadEnd;
  std::iostream& in = *m_pStream;
  in.getline(line, size);
  const std::streamsize got = in.gcount();
  long length;
  if (in.bad()) {
    return kReadEnd;  // a read error ends the reading
  } else if (in.eof()) {
    if (got == 0) return kReadEnd;
    length = static_cast<long>(got);  // a last line without LF is still a line
  } else if (in.fail()) {
    if (got != size - 1) return kReadEnd;  // failed without a full buffer
    // The line does not fit: keep its first size - 1 bytes, drop the rest
    // up to its LF, and refuse it.
    length = size - 1;
    in.clear();
    in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    if (in.bad()) return kReadEnd;
    m_nBadRow = 1;
  } else {
    length = static_cast<long>(got) - 1;  // without the LF
  }
  line[length] = '\0';
  if (std::memchr(line, '\0', static_cast<size_t>(length)) != nullptr) m_nBadRow = 1;

  if (m_lPhysical < std::numeric_limits<int32_t>::max()) ++m_lPhysical;
  const size_t copied = static_cast<size_t>(length) < sizeof(m_szLastLine)
                            ? static_cast<size_t>(length)
                            : sizeof(m_szLastLine) - 1;
  std::memcpy(m_szLastLine, line, copied);
  std::memset(m_szLastLine + copied, 0, sizeof(m_szLastLine) - copied);
  return kReadOk;
}

long ClTextAccessor::_RdCmntRow(char* line, long size) {
  if (!m_pszComment) {
    m_lLogical = m_lPhysical;
    return kReadOk;
  }
  if (m_nCmntSkip) {
    while (_CheckIsCmntRow(line)) {
      if (_RdNextRow(line, size) != kReadOk) return kReadEnd;
    }
  } else if (_CheckIsCmntRow(line)) {
    return kReadComment;
  }
  if (m_lLogical < std::numeric_limits<int32_t>::max()) ++m_lLogical;
  return kReadOk;
}

int ClTextAccessor::_CheckIsCmntRow(const char* line) {
  if (!m_pszComment) return 0;
  return std::strncmp(line, m_pszComment, std::strlen(m_pszComment)) == 0;
}

long ClTextAccessor::_InitOfs_Fixed(char* line, long /*size*/, StREADOFFSETINFO* ofs) {
  const long positions = _GetItemNum();
  if (positions < 0 || positions > kMaxPositions) return kReadBad;
  const long length = static_cast<long>(std::strlen(line));
  long at = 0;
  for (long p = 0; p < positions; ++p) {
    const long item = _GetItemNo(p);
    if (item < 0 || item >= m_lCount) return kReadBad;
    const long width = m_pWork[item].lWidth;
    if (width < 0 || width > length - at) return kReadBad;
    ofs[p].pStart = line + at;
    ofs[p].lLength = static_cast<int32_t>(width);
    at += width;
  }
  return at == length ? kReadOk : kReadBad;
}

long ClTextAccessor::_InitOfs_Comma(char* line, long /*size*/, StREADOFFSETINFO* ofs) {
  return SplitDelimited(line, kCommaClasses, m_nSpace != 0, m_eQuote, _GetItemNum(), ofs);
}

long ClTextAccessor::_InitOfs_Tab(char* line, long /*size*/, StREADOFFSETINFO* ofs) {
  return SplitDelimited(line, kTabClasses, false, m_eQuote, _GetItemNum(), ofs);
}

long ClTextAccessor::_InitOfs_Space(char* line, long /*size*/, StREADOFFSETINFO* ofs) {
  auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  OffsetSink sink(ofs);
  const char* p = line;
  for (;;) {
    while (isBlank(*p)) ++p;
    if (*p == '\0') break;
    if (IsQuoteChar(*p)) {
      const char opener = *p;
      if (!QuoteAllowed(m_eQuote, opener)) return kReadBad;
      const char* start = ++p;
      while (*p != opener) {
        if (*p == '\0') return kReadBad;
        ++p;
      }
      if (!sink.Add(start, p - start)) return kReadBad;
      ++p;
    } else {
      const char* start = p;
      while (*p != '\0' && !isBlank(*p)) {
        if (IsQuoteChar(*p)) return kReadBad;
        ++p;
      }
      if (!sink.Add(start, p - start)) return kReadBad;
    }
  }
  // An empty or blank line holds one empty item.
  if (sink.count() == 0) sink.Add(nullptr, 0);
  return sink.count() == _GetItemNum() ? kReadOk : kReadBad;
}

long ClTextAccessor::ReadItem(long /*position*/, long item, const char* text, long length) {
  if (item < 0 || item >= m_lCount) return kReadBad;
  const StTAFORMAT& f = m_pWork[item];
  if (!text) {
    if (f.lRequired) return kReadBad;
    length = 0;
  }
  if (length < 0 || length >= kLineSize) return kReadBad;
  char* slot = static_cast<char*>(m_pRecord) + f.lOffset;

  if (f.lType == TAT_STRING) {
    if (length > static_cast<long>(f.lSize) - 1) return kReadBad;
    if (length > 0) std::memcpy(slot, text, static_cast<size_t>(length));
    std::memset(slot + length, 0, static_cast<size_t>(f.lSize - length));
    return kReadOk;
  }
  if (f.lType != TAT_NUMBER && f.lType != TAT_UNSIGNED) return kReadOk;

  tagCY value;
  const long parsed = ParseNumber(text, static_cast<size_t>(length), &value);
  if (parsed == kReadBad) return kReadBad;
  if (parsed != kReadOk) return kReadOk;  // empty: the slot keeps its value

  const int64_t whole = value.int64 / 10000;  // truncated toward zero
  switch (f.lSize) {
    case 1: {
      const uint8_t v = static_cast<uint8_t>(whole);
      std::memcpy(slot, &v, 1);
      break;
    }
    case 2: {
      const uint16_t v = static_cast<uint16_t>(whole);
      std::memcpy(slot, &v, 2);
      break;
    }
    case 4: {
      const uint32_t v = static_cast<uint32_t>(whole);
      std::memcpy(slot, &v, 4);
      break;
    }
    case 8:
      if (f.lType == TAT_NUMBER) std::memcpy(slot, &value.int64, 8);
      break;
    default:
      break;
  }
  return kReadOk;
}

long ClTextAccessor::CheckNumeric(const char* text, tagCY* value) {
  return ParseNumber(text, std::strlen(text), value);
}

void ClTextAccessor::SetCommentMark(const char* mark) { m_pszComment = mark; }

void ClTextAccessor::SetCommentSkip(int skip) { m_nCmntSkip = skip; }

void ClTextAccessor::SetSpaceFlag(int flag) { m_nSpace = flag; }

void ClTextAccessor::GetReadLine(char* dst) { std::memcpy(dst, m_szLastLine, sizeof(m_szLastLine)); }

long ClTextAccessor::GetPhysicalLineNo() { return m_lPhysical; }

long ClTextAccessor::GetLogicalLineNo() { return m_lLogical; }
