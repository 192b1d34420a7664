#include "waitcursor.h"

#include "frontend.h"

CWaitCursor::CWaitCursor() {
  if (FrontEnd* fe = CurrentFrontEnd()) fe->SetWaitCursor(true);
}

CWaitCursor::~CWaitCursor() {
  if (FrontEnd* fe = CurrentFrontEnd()) fe->SetWaitCursor(false);
}

void CWaitCursor::Restore() {
  if (FrontEnd* fe = CurrentFrontEnd()) {
    fe->SetWaitCursor(true);
    fe->SetWaitCursor(false);
  }
}
