#include "ClMsgMgr.h"

ClMsgMgr* ClMsgMgr::Inst() {
  static ClMsgMgr instance;
  return &instance;
}

long ClMsgMgr::SetLastError(long code, const char* source, long line) {
  code_ = code;
  source_ = source;
  line_ = line;
  return code;
}
