#include "ClCSVEdit.h"

int ClCSVEdit::WriteKindHeader(StDATAINFO*) { return 1; }

int ClCSVEdit::WriteKindRow(StSHISANKUBUNINFO*) { return 1; }
