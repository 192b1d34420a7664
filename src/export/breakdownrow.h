// The breakdown row: the data row of one breakdown line of a lump-sum asset.
#pragma once
#include "hostrecords.h"

class ClCSVEdit;
class ClG_INFO;

// Builds the row of line (whose szBreakdownNo holds the line's number) of
// the lump-sum asset in info and writes it through info, which must be
// attached to the asset file. Log entries go through edit; the code goes to
// edit's register. A number whose last two digits read 0 (the hundredth
// line) writes the 99-line warning instead of a row. May throw the decimal
// overflow failure.
void WriteBreakdownRow(ClCSVEdit* edit, ClG_INFO* info, const StKOTEISHISANINFO* asset,
                       const StIKKATSUINFO* line);
