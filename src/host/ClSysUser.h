// The host's current user and the company data each user has selected.
#pragma once
#include "wintypes.h"

class ClSysUser {
 public:
  // Writes the current user ID (code page 932, NUL-terminated, at most 64
  // bytes) into id, which holds 65 bytes. Returns 0, or -1 (id empty) when
  // the host is not connected or id is null.
  int GetCurUserID(char* id);
  // Gives the first selection number and the selected data number of the
  // user userId (code page 932). Returns 0; -1 with both set to 0 when the
  // user is unknown or the host is not connected; -2 with both 0 when the
  // store cannot be read. Null outputs are skipped.
  int GetSelectedNo(const char* userId, LONG* first, LONG* selected);
};
