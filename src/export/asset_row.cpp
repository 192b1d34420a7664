#include "ClCSVEdit.h"

int ClCSVEdit::WriteAssetRow(StKOTEISHISANINFO*, StKOTEINENINFO*, StKOTEITSUKIINFO*,
                             StIKKATSUINFO*, StDATAINFO*) {
  return 1;
}
