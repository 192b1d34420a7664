// The host's saved settings of the text library: item orders kept per
// company data set and group name.
#pragma once
#include "ClDataMgr.h"
#include "hostrecords.h"

class ClSaveTextIO {
 public:
  ClSaveTextIO();
  virtual ~ClSaveTextIO();
  ClSaveTextIO(const ClSaveTextIO&) = delete;
  ClSaveTextIO& operator=(const ClSaveTextIO&) = delete;

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
