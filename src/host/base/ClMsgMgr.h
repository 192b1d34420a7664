// The accounting host's error register: the last result that a library
// operation recorded, with the source name and line of the recording.
#pragma once

class ClMsgMgr {
 public:
  // The register of the calling thread.
  static ClMsgMgr* Inst();

  // Records code (0 for success) with source (null for none) and line;
  // returns code. source must be a static text; it is kept, not copied.
  long SetLastError(long code, const char* source, long line);

  // The last recorded code, source ("" for none) and line.
  long GetLastErrorCode() const { return code_; }
  const char* GetLastErrorSource() const { return source_ ? source_ : ""; }
  long GetLastErrorLine() const { return line_; }

 private:
  long code_ = 0;
  const char* source_ = nullptr;
  long line_ = 0;
};
