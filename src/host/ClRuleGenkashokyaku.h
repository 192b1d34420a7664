// The host's fixed-asset rule object: walks the fixed-asset ledger of one
// company data set, the breakdown lines of its lump-sum assets, and its
// asset-kind master.
#pragma once
#include <memory>

#include "ClDataMgr.h"
#include "ClLinkMgr.h"
#include "hostrecords.h"
#include "wintypes.h"

class ClRuleGenkashokyaku {
 public:
  ClRuleGenkashokyaku();
  virtual ~ClRuleGenkashokyaku();
  ClRuleGenkashokyaku(const ClRuleGenkashokyaku&) = delete;
  ClRuleGenkashokyaku& operator=(const ClRuleGenkashokyaku&) = delete;

  // Attaches the host's data-set manager and option link (kept, not
  // examined).
  void AttachSetMgr(ClSetMgr* setMgr);
  void AttachOptLink(ClOptLink* optLink);
  // Selects the company data set by its data identifier (NUL-terminated
  // text; at most 15 bytes are kept). Ends an open walk.
  void SetCurDataID(const char* dataId);

  // Prepares the walk over the assets of the selected data set. find must be
  // null; sortType 0 is ledger order (the only order); sumType is ignored.
  // Returns 0; -1 (count 0) when the host is not connected, no data set is
  // selected, find or sortType is not supported or the store cannot be read.
  long MoveReady(StFINDINFO* find, int sortType, int sumType);
  // The number of assets of the prepared walk: the rows the store holds for
  // the data set (0 before MoveReady).
  long GetCount();
  // Fills the asset at index (0 to GetCount() - 1) of the walk into the three
  // records (each may be null; fields the store does not keep stay as they
  // are, so callers zero them first). Index previous + 1 takes one step of
  // the open walk; any other index seeks. Returns 0; -1 (records untouched)
  // for an index outside the walk, or when the store cannot deliver the
  // asset numbered index (a read error, or a gap in the numbering).
  long Move(long index, StKOTEISHISANINFO* asset, StKOTEINENINFO* year,
            StKOTEITSUKIINFO* months);

  // Prepares the breakdown lines of the asset with the 16-byte ledger key.
  // Returns 0 (an unknown key has no lines); -1 (no lines) when not
  // connected or the store cannot be read.
  long MoveReadyIkkatsu(const BYTE key[16]);
  // Writes the number of lines prepared into *count. Returns 0.
  long GetIkkatsuCount(long* count);
  // Fills line index (0 to count - 1) into *line (szBreakdownNo is left
  // alone). Returns 0; -1 for an index outside the lines.
  long MoveIkkatsu(long index, StIKKATSUINFO* line);
  // Ends the breakdown walk. Returns 0.
  long MoveFinishIkkatsu();
  // Ends the asset walk (and a breakdown walk). Returns 0.
  long MoveFinish();

  // Gives the asset-kind master of the selected data set, in master order,
  // as an array of *count records allocated with CoTaskMemAlloc, which the
  // caller releases with CoTaskMemFree. No kinds: *array null, *count 0.
  // Returns 0; -1 (null, 0) when not connected, the store cannot be read or
  // memory runs out.
  long LoadShisanKubunInfo(StSHISANKUBUNINFO** array, long* count);

 private:
  struct Walk;
  char dataId_[16] = {};
  ClSetMgr* setMgr_ = nullptr;
  ClOptLink* optLink_ = nullptr;
  std::unique_ptr<Walk> walk_;
};
