#include "ClCSVEdit.h"

int ClCSVEdit::WriteBreakdownRows(ClRuleGenkashokyaku*, StKOTEISHISANINFO*, StKOTEINENINFO*,
                                  StKOTEITSUKIINFO*, StDATAINFO*) {
  return 1;
}
