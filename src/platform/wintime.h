// The local calendar time, under the Win32 names.
#pragma once
#include "wintypes.h"

#ifndef _WIN32
// A calendar time broken into its fields, as Windows lays it out.
typedef struct _SYSTEMTIME {
  WORD wYear;          // four digits
  WORD wMonth;         // 1 to 12
  WORD wDayOfWeek;     // 0 Sunday to 6 Saturday
  WORD wDay;           // 1 to 31
  WORD wHour;          // 0 to 23
  WORD wMinute;        // 0 to 59
  WORD wSecond;        // 0 to 59 (60 in a leap second)
  WORD wMilliseconds;  // 0 to 999
} SYSTEMTIME, *LPSYSTEMTIME;

// Fills *time with the current local date and time (the time zone of the
// process). time must not be null.
void GetLocalTime(LPSYSTEMTIME time);
// Milliseconds since a fixed point (the system's start), never going back:
// for measuring how long something takes.
ULONGLONG GetTickCount64();
#endif
