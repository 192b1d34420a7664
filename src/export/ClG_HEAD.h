// The column-title format of the asset file: 156 text items, one per column,
// whose slots hold the column titles of the title line.
#pragma once
#include <cstddef>

#include "textaccessor.h"

class ClG_HEAD : public ClTextAccessor {
 public:
  static const long kItems = 156;         // items of a line
  static const size_t kRecordSize = 3073;  // bytes of the record buffer
  // The 156 items, back to back in the record.
  static const StTAFORMAT s_aFormat[kItems];
  // The column titles, in column order; each fits its item's lWidth.
  static const char* const s_apszTitles[kItems];

  // Hands group "G_HEAD", the table and the zeroed record to the accessor.
  ClG_HEAD();
  ~ClG_HEAD() override;

  // Clears the record and copies every title into its slot.
  void FillTitles();

  // The 3,073-byte record buffer.
  char m_abRecord[kRecordSize];
};
