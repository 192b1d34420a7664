// Construction, settings and line writing of ClTextAccessor. Writing renders
// each item through a fixed scratch area into the accessor's line buffer,
// which goes to the stream in one piece at the end of the line (or when
// full): one stream call per line, and nothing is allocated.
#include <bit>
#include <cstring>
#include <iostream>
#include <limits>

#include "ClMsgMgr.h"
#include "decimaltext.h"
#include "textaccessor.h"

namespace {

const char kSource[] = "textaccessor";
const long kLineSetMode = 112;
const long kWritten = 0;
const long kFailed = -1;
const long kBadArgument = -1003;
const char kLineEnd[] = "\r\n";
const char kLeadItem[] = "\"\",";

// The value of type T stored little-endian at p (no alignment needed).
template <typename T>
T Load(const unsigned char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The signed and the unsigned value of a size-byte integer at p (1, 2, 4, 8).
int64_t SignedAt(const unsigned char* p, int32_t size) {
  return size == 1 ? Load<int8_t>(p) : size == 2 ? Load<int16_t>(p) : size == 4 ? Load<int32_t>(p) : Load<int64_t>(p);
}
uint64_t UnsignedAt(const unsigned char* p, int32_t size) {
  return size == 1 ? Load<uint8_t>(p) : size == 2 ? Load<uint16_t>(p) : size == 4 ? Load<uint32_t>(p) : Load<uint64_t>(p);
}

// The quote character of a setting, NUL for none.
char QuoteOf(ClTextAccessor::_Quote quote) {
  return quote == ClTextAccessor::QUOTE_SINGLE ? '\'' : quote == ClTextAccessor::QUOTE_DOUBLE ? '"' : '\0';
}

// The byte between the items of a line; NUL for fixed columns.
char SeparatorOf(ClTextAccessor::_Delimiter delimiter) {
  return delimiter == ClTextAccessor::DLM_COMMA ? ','
         : delimiter == ClTextAccessor::DLM_TAB ? '\t'
         : delimiter == ClTextAccessor::DLM_SPACE ? ' '
                                                  : '\0';
}

bool IntegerSize(int32_t size) { return size == 1 || size == 2 || size == 4; }

}  // namespace

void ClTextAccessor::SendOut() {
  const size_t n = m_nOut;
  m_nOut = 0;
  if (n == 0 || !m_pStream->good()) {
    m_bFailed = m_pStream->fail();
    return;
  }
  std::streambuf* buf = m_pStream->rdbuf();
  if (buf == nullptr || buf->sputn(m_abOut, static_cast<std::streamsize>(n)) != static_cast<std::streamsize>(n)) {
    m_pStream->setstate(std::ios::badbit);
  }
  m_bFailed = m_pStream->fail();
}

void ClTextAccessor::BeginLine() {
  m_nOut = 0;
  m_bFailed = m_pStream->fail();
}

void ClTextAccessor::PutLong(const char* s, size_t n) {
  while (n > 0) {
    if (m_nOut == sizeof m_abOut) SendOut();
    const size_t room = sizeof m_abOut - m_nOut;
    const size_t k = n < room ? n : room;
    std::memcpy(m_abOut + m_nOut, s, k);
    m_nOut += k;
    s += k;
    n -= k;
  }
}

void ClTextAccessor::PutLongFill(char c, long n) {
  while (n > 0) {
    if (m_nOut == sizeof m_abOut) SendOut();
    const size_t room = sizeof m_abOut - m_nOut;
    const size_t k = static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room;
    std::memset(m_abOut + m_nOut, c, k);
    m_nOut += k;
    n -= static_cast<long>(k);
  }
}

size_t ClTextAccessor::PutText(const char* s, long limit) {
  if (limit <= 0) return 0;
  const size_t most = static_cast<size_t>(limit);
  if (most <= sizeof m_abOut - m_nOut) {
    // Measured and copied in one pass, eight bytes a step while eight are
    // left: the step that holds the NUL ends the text (its bytes past the
    // NUL land in the free part of the buffer).
    char* const out = m_abOut + m_nOut;
    size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
      constexpr uint64_t kOnes = 0x0101010101010101ULL;
      for (; most - n >= 8; n += 8) {
        uint64_t word;
        std::memcpy(&word, s + n, sizeof word);
        std::memcpy(out + n, &word, sizeof word);
        // The lowest byte of word that is NUL has its top bit set here.
        const uint64_t nul = (word - kOnes) & ~word & (kOnes << 7);
        if (nul != 0) {
          n += static_cast<size_t>(std::countr_zero(nul)) / 8;
          m_nOut += n;
          return n;
        }
      }
    }
    while (n < most && s[n] != '\0') {
      out[n] = s[n];
      ++n;
    }
    m_nOut += n;
    return n;
  }
  const size_t n = strnlen(s, most);
  PutLong(s, n);
  return n;
}

ClTextAccessor::ClTextAccessor(const char* group, const StTAFORMAT* format, long count, void* record)
    : m_pRecord(record), m_pszGroup(group), m_pFormat(format), m_lCount(0), m_pWork(nullptr), m_abOut{} {
  if (format == nullptr || count <= 0) return;
  if (count > std::numeric_limits<int32_t>::max()) count = std::numeric_limits<int32_t>::max();
  m_lCount = static_cast<int32_t>(count);
  m_pWork = new StTAFORMAT[static_cast<size_t>(count)];
  std::memcpy(m_pWork, format, static_cast<size_t>(count) * sizeof(StTAFORMAT));
  m_bWidthsUsable = WidthsUsable();
}

ClTextAccessor::~ClTextAccessor() { delete[] m_pWork; }

long ClTextAccessor::Attach(std::iostream* stream) {
  m_pStream = stream;
  return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
}

long ClTextAccessor::SetMode(_Delimiter delimiter, _Quote quote) {
  if (delimiter == DLM_FIXED && quote != QUOTE_NONE) {
    return ClMsgMgr::Inst()->SetLastError(kBadArgument, kSource, kLineSetMode);
  }
  m_eDelimiter = delimiter;
  m_eQuote = quote;
  m_cQuote = QuoteOf(quote);
  return ClMsgMgr::Inst()->SetLastError(0, nullptr, 0);
}

StTAFORMAT* ClTextAccessor::GetFormat() {
  m_bFormatLent = true;
  return m_pWork;
}

long ClTextAccessor::GetFormatCount() { return m_lCount; }

long ClTextAccessor::SetMask(long item, long value) {
  if (item < 0 || item >= m_lCount || item >= kMaxItems) return kFailed;
  m_abMask[item] = static_cast<unsigned char>(value & 0xFF);
  return 0;
}

void ClTextAccessor::SetAllMasks(long value) {
  std::memset(m_abMask, value & 0xFF, sizeof m_abMask);
}

long ClTextAccessor::GetMask(long item) {
  if (item < 0 || item >= m_lCount || item >= kMaxItems) return kFailed;
  return m_abMask[item];
}

inline long ClTextAccessor::WriteItem(long item) {
  if (m_pStream == nullptr) return kFailed;
  if (item < 0 || item >= m_lCount) return kBadArgument;
  const StTAFORMAT& f = m_pWork[item];
  const long w = f.lWidth;
  // Widths that the scratch area cannot hold are refused.
  if (w < 0 || w >= kLineSize) return kFailed;
  const bool fixed = m_eDelimiter == DLM_FIXED;
  const unsigned char mask = item < kMaxItems ? m_abMask[item] : 0;
  if (mask != TAM_SHOW) {
    if (fixed) {
      PutSpaces(w);
    } else if (mask == TAM_SPACE) {
      Put(" ", 1);
    }
    return kWritten;
  }
  if (m_pRecord == nullptr) return kFailed;
  return WriteValue(f, fixed);
}

template <typename Render>
long ClTextAccessor::WriteLine(long lead, Render render) {
  if (m_pStream == nullptr) return kFailed;
  BeginLine();
  for (long i = 0; i < lead; ++i) Put(kLeadItem, 3);
  const long positions = _GetItemNum();
  const char separator = SeparatorOf(m_eDelimiter);
  for (long p = 0; p < positions; ++p) {
    long result = render(_GetItemNo(p), p);
    if (result != 0) {
      // The items before the refused one still reach the stream.
      SendOut();
      return result;
    }
    // A stream that fails part way shows in the next shown item's result
    // and in the line's; what follows it is dropped.
    if (p + 1 < positions && separator != '\0') PutByte(separator);
  }
  return EndLine();
}

long ClTextAccessor::EndLine() {
  Put(kLineEnd, 2);
  SendOut();
  return m_bFailed ? kFailed : kWritten;
}

bool ClTextAccessor::WidthsUsable() const {
  // A width outside 0..1023 sets a bit of 1024 or above in the union.
  uint32_t widths = 0;
  for (long i = 0; i < m_lCount; ++i) widths |= static_cast<uint32_t>(m_pWork[i].lWidth);
  return widths < kLineSize;
}

inline long ClTextAccessor::BlankRunEnd(long p, long positions, bool widthsUsable) const {
  const long end = positions < kMaxItems ? positions : kMaxItems;
  // The masks eight at a time: the run ends at the first byte that is not
  // TAM_BLANK.
  long q = p;
  const uint64_t blanks = 0x0101010101010101ULL * TAM_BLANK;
  while (q + 8 <= end) {
    uint64_t word;
    std::memcpy(&word, m_abMask + q, sizeof word);
    word ^= blanks;
    if (word != 0) {
      // The first byte in memory is the word's lowest on a little-endian
      // machine, its highest on a big-endian one.
      const int bit = std::endian::native == std::endian::little ? std::countr_zero(word)
                                                                  : std::countl_zero(word);
      q += bit / 8;
      break;
    }
    q += 8;
  }
  if (q + 8 > end) {
    while (q < end && m_abMask[q] == TAM_BLANK) ++q;
  }
  if (widthsUsable) return q;
  uint32_t widths = 0;
  for (long i = p; i < q; ++i) widths |= static_cast<uint32_t>(m_pWork[i].lWidth);
  if (widths < kLineSize) return q;
  // The item whose width is refused ends the run.
  while (static_cast<uint32_t>(m_pWork[p].lWidth) < kLineSize) ++p;
  return p;
}

long ClTextAccessor::Write() { return Write2(0); }

long ClTextAccessor::Write2(long lead) {
  if (m_pStream == nullptr) return kFailed;
  if (m_eDelimiter == DLM_FIXED || Ordered()) {
    return WriteLine(lead, [this](long item, long) { return WriteItem(item); });
  }
  // The items in format order, delimited: most of them are blank and give
  // only their separators, run by run.
  BeginLine();
  for (long i = 0; i < lead; ++i) Put(kLeadItem, 3);
  const long positions = m_lCount;
  const char separator = SeparatorOf(m_eDelimiter);
  // Rotation keeps the widths; a reset or a lent format may change them.
  const bool widthsUsable = m_bFormatLent ? WidthsUsable() : m_bWidthsUsable;
  const auto* record = static_cast<const unsigned char*>(m_pRecord);
  long p = 0;
  for (;;) {
    const long shown = BlankRunEnd(p, positions, widthsUsable);
    // Every position after the first follows its separator: those of the
    // blank run and of the item that ends it.
    const long from = p > 0 ? p : 1;
    const long last = shown < positions ? shown : positions - 1;
    if (separator != '\0' && last >= from) PutFill(separator, last - from + 1);
    if (shown >= positions) break;
    const StTAFORMAT& f = m_pWork[shown];
    long result;
    if (f.lType == TAT_STRING && m_cQuote == '\0' && widthsUsable && record != nullptr &&
        (shown >= kMaxItems || m_abMask[shown] == TAM_SHOW)) {
      // A shown text without quotes, the most frequent item, as WriteValue
      // writes it.
      PutText(reinterpret_cast<const char*>(record + f.lOffset), f.lSize < f.lWidth ? f.lSize : f.lWidth);
      result = m_bFailed ? kFailed : kWritten;
    } else {
      result = WriteItem(shown);
    }
    if (result != 0) {
      SendOut();
      return result;
    }
    p = shown + 1;
  }
  return EndLine();
}

long ClTextAccessor::ItemNameWrite() { return ItemNameWrite2(0); }

long ClTextAccessor::ItemNameWrite2(long lead) {
  return WriteLine(lead, [this](long item, long position) { return WriteItemName(item, position); });
}

int ClTextAccessor::CommentWrite(const char* text) {
  if (m_pStream == nullptr) return kFailed;
  BeginLine();
  if (text != nullptr) Put(text, std::strlen(text));
  Put(kLineEnd, 2);
  SendOut();
  return m_bFailed ? kFailed : kWritten;
}

long ClTextAccessor::WriteValue(const StTAFORMAT& f, bool fixed) {
  const long w = f.lWidth;
  const auto* value = static_cast<const unsigned char*>(m_pRecord) + f.lOffset;
  if (f.lType == TAT_STRING) {
    const long limit = f.lSize < w ? f.lSize : w;
    const char* text = reinterpret_cast<const char*>(value);
    if (fixed) {
      PutSpaces(w - static_cast<long>(PutText(text, limit)));
    } else if (m_cQuote != '\0') {
      PutByte(m_cQuote);
      PutText(text, limit);
      PutByte(m_cQuote);
    } else {
      PutText(text, limit);
    }
    return m_bFailed ? kFailed : kWritten;
  }
  // Numbers: the digits end at the scratch's end; the integer part is padded
  // to field in fixed columns and followed by tail bytes (the fraction).
  char scratch[kLineSize];
  char* const end = scratch + sizeof scratch;
  char* begin;
  long field = w;
  size_t tail = 0;
  if (f.lType == TAT_NUMBER && IntegerSize(f.lSize)) {
    const int64_t v = SignedAt(value, f.lSize);
    begin = DecimalDigits(v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v), end);
    if (v < 0) *--begin = '-';
  } else if (f.lType == TAT_NUMBER && f.lSize == 8) {
    const long d = f.lDecimals;
    if (d < 0 || d > 4) return kFailed;
    const int64_t v = SignedAt(value, 8);
    const uint64_t a = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
    char* const fraction = end - 5;
    begin = DecimalDigits(a / 10000, fraction);
    if (v < 0) *--begin = '-';
    if (d != 0) {
      // ".%04d" of the fraction, cut after d digits: truncated, not rounded.
      field = w - d - 1;
      tail = static_cast<size_t>(d) + 1;
      // The four digits of the fraction, leading zeros kept.
      const uint64_t rest = a % 10000;
      DecimalDigits(rest % 100 + 100, fraction + 5);
      DecimalDigits(rest / 100 + 100, fraction + 3);
      fraction[0] = '.';
    }
    const long length = fraction - begin;
    if (fixed && field > length) PutSpaces(field - length);
    Put(begin, static_cast<size_t>(length) + tail);
    return m_bFailed ? kFailed : kWritten;
  } else if (f.lType == TAT_UNSIGNED && (IntegerSize(f.lSize) || f.lSize == 8)) {
    begin = DecimalDigits(UnsignedAt(value, f.lSize), end);
  } else {
    return kFailed;
  }
  const long length = end - begin;
  if (fixed && field > length) PutSpaces(field - length);
  Put(begin, static_cast<size_t>(length));
  return m_bFailed ? kFailed : kWritten;
}

long ClTextAccessor::WriteItemName(long item, long position) {
  if (m_pStream == nullptr) return kFailed;
  if (item < 0 || item >= m_lCount) return kBadArgument;
  const StTAFORMAT& f = m_pWork[item];
  const size_t n = strnlen(f.szName, sizeof f.szName);
  const bool fixed = m_eDelimiter == DLM_FIXED;
  const unsigned char mask = item < kMaxItems ? m_abMask[item] : 0;
  if (mask != TAM_SHOW) {
    if (fixed) {
      PutSpaces(static_cast<long>(n));
    } else if (mask == TAM_SPACE) {
      Put(" ", 1);
    }
    return kWritten;
  }
  if (fixed) {
    if (position != 0) Put("  ", 2);
    Put(f.szName, n);
  } else {
    if (m_cQuote != '\0') PutByte(m_cQuote);
    Put(f.szName, n);
    if (m_cQuote != '\0') PutByte(m_cQuote);
  }
  return m_bFailed ? kFailed : kWritten;
}
