// The 16-byte ledger key of an asset: eight hex digits of its company's
// store key, seven of its number, and a NUL.
#pragma once

// The largest asset number a key can carry (seven hex digits).
constexpr long long kMaxAssetSeq = 0xFFFFFFF;

// The ledger key of asset seq of company cid.
void MakeAssetKey(long long cid, long long seq, unsigned char key[16]);
// The company and number of a key; false for a key not of that form.
bool ParseAssetKey(const unsigned char key[16], long long* cid, long long* seq);
