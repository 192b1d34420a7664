// Values of the server's binary results and text copies as the host's
// records hold them.
#pragma once
#include <libpq-fe.h>

#include <cstddef>
#include <cstdint>

#include "hostfields.h"

// The integer in column of row of a binary result: int2, int4, int8, bool,
// numeric without fraction, or decimal digits in a text or bytea value; 0
// for NULL or another type.
long long PgInteger(const PGresult* result, int row, int column);

// The big-endian signed integer of size bytes (1 to 8) at p. Inline: the
// walk reads every integer of every asset through it.
inline long long PgBigEndian(const char* p, int size) {
  const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
  switch (size) {
    case 2:
      return static_cast<int16_t>((b[0] << 8) | b[1]);
    case 4:
      return static_cast<int32_t>((uint32_t{b[0]} << 24) | (uint32_t{b[1]} << 16) |
                                  (uint32_t{b[2]} << 8) | b[3]);
    default: {
      uint64_t v = 0;
      for (int i = 0; i < size; ++i) v = (v << 8) | b[i];
      if (size > 0 && size < 8 && (v >> (size * 8 - 1)) != 0) v |= ~uint64_t{0} << (size * 8);
      return static_cast<long long>(v);
    }
  }
}

// Puts a binary value (size bytes at value: a text's bytes, or a
// big-endian integer of 1 to 8 bytes) into field f of records (when
// records[f.record] is not null); a text is cut to its field with its NUL.
void PgPutField(const HostField& f, const char* value, int size, void* const* records);

// Reads the value at p of a row of the server's text copy format (a
// decimal integer, a bytea as "\\x" and hex digits, or NULL as "\\N") into
// field f of records (when records[f.record] is not null and the value is
// not NULL), a text cut to its field with its NUL. Returns where the value
// ends (the tab or line feed after it, at most end), or nullptr when it is
// not of that form.
const char* PgScanCopyField(const HostField& f, const char* p, const char* end,
                            void* const* records);

// The same for a decimal integer (a sign, then 1 to 18 digits) into *v,
// left alone for a NULL.
const char* PgScanCopyInteger(const char* p, const char* end, long long* v);

// Fills fields[0..count) of records from the columns first.. of row of a
// binary result (texts cut to their field, NUL-terminated); NULLs and
// records that are null are left alone.
void PgReadFields(const PGresult* result, int row, int first, const HostField* fields, size_t count,
                  void* const* records);
