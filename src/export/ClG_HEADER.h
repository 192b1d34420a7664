// The single-item format of whole-line texts: the preamble lines of the asset
// file, the comment and section lines of the asset-kind file and every entry
// of the diagnostics log. Its one text item holds at most 152 bytes.
#pragma once
#include <cstddef>

#include "textaccessor.h"

class ClG_HEADER : public ClTextAccessor {
 public:
  static const long kItems = 1;         // items of a line
  static const size_t kRecordSize = 153;  // bytes of the record buffer
  // The item as every line of this format lays it out.
  static const StTAFORMAT s_aFormat[kItems];

  // Hands group "G_HEADER", the table and the zeroed record to the accessor.
  ClG_HEADER();
  ~ClG_HEADER() override;

  // Clears the record, copies the NUL-terminated text into it, cut back to
  // the last whole character at 152 bytes, and writes it as one line (on the
  // stream attached before). Write's result: 0, or -1 when the write failed.
  long WriteText(const char* text);

  // The 153-byte record buffer: the line's text, NUL-terminated.
  char m_szRecord[kRecordSize];
};
