// The host's company-data list: a walk over every company data set of the
// store in data-number order, and the data set the current user selected.
#pragma once
#include "hostrecords.h"
#include "wintypes.h"

class ClSetData {
 public:
  // Opens a walk and gives its handle in *cursor (non-zero). Returns 0, or -1
  // with *cursor = 0 when the host is not connected.
  int GetDatCursor(LONG* cursor);
  // Starts (or restarts) the walk of cursor at the first record; mode is 0.
  // Returns 0, or -1 for an unknown cursor.
  int ReadyDat(LONG cursor, int mode);
  // Fills *info with the next company data set of the walk and returns 0;
  // returns 1 at the end and -1 for an unknown cursor (info untouched then).
  int WalkDat(StDATAINFO* info, LONG cursor);
  // Ends the walk of cursor; an unknown cursor is ignored. Returns 0.
  int ReleaseDatCursor(LONG cursor);
  // The record of the data set the current user has selected; all zero when
  // that data number names no company data set or the host is not
  // connected. Never null; belongs to the host and stays valid until
  // Terminate.
  StDATAINFO* GetSelectedInfo();
};
