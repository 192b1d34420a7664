#include "ClSetMgr.h"

ClSetMgr* ClSetMgr::Inst() {
  static ClSetMgr manager;
  return &manager;
}
