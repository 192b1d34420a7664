// The row format of the asset-kind file: 16 items of one asset kind, laid out
// back to back in a 150-byte record.
#pragma once
#include <cstddef>

#include "textaccessor.h"

class ClG_SSC : public ClTextAccessor {
 public:
  static const long kItems = 16;         // items of a line
  static const size_t kRecordSize = 150;  // bytes of the record buffer
  // The 16 items with their names, widths, decimals, sizes and types.
  static const StTAFORMAT s_aFormat[kItems];

  // Hands group "G_SSC", the table and the zeroed record to the accessor.
  ClG_SSC();
  ~ClG_SSC() override;

  // The 150-byte record buffer.
  char m_abRecord[kRecordSize];
};
