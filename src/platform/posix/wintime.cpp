#include "wintime.h"

#include <sys/time.h>

#include <ctime>
#include <cstring>

void GetLocalTime(LPSYSTEMTIME time) {
  struct timeval now;
  gettimeofday(&now, nullptr);
  std::tm local;
  std::memset(&local, 0, sizeof local);
  time_t seconds = now.tv_sec;
  localtime_r(&seconds, &local);
  time->wYear = static_cast<WORD>(local.tm_year + 1900);
  time->wMonth = static_cast<WORD>(local.tm_mon + 1);
  time->wDayOfWeek = static_cast<WORD>(local.tm_wday);
  time->wDay = static_cast<WORD>(local.tm_mday);
  time->wHour = static_cast<WORD>(local.tm_hour);
  time->wMinute = static_cast<WORD>(local.tm_min);
  time->wSecond = static_cast<WORD>(local.tm_sec);
  time->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}

ULONGLONG GetTickCount64() {
  struct timespec now;
  // The monotonic clock cannot fail with a valid clock id and a valid pointer.
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec) / 1000000u;
}
