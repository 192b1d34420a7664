// ClTextAccessor turns one kind of text line into values and back. A line is
// described by a format table of StTAFORMAT items; each item's value lives at
// its lOffset in a caller-owned record buffer. Write renders the buffer as one
// line on the attached stream; Read parses the next line into it. Text is code
// page 932 bytes and is copied, never converted.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>

#include "wintypes.h"

// One item of a format table (static data of the caller).
struct StTAFORMAT {
  char szName[36];    // item name, NUL-terminated; written by the title lines
  int32_t lWidth;     // width in bytes: fixed-width column, most text bytes written
  int32_t lDecimals;  // fraction digits written for currency items, 0 to 4
  int32_t lOffset;    // byte offset of the value in the record buffer
  int32_t lSize;      // bytes of the value: text slot with NUL, or 1, 2, 4, 8
  int32_t lType;      // ClTextAccessor::_Type
  int32_t lRequired;  // reading: non-zero rejects a line that lacks the item
};

// One entry of an item order: an index into the working format.
typedef int32_t StTAORDER;

// Where one item of the line being parsed stands.
struct StREADOFFSETINFO {
  const char* pStart;  // first byte of the item's text; null for an empty item
  int32_t lLength;     // bytes of the item's text, without quotes
};

class ClTextAccessor {
 public:
  enum _Delimiter { DLM_FIXED = 1, DLM_COMMA = 2, DLM_TAB = 3, DLM_SPACE = 4 };
  enum _Quote { QUOTE_NONE = 0, QUOTE_SINGLE = 1, QUOTE_DOUBLE = 2 };
  enum _Type { TAT_STRING = 0, TAT_NUMBER = 1, TAT_UNSIGNED = 2 };
  enum _Mask { TAM_SHOW = 0, TAM_BLANK = 1, TAM_SPACE = 2 };

  static const long kMaxItems = 200;       // items that can carry a mask
  static const long kLineSize = 1024;      // line and scratch buffers
  static const long kMaxPositions = 100;   // items a read line may hold

  // Keeps group, format, count and record (all stay the caller's) and copies
  // the count items of format into the working format. Requires count >= 0.
  ClTextAccessor(const char* group, const StTAFORMAT* format, long count, void* record);
  // Frees the working format.
  virtual ~ClTextAccessor();
  ClTextAccessor(const ClTextAccessor&) = delete;
  ClTextAccessor& operator=(const ClTextAccessor&) = delete;

  // --- Writing ---------------------------------------------------------
  // Sets the stream all later writing and reading use (not owned); 0.
  long Attach(std::iostream* stream);
  // Sets layout and quote; DLM_FIXED with a quote is refused with -1003
  // (recorded as textaccessor line 112) and nothing changes; else 0.
  long SetMode(_Delimiter delimiter, _Quote quote);
  // The working format, and its item count. The format may be changed
  // through the pointer, so lines written after the first GetFormat check
  // the widths anew every time.
  StTAFORMAT* GetFormat();
  long GetFormatCount();
  // Stores the low byte of value as the mask of item; -1 for an item out of
  // range (negative, not below the count, or beyond the 200 masks).
  long SetMask(long item, long value);
  // Stores the low byte of value as the mask of every item.
  void SetAllMasks(long value);
  // The mask of item (0 to 255), -1 for an item out of range.
  long GetMask(long item);
  // Writes one line from the record buffer, ended by CR LF. 0 written; -1
  // when the stream failed (a partial line may stand) or none is attached.
  long Write();
  // Writes lead times the bytes "" , (0x22 0x22 0x2C), then the line as Write.
  long Write2(long lead);
  // Write and Write2 with the item names in place of the values.
  long ItemNameWrite();
  long ItemNameWrite2(long lead);
  // Writes text unchanged as a line of its own, then CR LF; 0 or -1.
  int CommentWrite(const char* text);

  // --- Reading ---------------------------------------------------------
  // Reads the next line into the record buffer: 0 stored, 1 end of file (or
  // a read error, or no stream), 2 the line does not match the format, 3 a
  // comment line while comment skipping is off.
  long Read();
  // Sets the comment mark (kept, not copied; null clears it).
  void SetCommentMark(const char* mark);
  // Non-zero skips comment lines; zero reports them with 3.
  void SetCommentSkip(int skip);
  // Comma layout: non-zero lets an unquoted item contain blanks.
  void SetSpaceFlag(int flag);
  // Copies the 1,024 bytes of the last line read into dst (1,024 bytes).
  void GetReadLine(char* dst);
  // Lines taken from the stream so far, and those that were not comments.
  long GetPhysicalLineNo();
  long GetLogicalLineNo();

  // --- Item order and rotation -----------------------------------------
  // Keeps order and count (not copied); 0. Count 0 means no order.
  long SetOrder(StTAORDER* order, long count);
  StTAORDER* GetOrder();
  long GetOrderCount();
  // Non-zero: all items in format order; zero: the item order when it has
  // entries.
  void SetSelectFlag(int flag);
  // Fills the order array given by SetOrder from the host's saved settings
  // of the data set dataId; 0, or -1 when nothing could be loaded.
  long LoadOrder(const unsigned char* dataId);
  // Stores the current order under the data set dataId; 0 or -1.
  long SaveOrder(const unsigned char* dataId);
  // Rotates the block [first, first + count) of the working format so that
  // its first item lands at target; 0 done, 1 refused (nothing changes).
  long RotateFormat(long first, long target, long count);
  // Restores the working format from the caller's table.
  void ResetRotate();

 protected:
  // Renders item (an index of the working format); 0 or -1.
  long WriteItem(long item);
  // Renders the value of the shown item f from the record; 0 or -1.
  long WriteValue(const StTAFORMAT& f, bool fixed);
  // Renders the name of item standing at position; 0 or -1.
  long WriteItemName(long item, long position);
  // Stores length bytes of text (null for an empty item) as item; 0 or 2.
  long ReadItem(long position, long item, const char* text, long length);
  // Parses the NUL-terminated text as a number times 10,000 into *value:
  // 0 parsed, 1 empty or blank (value untouched), 2 malformed or too large.
  long CheckNumeric(const char* text, tagCY* value);
  // Takes the next line (without its LF) into line[0..size); 0 or 1.
  long _RdNextRow(char* line, long size);
  // Skips or reports comment lines; 0, 1 or 3.
  long _RdCmntRow(char* line, long size);
  // Non-zero when line begins with the comment mark.
  int _CheckIsCmntRow(const char* line);
  // Splitters: record the item positions of line into ofs; 0 or 2.
  long _InitOfs_Fixed(char* line, long size, StREADOFFSETINFO* ofs);
  long _InitOfs_Comma(char* line, long size, StREADOFFSETINFO* ofs);
  long _InitOfs_Tab(char* line, long size, StREADOFFSETINFO* ofs);
  long _InitOfs_Space(char* line, long size, StREADOFFSETINFO* ofs);
  // The item at a position of the item sequence, and the number of positions.
  long _GetItemNo(long position) {
    if (Ordered()) return position >= 0 && position < m_lOrderCount ? m_pOrder[position] : -1;
    return position;
  }
  long _GetItemNum() { return Ordered() ? m_lOrderCount : m_lCount; }
  // True when the item order, not the format, gives the item sequence.
  bool Ordered() const { return m_nSelect == 0 && m_lOrderCount > 0 && m_pOrder != nullptr; }

 private:
  // Writes the positions of the item sequence with render between separators.
  template <typename Render>
  long WriteLine(long lead, Render render);
  // Ends the line being written with CR LF and sends it; 0 or -1.
  long EndLine();
  // The first position from p on (below positions) that is not a blank item
  // of a usable width; positions when there is none. Format order only;
  // widthsUsable says that every item's width is usable (see WidthsUsable).
  long BlankRunEnd(long p, long positions, bool widthsUsable) const;
  // True when every item of the working format has a width of 0 to 1,023.
  bool WidthsUsable() const;
  // Appends n bytes to the line being written (sending the buffer on when
  // full); nothing once the stream has failed.
  void Put(const char* s, size_t n) {
    if (n <= sizeof m_abOut - m_nOut) {
      std::memcpy(m_abOut + m_nOut, s, n);
      m_nOut += n;
    } else {
      PutLong(s, n);
    }
  }
  // Appends one byte.
  void PutByte(char c) {
    if (m_nOut == sizeof m_abOut) SendOut();
    m_abOut[m_nOut++] = c;
  }
  // Put for bytes that do not fit the room left.
  void PutLong(const char* s, size_t n);
  // Appends n bytes c; n spaces.
  void PutFill(char c, long n) {
    if (n > 0 && n <= 8 && sizeof m_abOut - m_nOut >= 8) {
      // A short fill as one store of eight bytes; those past n are scratch.
      const uint64_t word = 0x0101010101010101ULL * static_cast<unsigned char>(c);
      std::memcpy(m_abOut + m_nOut, &word, sizeof word);
      m_nOut += static_cast<size_t>(n);
    } else {
      PutLongFill(c, n);
    }
  }
  // PutFill for fills longer than 8 bytes or beyond the room left.
  void PutLongFill(char c, long n);
  void PutSpaces(long n) { PutFill(' ', n); }
  // Appends the text s up to its NUL, at most limit bytes; returns the
  // bytes appended (0 for a limit below 1). All limit bytes of s may be
  // read: it is an item's slot of the record.
  size_t PutText(const char* s, long limit);
  // Sends the buffered bytes to the stream; a short write fails the stream.
  // Records in m_bFailed whether the stream has failed.
  void SendOut();
  // Starts a line: nothing buffered, m_bFailed as the stream is now. Within
  // a line only SendOut touches the stream.
  void BeginLine();

  std::iostream* m_pStream = nullptr;
  _Delimiter m_eDelimiter = DLM_FIXED;
  _Quote m_eQuote = QUOTE_NONE;
  char m_cQuote = '\0';  // the quote character of m_eQuote, NUL for none
  void* m_pRecord;
  const char* m_pszGroup;
  const StTAFORMAT* m_pFormat;
  int32_t m_lCount;
  StTAORDER* m_pOrder = nullptr;
  int32_t m_lOrderCount = 0;
  unsigned char m_abMask[kMaxItems] = {};
  int m_nSelect = 1;
  int m_nSpace = 0;
  StTAFORMAT* m_pWork;
  const char* m_pszComment = nullptr;
  int m_nCmntSkip = 1;
  char m_szLastLine[kLineSize] = {};
  int32_t m_lPhysical = 0;
  int32_t m_lLogical = 0;
  bool m_bWidthsUsable = false;  // WidthsUsable() of the working format
  bool m_bFormatLent = false;    // GetFormat has given the format out
  bool m_bFailed = false;        // the stream had failed at the line's start or last send
  int32_t m_lOrderCap = 0;  // entries the order array holds: the count given to SetOrder
  int m_nBadRow = 0;        // the line last taken was cut at the buffer's end or holds a NUL
  char m_abOut[kLineSize];  // bytes of the line being written, not yet sent
  size_t m_nOut = 0;        // bytes in m_abOut
};
