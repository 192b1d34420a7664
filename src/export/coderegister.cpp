#include "coderegister.h"

#include <cstring>

namespace {
const size_t kShortCode = 8;  // codes of up to this many bytes are keys
const size_t kPrefix = 6;     // the part of a longer code that an earlier code may equal

// The code's bytes packed into 8 bytes, zero-padded: distinct for distinct
// codes of up to 8 bytes (a code holds no NUL), and 0 only for the empty code.
uint64_t KeyOf(const char* code, size_t length) {
  uint64_t key = 0;
  for (size_t i = 0; i < length; ++i)
    key |= static_cast<uint64_t>(static_cast<unsigned char>(code[i])) << (8 * i);
  return key;
}

const uint32_t kDigitCodes = 1000000;  // six-digit codes: 000000 to 999999

// The value of a code of kPrefix decimal digits, or kDigitCodes for any
// other code.
uint32_t DigitValue(const char* code, size_t length) {
  if (length != kPrefix) return kDigitCodes;
  uint32_t v = 0;
  for (size_t i = 0; i < kPrefix; ++i) {
    const unsigned digit = static_cast<unsigned char>(code[i]) - static_cast<unsigned>('0');
    if (digit > 9) return kDigitCodes;
    v = v * 10 + digit;
  }
  return v;
}

size_t HashOf(uint64_t key) {
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return static_cast<size_t>(key);
}
}  // namespace

int16_t ClCodeRegister::Register(const char* code) {
  size_t length = std::strlen(code);
  if (const uint32_t v = DigitValue(code, length); v < kDigitCodes) {
    uint64_t& word = DigitWord(v);
    const uint64_t bit = uint64_t{1} << (v % 64);
    if ((word & bit) != 0) return 1;
    word |= bit;
    ++m_nCount;
    return 0;
  }
  if (length == 0 || length > kShortCode) {
    if (Contains(code, length)) return 1;
    if (length > kPrefix && Contains(code, kPrefix)) return 2;
    Insert(code, length);
    return 0;
  }
  // A short code is looked up once: the probe that misses it ends at the
  // slot it goes to.
  const uint64_t key = KeyOf(code, length);
  size_t slot = m_aKeys.empty() ? 0 : SlotOf(key);
  if (!m_aKeys.empty() && m_aKeys[slot] == key) return 1;
  if (length > kPrefix && Contains(code, kPrefix)) return 2;
  ++m_nCount;
  // Keep the table at most three quarters full: every probe meets a free
  // slot, probes stay short, and a million codes fit 2^21 slots (16 MiB)
  // instead of doubling to 32 MiB just past a half-full table.
  if ((m_nShortKeys + 1) * 4 > m_aKeys.size() * 3) {
    Grow();
    slot = SlotOf(key);
  }
  m_aKeys[slot] = key;
  ++m_nShortKeys;
  return 0;
}

size_t ClCodeRegister::SlotOf(uint64_t key) const {
  size_t mask = m_aKeys.size() - 1, i = HashOf(key) & mask;
  while (m_aKeys[i] != key && m_aKeys[i] != 0) i = (i + 1) & mask;
  return i;
}

uint64_t& ClCodeRegister::DigitWord(uint32_t v) {
  if (m_aDigitCodes.empty()) m_aDigitCodes.assign((kDigitCodes + 63) / 64, 0);
  return m_aDigitCodes[v / 64];
}

bool ClCodeRegister::Contains(const char* code, size_t length) const {
  if (length == 0) return m_bEmptyCode;
  if (const uint32_t v = DigitValue(code, length); v < kDigitCodes) {
    return !m_aDigitCodes.empty() && (m_aDigitCodes[v / 64] >> (v % 64) & 1) != 0;
  }
  if (length > kShortCode) return m_setLong.count(std::string(code, length)) != 0;
  if (m_aKeys.empty()) return false;
  uint64_t key = KeyOf(code, length);
  return m_aKeys[SlotOf(key)] == key;
}

void ClCodeRegister::Insert(const char* code, size_t length) {
  ++m_nCount;
  if (length == 0) {
    m_bEmptyCode = true;
    return;
  }
  m_setLong.emplace(code, length);
}

void ClCodeRegister::Grow() {
  std::vector<uint64_t> old;
  old.swap(m_aKeys);
  m_aKeys.assign(old.empty() ? 64 : old.size() * 2, 0);
  size_t mask = m_aKeys.size() - 1;
  for (uint64_t key : old) {
    if (key == 0) continue;
    size_t i = HashOf(key) & mask;
    while (m_aKeys[i] != 0) i = (i + 1) & mask;
    m_aKeys[i] = key;
  }
}
