// Helpers of the host's database layer.
#pragma once
#include "hostrecords.h"

class ClUtyDBHpr {
 public:
  // Writes the data ID text of the company data info (its data identifier,
  // NUL-terminated, at most 15 ASCII letters and digits) into id, which holds
  // 35 bytes. A null info gives the empty text. Returns 0.
  static int MakeIDStr(const StDATAINFO* info, char* id);
};
