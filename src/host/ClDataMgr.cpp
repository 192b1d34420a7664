#include "ClDataMgr.h"

#include "ClSetData.h"
#include "ClSysUser.h"

ClDataMgr* ClDataMgr::Inst(void*) {
  static ClDataMgr manager;
  return &manager;
}

ClSetData* ClDataMgr::GetSetObject(int kind, int mode) {
  static ClSetData companies;
  return kind == 5 && mode == 1 ? &companies : nullptr;
}

ClSysUser* ClDataMgr::GetSysUserObject() {
  static ClSysUser user;
  return &user;
}

ClSetMgr* ClDataMgr::GetSetMgr() { return ClSetMgr::Inst(); }
