// HttpDate.h - a time as HTTP writes it in Date and Last-Modified headers:
// the IMF-fixdate form of RFC 9110, always in GMT.
#pragma once

#include <chrono>
#include <string>

namespace weather_service {

// "Wed, 09 Dec 2026 19:30:00 GMT" for that instant; parts of a second are
// dropped, as the form has none. Independent of the process's locale.
std::string HttpDate(std::chrono::system_clock::time_point time);

}  // namespace weather_service
