// The host's data manager: hands out the company-data list, the current
// user and the data-set manager of the connected store.
#pragma once

#include "ClSetMgr.h"

class ClSetData;
class ClSysUser;

class ClDataMgr {
 public:
  // The one data manager of the process; the argument is reserved (null).
  static ClDataMgr* Inst(void* reserved = nullptr);
  virtual ~ClDataMgr() = default;

  // The company-data list for kind 5, mode 1 (the only pair used); null for
  // any other pair. The object belongs to the host.
  virtual ClSetData* GetSetObject(int kind, int mode);
  // The current user of the connection; belongs to the host.
  ClSysUser* GetSysUserObject();
  // The data-set manager; belongs to the host.
  ClSetMgr* GetSetMgr();
};
