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
