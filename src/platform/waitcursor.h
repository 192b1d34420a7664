// The wait cursor under the framework's name, shown by the current front end.
#pragma once

// Shows the wait cursor for the object's life.
class CWaitCursor {
 public:
  CWaitCursor();
  ~CWaitCursor();
  CWaitCursor(const CWaitCursor&) = delete;
  CWaitCursor& operator=(const CWaitCursor&) = delete;
  // Shows the wait cursor again after something (a message box) changed it.
  void Restore();
};
