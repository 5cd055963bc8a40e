// WeatherModel.cpp - readings built from sine waves, one over the UTC day and a
// few lasting days, on levels and with strengths and phases drawn from the
// code's FNV-1a hash.
#include "WeatherModel.h"

#include <algorithm>
#include <cmath>

#include "StableHash.h"

namespace weather_service {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int64_t kMinutesPerDay = 24 * 60;

// The traits of a code's climate; each draws its own number from the hash.
enum class Trait : uint64_t {
  kMeanTemperature = 1,
  kDailyTemperatureSwing,
  kWeatherSystemPhase,
  kMeanHumidity,
  kDailyHumiditySwing,
  kHumidityPhase,
  kMeanPressure,
  kMeanWindSpeed,
  kPrevailingWind,
  kWindTurningPhase,
  kMeanClouds,
};

// A number in [0, 1) for one trait of the code. The splitmix64 finaliser
// spreads the hash so that neighbouring codes get unrelated traits.
double TraitOf(uint64_t codeHash, Trait trait) {
  uint64_t x = codeHash + static_cast<uint64_t>(trait) * 0x9E3779B97F4A7C15u;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
  x ^= x >> 31;
  return static_cast<double>(x >> 11) * 0x1.0p-53;
}

double Between(double unit, double low, double high) { return low + unit * (high - low); }

// sin over a cycle of period minutes, shifted by phase (in whole cycles). The
// minute's remainder within the period keeps the double exact for any minute
// and the wave continuous where one period ends and the next begins.
double Wave(int64_t minute, int64_t period, double phase) {
  int64_t within = minute % period;
  if (within < 0) within += period;
  return std::sin(kTwoPi * (static_cast<double>(within) / static_cast<double>(period) + phase));
}

int RoundedWithin(double value, int low, int high) {
  return static_cast<int>(std::clamp(std::lround(value), static_cast<long>(low), static_cast<long>(high)));
}

int DegreesAroundCompass(double degrees) {
  const long whole = std::lround(degrees) % 360;
  return static_cast<int>(whole < 0 ? whole + 360 : whole);
}

}  // namespace

Readings ReadingsFor(const std::string& normalisedCode, int64_t unixMinute) {
  const uint64_t hash = Fnv1a64(normalisedCode);
  const auto trait = [hash](Trait t) { return TraitOf(hash, t); };

  // +1 at 15:00 UTC, -1 at 03:00 UTC.
  const double daytime = Wave(unixMinute, kMinutesPerDay, 0.25 - 15.0 / 24.0);
  // Weather systems passing over some days: warm and low pressure together.
  const double weatherSystem = Wave(unixMinute, 6 * kMinutesPerDay, trait(Trait::kWeatherSystemPhase));
  const double moistAir = Wave(unixMinute, 4 * kMinutesPerDay, trait(Trait::kHumidityPhase));
  const double windTurning = Wave(unixMinute, 2 * kMinutesPerDay, trait(Trait::kWindTurningPhase));
  // The small twice-daily atmospheric tide.
  const double tide = Wave(unixMinute, kMinutesPerDay / 2, 0.0);

  Readings r;
  r.temperature =
      RoundedWithin(Between(trait(Trait::kMeanTemperature), -12.0, 24.0) +
                        Between(trait(Trait::kDailyTemperatureSwing), 4.0, 8.0) * daytime + 5.0 * weatherSystem,
                    -30, 45);
  r.humidity = RoundedWithin(Between(trait(Trait::kMeanHumidity), 40.0, 75.0) -
                                 Between(trait(Trait::kDailyHumiditySwing), 5.0, 15.0) * daytime + 10.0 * moistAir,
                             0, 100);
  r.pressure =
      RoundedWithin(Between(trait(Trait::kMeanPressure), 1000.0, 1025.0) - 12.0 * weatherSystem + tide, 950, 1050);
  r.windSpeed = RoundedWithin(
      Between(trait(Trait::kMeanWindSpeed), 2.0, 8.0) + 1.5 * daytime + 3.0 * std::abs(weatherSystem), 0, 30);
  r.windDirection =
      DegreesAroundCompass(Between(trait(Trait::kPrevailingWind), 0.0, 360.0) + 60.0 * windTurning + 15.0 * daytime);
  r.clouds = RoundedWithin(Between(trait(Trait::kMeanClouds), 20.0, 70.0) + 25.0 * moistAir - 10.0 * daytime, 0, 100);
  return r;
}

}  // namespace weather_service
