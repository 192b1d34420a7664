// The data-row format of the asset file: 156 items, one per column, laid out
// back to back in a 1,382-byte record. Item i is column i + 1.
#pragma once
#include <cstddef>
#include <cstdint>

#include "textaccessor.h"

class ClG_INFO : public ClTextAccessor {
 public:
  static const long kItems = 156;         // items of a line
  static const size_t kRecordSize = 1382;  // bytes of the record buffer
  // The 156 items with their names, widths, decimals, sizes and types.
  static const StTAFORMAT s_aFormat[kItems];

  // Hands group "G_INFO", the table and the zeroed record to the accessor.
  ClG_INFO();
  ~ClG_INFO() override;

  // Zeroes the whole record (every column an empty text or a zero number).
  void Clear();
  // Copies text into the text item: at most lWidth bytes and never beyond
  // the slot (lSize bytes); NUL-terminated when the slot has room.
  // Requires 0 <= item < kItems.
  void SetText(long item, const char* text);
  // Stores value in a 2-byte or 4-byte number item (by its lSize).
  void SetNumber(long item, int32_t value);
  // Stores a currency value (amount times 10,000) in an 8-byte number item.
  void SetCurrency(long item, int64_t value);
  // The value slot of item in the record.
  char* Slot(long item) { return m_abRecord + s_aFormat[item].lOffset; }
  // Writes the record as one data row (as ClTextAccessor::Write: 0 or -1)
  // and counts the rows written.
  long Write();
  // The data rows written so far.
  long GetRowsWritten() const { return m_lRowsWritten; }

  // The 1,382-byte record buffer.
  char m_abRecord[kRecordSize];

 private:
  long m_lRowsWritten = 0;  // see GetRowsWritten
};
