// HttpDate.cpp - IMF-fixdate from the broken-down UTC time, with the English
// day and month names written out here rather than taken from strftime, whose
// names follow the locale.
#include "HttpDate.h"

#include <time.h>

#include <cstdio>

namespace weather_service {
namespace {

constexpr const char* kDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::string HttpDate(std::chrono::system_clock::time_point time) {
  const time_t seconds = std::chrono::system_clock::to_time_t(time);
  tm utc{};
  gmtime_r(&seconds, &utc);
  char text[40];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT", kDayNames[utc.tm_wday], utc.tm_mday,
                kMonthNames[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

}  // namespace weather_service
