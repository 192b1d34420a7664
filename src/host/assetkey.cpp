#include "assetkey.h"

void MakeAssetKey(long long cid, long long seq, unsigned char key[16]) {
  // Eight hex digits of the company and seven of the sequence number, by
  // hand: the walk makes one key per asset.
  static const char kHex[] = "0123456789ABCDEF";
  unsigned long long c = static_cast<unsigned long long>(cid) & 0xFFFFFFFFull;
  unsigned long long s = static_cast<unsigned long long>(seq) & 0xFFFFFFFull;
  for (int i = 7; i >= 0; --i, c >>= 4) key[i] = static_cast<unsigned char>(kHex[c & 0xF]);
  for (int i = 14; i >= 8; --i, s >>= 4) key[i] = static_cast<unsigned char>(kHex[s & 0xF]);
  key[15] = 0;
}

bool ParseAssetKey(const unsigned char key[16], long long* cid, long long* seq) {
  if (key[15] != 0) return false;
  unsigned long long parts[2] = {0, 0};
  for (int i = 0; i < 15; ++i) {
    int c = key[i];
    int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (digit < 0) return false;
    unsigned long long& part = parts[i < 8 ? 0 : 1];
    part = part * 16 + static_cast<unsigned long long>(digit);
  }
  *cid = static_cast<long long>(parts[0]);
  *seq = static_cast<long long>(parts[1]);
  return true;
}
