// WeatherModelTest.cpp - the simulated weather: a stable hash, readings that
// repeat within a minute, stay plausible, drift smoothly, follow the day and
// differ from code to code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "StableHash.h"
#include "WeatherModel.h"

namespace weather_service {
namespace {

constexpr int64_t kMinutesPerDay = 24 * 60;
constexpr int64_t kJune2024 = 28'620'000;  // 2024-06-01 00:00 UTC

std::vector<std::string> SomeCodes(int zipCount) {
  std::vector<std::string> codes = {"K1A", "K1A0B1", "H2X1Y4", "V6B", "T2P2M5", "A1A1A1"};
  for (int i = 0; i < zipCount; ++i) codes.push_back(std::to_string(10000 + i * 877));
  return codes;
}

int CompassDistance(int a, int b) {
  const int d = std::abs(a - b) % 360;
  return d > 180 ? 360 - d : d;
}

TEST(StableHash, MatchesPublishedFnv1a64Values) {
  EXPECT_EQ(Fnv1a64(""), 0xCBF29CE484222325u);
  EXPECT_EQ(Fnv1a64("a"), 0xAF63DC4C8601EC8Cu);
  EXPECT_EQ(Fnv1a64("foobar"), 0x85944171F73967E8u);
}

TEST(WeatherModel, SameCodeAndMinuteGiveSameReadings) {
  for (const std::string& code : SomeCodes(10)) {
    EXPECT_EQ(ReadingsFor(code, kJune2024 + 123), ReadingsFor(std::string(code), kJune2024 + 123)) << code;
  }
}

TEST(WeatherModel, ReadingsStayInPlausibleRanges) {
  for (const std::string& code : SomeCodes(100)) {
    for (int64_t minute = kJune2024; minute < kJune2024 + 30 * kMinutesPerDay; minute += 53) {
      const Readings r = ReadingsFor(code, minute);
      ASSERT_TRUE(r.temperature >= -30 && r.temperature <= 45) << code << " " << r.temperature;
      ASSERT_TRUE(r.humidity >= 0 && r.humidity <= 100) << code << " " << r.humidity;
      ASSERT_TRUE(r.pressure >= 950 && r.pressure <= 1050) << code << " " << r.pressure;
      ASSERT_TRUE(r.windSpeed >= 0 && r.windSpeed <= 30) << code << " " << r.windSpeed;
      ASSERT_TRUE(r.windDirection >= 0 && r.windDirection <= 359) << code << " " << r.windDirection;
      ASSERT_TRUE(r.clouds >= 0 && r.clouds <= 100) << code << " " << r.clouds;
    }
  }
}

TEST(WeatherModel, ReadingsDriftByAFewUnitsAtMostFromMinuteToMinute) {
  constexpr int kLargestStep = 2;
  // The model's cycles last half a day to six days, so all of them end
  // together at a multiple of twelve days: run across one.
  const int64_t start = 12 * kMinutesPerDay * 2385 - kMinutesPerDay;
  for (const std::string& code : SomeCodes(20)) {
    Readings previous = ReadingsFor(code, start);
    for (int64_t minute = start + 1; minute <= start + 3 * kMinutesPerDay; ++minute) {
      const Readings r = ReadingsFor(code, minute);
      ASSERT_LE(std::abs(r.temperature - previous.temperature), kLargestStep) << code << " at " << minute;
      ASSERT_LE(std::abs(r.humidity - previous.humidity), kLargestStep) << code << " at " << minute;
      ASSERT_LE(std::abs(r.pressure - previous.pressure), kLargestStep) << code << " at " << minute;
      ASSERT_LE(std::abs(r.windSpeed - previous.windSpeed), kLargestStep) << code << " at " << minute;
      ASSERT_LE(CompassDistance(r.windDirection, previous.windDirection), kLargestStep) << code << " at " << minute;
      ASSERT_LE(std::abs(r.clouds - previous.clouds), kLargestStep) << code << " at " << minute;
      previous = r;
    }
  }
}

TEST(WeatherModel, AfternoonsAreWarmerThanNights) {
  for (const std::string& code : SomeCodes(30)) {
    for (int64_t day = kJune2024; day < kJune2024 + 20 * kMinutesPerDay; day += kMinutesPerDay) {
      const int night = ReadingsFor(code, day + 3 * 60).temperature;
      const int afternoon = ReadingsFor(code, day + 15 * 60).temperature;
      ASSERT_GE(afternoon - night, 3) << code << " on day " << day / kMinutesPerDay;
    }
  }
}

TEST(WeatherModel, CodesGetTheirOwnWeather) {
  EXPECT_NE(ReadingsFor("K1A0B1", kJune2024), ReadingsFor("K1A0B2", kJune2024));
  EXPECT_NE(ReadingsFor("10001", kJune2024), ReadingsFor("10002", kJune2024));

  std::set<int> temperatures, pressures, directions;
  for (const std::string& code : SomeCodes(100)) {
    const Readings r = ReadingsFor(code, kJune2024);
    temperatures.insert(r.temperature);
    pressures.insert(r.pressure);
    directions.insert(r.windDirection);
  }
  EXPECT_GE(temperatures.size(), 15u);
  EXPECT_GE(pressures.size(), 10u);
  EXPECT_GE(directions.size(), 40u);
}

}  // namespace
}  // namespace weather_service
