#include "ClMsgMgr.h"

ClMsgMgr* ClMsgMgr::Inst() {
  // One register per thread, as the last error of the system's own calls:
  // exports running at once each read back what they recorded.
  thread_local ClMsgMgr instance;
  return &instance;
}

long ClMsgMgr::SetLastError(long code, const char* source, long line) {
  code_ = code;
  source_ = source;
  line_ = line;
  return code;
}
