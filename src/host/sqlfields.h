// Record fields (hostfields.h) in SQL statements of a StoreSql: the column
// lists, inserts and the copying of values between records and statements.
#pragma once
#include <string>

#include "hostfields.h"
#include "storesql.h"

// The column list "a, b, c" of the fields, each after prefix.
std::string SqlFieldColumns(const HostField* fields, size_t count, const char* prefix);

// "INSERT INTO table(keys, <field columns>) VALUES(?1, ...)" with one
// parameter per key (keys is a list like "cid, seq") and per field.
std::string SqlInsertSql(const char* table, const char* keys, const HostField* fields, size_t count);

// Binds the fields' values from the records (records[f.record] + f.offset)
// as parameters first.. of statement; a text up to its NUL.
void BindSqlFields(SqlStatement* statement, int first, const HostField* fields, size_t count,
                   const void* const* records);

// Copies columns first.. of the current row into the records (a null
// record is skipped); texts are cut to fit with their NUL, NULL leaves a
// field as it is.
void ReadSqlFields(SqlStatement* statement, int first, const HostField* fields, size_t count,
                   void* const* records);
