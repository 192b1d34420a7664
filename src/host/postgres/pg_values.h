// Values of binary results of the server as the host's records hold them.
#pragma once
#include <libpq-fe.h>

#include <cstddef>

#include "hostfields.h"

// The integer in column of row of a binary result: int2, int4, int8, bool,
// numeric without fraction, or decimal digits in a text or bytea value; 0
// for NULL or another type.
long long PgInteger(const PGresult* result, int row, int column);

// The big-endian signed integer of size bytes (1 to 8) at p.
long long PgBigEndian(const char* p, int size);

// Puts a binary value (size bytes at value: a text's bytes, or a
// big-endian integer of 1 to 8 bytes) into field f of records (when
// records[f.record] is not null); a text is cut to its field with its NUL.
void PgPutField(const HostField& f, const char* value, int size, void* const* records);

// Fills fields[0..count) of records from the columns first.. of row of a
// binary result (texts cut to their field, NUL-terminated); NULLs and
// records that are null are left alone.
void PgReadFields(const PGresult* result, int row, int first, const HostField* fields, size_t count,
                  void* const* records);
