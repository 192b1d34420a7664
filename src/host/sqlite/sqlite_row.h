// The host_row SQL function of the store's connections, which copies a row
// straight into the caller's records while SQLite evaluates it.
//
// Why: the asset walk reads about a hundred columns a row. Asked column by
// column through sqlite3_column_value, SQLite runs its per-column call
// path a hundred times a row; as one function call over all columns it
// hands them over as one array of values. bench/host_walk times the walk
// both ways (the figures stand at the walk in sqlite_host_store.cpp).
#pragma once
#include <sqlite3.h>

#include <string>

#include "hostfields.h"

// Where the result column of HostRowColumn copies the row it is given: the
// fields[0..count) of the row numbered expected go into the records (a null
// record is skipped); texts are cut to fit with their NUL, NULL leaves a
// field as it is.
struct HostRowTarget {
  const HostField* fields = nullptr;
  size_t count = 0;
  long long expected = -1;
  void* records[2] = {};
};

// Makes host_row known to db; false when SQLite refuses.
bool RegisterHostRow(sqlite3* db);

// The result column "host_row(?parameter, seq, <field columns>)" (of a table
// with a seq column), whose evaluation copies the fields of each row into
// the HostRowTarget bound as that parameter, when the row's seq is the one
// the target expects. Its value is 1 for a row copied, NULL for any other
// (a row the store evaluated ahead of its step, when sorting, say).
std::string HostRowColumn(int parameter, const HostField* fields, size_t count);
// Binds target (kept, not copied) as the parameter of a HostRowColumn of
// stmt; false when the store refuses.
bool BindHostRowTarget(sqlite3_stmt* stmt, int parameter, HostRowTarget* target);
