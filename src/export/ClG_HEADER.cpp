#include "ClG_HEADER.h"

#include <cstring>

#include "mbcs.h"

const StTAFORMAT ClG_HEADER::s_aFormat[kItems] = {
    {"資産コード文字", 152, 0, 0, 153, ClTextAccessor::TAT_STRING, 0},
};

ClG_HEADER::ClG_HEADER()
    : ClTextAccessor("G_HEADER", s_aFormat, kItems, m_szRecord), m_szRecord{} {}

ClG_HEADER::~ClG_HEADER() = default;

long ClG_HEADER::WriteText(const char* text) {
  std::memset(m_szRecord, 0, sizeof m_szRecord);
  size_t limit = sizeof m_szRecord - 1;
  std::memcpy(m_szRecord, text, MbcsCutLength(text, strnlen(text, limit + 1), limit));
  return Write();
}
