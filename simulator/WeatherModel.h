// WeatherModel.h - the simulated weather: readings as a pure function of a
// normalised postal code and a minute, so equal questions get equal answers
// and the model can be checked without a clock or a network.
#pragma once

#include <cstdint>
#include <string>

namespace weather_service {

// One observation, each in whole units.
struct Readings {
  int temperature = 0;    // degrees Celsius, -30..45
  int humidity = 0;       // percent, 0..100
  int pressure = 0;       // hPa, 950..1050
  int windSpeed = 0;      // m/s, 0..30
  int windDirection = 0;  // degrees, 0..359
  int clouds = 0;         // percent cover, 0..100
};

inline bool operator==(const Readings& a, const Readings& b) {
  return a.temperature == b.temperature && a.humidity == b.humidity && a.pressure == b.pressure &&
         a.windSpeed == b.windSpeed && a.windDirection == b.windDirection && a.clouds == b.clouds;
}
inline bool operator!=(const Readings& a, const Readings& b) { return !(a == b); }

// The weather at a code (as NormalisePostalCode gives it) during a minute
// counted from the Unix epoch. A daily cycle over the UTC day (warmest at
// 15:00, coolest at 03:00) and slower swings of several days ride on a
// climate that the code's hash picks, so codes differ from each other and
// readings move by at most a unit or so from one minute to the next.
Readings ReadingsFor(const std::string& normalisedCode, int64_t unixMinute);

}  // namespace weather_service
