// The record fields the host store keeps, one column each. The same table
// names the ledger keys, the store columns and where Move puts each value.
#pragma once
#include <cstddef>

// How a field is held in its record and in the ledger.
enum HostFieldType {
  HF_TEXT,      // NUL-terminated code page 932 text, at most size - 1 bytes
  HF_INT16,     // signed 16-bit
  HF_INT32,     // signed 32-bit
  HF_BYTE,      // 0 to 255
  HF_CURRENCY,  // amount times 10,000, signed 64-bit
};

// One field: its name (ledger key and store column), type, record (0 the
// main record of its table, 1 StKOTEINENINFO for assets), offset and size.
struct HostField {
  const char* name;
  HostFieldType type;
  int record;
  size_t offset;
  size_t size;
};

// The asset fields (StKOTEISHISANINFO and StKOTEINENINFO), abAssetKey aside.
extern const HostField kAssetFields[];
extern const size_t kAssetFieldCount;
// The breakdown-line fields (StIKKATSUINFO), szBreakdownNo aside.
extern const HostField kBreakdownFields[];
extern const size_t kBreakdownFieldCount;
// The asset-kind fields (StSHISANKUBUNINFO).
extern const HostField kKindFields[];
extern const size_t kKindFieldCount;

// The field named name in fields[0..count), or null.
const HostField* FindHostField(const HostField* fields, size_t count, const char* name);
