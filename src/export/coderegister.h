// The register of asset codes written so far in one export, which finds
// duplicate codes. Lookups are constant time: codes of six decimal digits
// (the usual asset codes) are bits of a million-bit map; other codes of up
// to 8 bytes (all that the row writers register) are kept as 8-byte keys in
// an open-addressing table; longer codes go to a set of strings.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class ClCodeRegister {
 public:
  // An empty register.
  ClCodeRegister() = default;
  ClCodeRegister(const ClCodeRegister&) = delete;
  ClCodeRegister& operator=(const ClCodeRegister&) = delete;

  // Registers the NUL-terminated code: 0 it was new and is now registered;
  // 1 it is already registered; 2 it is longer than 6 bytes and its first 6
  // bytes are a registered code. Codes that give 1 or 2 are not registered.
  // A 6-byte code equal to the start of a longer registered code is new.
  int16_t Register(const char* code);
  // Number of registered codes.
  size_t Count() const { return m_nCount; }

 private:
  // True when the code of length bytes is registered.
  bool Contains(const char* code, size_t length) const;
  // Adds the empty code or a code of more than 8 bytes, known to be absent.
  void Insert(const char* code, size_t length);
  // The slot of the key table holding key, or the free slot where its probe
  // ends. Requires a non-empty table.
  size_t SlotOf(uint64_t key) const;
  // Doubles the key table and rehashes what it holds.
  void Grow();
  // The word of m_aDigitCodes that holds the bit of the six-digit code of
  // value v (bit v % 64); the map is made on first use.
  uint64_t& DigitWord(uint32_t v);

  // One bit per six-digit code (by its value), empty until the first one:
  // the map is 122 KiB where the key table of a million codes is 16 MiB,
  // and consecutive codes share its cache lines.
  std::vector<uint64_t> m_aDigitCodes;

  std::vector<uint64_t> m_aKeys;  // 0 marks a free slot; size a power of two
  size_t m_nShortKeys = 0;        // keys in m_aKeys
  bool m_bEmptyCode = false;      // the empty code (whose key would be 0)
  std::unordered_set<std::string> m_setLong;  // codes over 8 bytes
  size_t m_nCount = 0;
};
