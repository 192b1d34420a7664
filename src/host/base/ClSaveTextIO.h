// The host's saved settings of the text library: item orders kept per
// company data set and group name. The object only forwards to the store
// that the connected host has set (ClSaveTextIOStore); without one every
// call fails, as when the host is not connected.
#pragma once
#include <cstddef>
#include <cstdint>

#include "ClSetMgr.h"

// A saved item order: group name, entry count and the entries.
#pragma pack(push, 1)
struct StTEXTIOSAVEINFO {
  char szGroup[10];         // group name, NUL-terminated (at most 9 bytes)
  int16_t nCount;           // number of meaningful entries, 0 to 256
  int32_t alEntries[256];   // item indexes
};
#pragma pack(pop)

static_assert(sizeof(StTEXTIOSAVEINFO) == 1036);
static_assert(offsetof(StTEXTIOSAVEINFO, nCount) == 10);
static_assert(offsetof(StTEXTIOSAVEINFO, alEntries) == 12);

// Where the saved settings live: the host sets one when it connects.
class ClSaveTextIOStore {
 public:
  virtual ~ClSaveTextIOStore() = default;
  // Fills info's count and entries with the order saved under dataId (a
  // non-empty NUL-terminated identifier) and group (NUL-terminated, at most
  // 9 bytes). 0, or -1 with info unchanged when none is saved or the store
  // cannot be read.
  virtual long GetData(const char* dataId, const char* group, StTEXTIOSAVEINFO* info) = 0;
  // Saves info's first nCount (0 to 256) entries under dataId and group,
  // replacing what was there. 0, or -1 when the store cannot be written.
  virtual long SetData(const char* dataId, const char* group, const StTEXTIOSAVEINFO* info) = 0;
};

class ClSaveTextIO {
 public:
  ClSaveTextIO();
  virtual ~ClSaveTextIO();
  ClSaveTextIO(const ClSaveTextIO&) = delete;
  ClSaveTextIO& operator=(const ClSaveTextIO&) = delete;

  // Makes store (null for none; not owned, must outlive its use) the store
  // of every saved-settings object of the process.
  static void SetStore(ClSaveTextIOStore* store);

  // Attaches the host's data-set manager (kept, not examined).
  void AttachSetMgr(ClSetMgr* setMgr);
  // Selects the data set by its data identifier (NUL-terminated; copied, at
  // most 15 bytes kept). Null selects none.
  void SetCurDataID(const unsigned char* dataId);
  // Fills info->nCount and info->alEntries with the order saved under the
  // selected data set and info->szGroup. Returns 0; -1 (info unchanged) when
  // none is saved, the group is not NUL-terminated within 10 bytes, no data
  // set is selected, or the host is not connected.
  long GetData(StTEXTIOSAVEINFO* info);
  // Saves the first info->nCount entries (0 to 256) under the selected data
  // set and info->szGroup, replacing what was there. Returns 0; -1 for a count
  // out of range, a group not NUL-terminated within 10 bytes, no data set
  // selected, an unconnected or read-only store.
  long SetData(const StTEXTIOSAVEINFO* info);

 private:
  char dataId_[16] = {};
};
