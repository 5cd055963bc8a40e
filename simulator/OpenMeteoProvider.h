// OpenMeteoProvider.h - real weather from Open-Meteo: a postal code is
// geocoded (cached for a day), then its current readings are read from the
// forecast API (cached for a configurable time), one upstream request at a
// time per code and per place. The places and codes kept are bounded, the
// least recently asked for let go first.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "GeocodingCache.h"
#include "RecentlyUsedTable.h"
#include "WeatherProvider.h"

namespace weather_service {

struct OpenMeteoSettings {
  std::string forecastUrl = "https://api.open-meteo.com";
  std::string geocodingUrl = "https://geocoding-api.open-meteo.com";
  std::string cacheFolder;  // empty: the geocoding cache stays in memory
  std::chrono::seconds readingsMaxAge{600};
  // The most places, and the most codes, kept in memory (and in the cache
  // file) at once.
  size_t maxPlaces = 10000;
};

// Each upstream request is given this long, connect included.
constexpr long kUpstreamTimeoutMs = 5000;
// Longest body taken from an upstream API; a longer one fails the transfer.
constexpr size_t kMaxUpstreamBodyBytes = 1024 * 1024;
// When the provider fails, readings up to this old are answered instead.
constexpr std::chrono::seconds kStaleReadingsMaxAge{3600};

class OpenMeteoProvider : public WeatherProvider {
 public:
  explicit OpenMeteoProvider(OpenMeteoSettings settings);

  // 200 and the readings; 404 and [] when the geocoder knows no such place;
  // 502 and {"error": "..."} when the provider failed and no readings of
  // the last hour are at hand (then those are answered, with a log line).
  ApiAnswer AnswerFor(const std::string& normalisedCode) override;

 private:
  struct Readings {
    std::string json;
    std::chrono::steady_clock::time_point fetchedAt;   // for their age, whatever the wall clock does
    std::chrono::system_clock::time_point obtainedAt;  // the same moment, told to clients
  };
  // One place's readings; its mutex is held while they are fetched, so
  // that requests for the same place wait for one upstream request. A place
  // is let go only while no request holds it (SharedEntryAt), so a waiting
  // request and a new one always share the same mutex.
  struct Place {
    std::mutex fetching;
    std::optional<Readings> readings;
  };

  // The code's location, from the cache or the geocoder; an error text
  // when neither can tell.
  std::optional<Location> Geocode(const std::string& code, std::string* error);
  std::shared_ptr<Place> PlaceAt(const Location& location);
  // Held while a code is geocoded, so that requests for one new code wait
  // for one geocoding request.
  std::shared_ptr<std::mutex> GeocodingLockOf(const GeocodingQuery& query);

  const OpenMeteoSettings m_settings;
  GeocodingCache m_geocoding;
  std::mutex m_placesMutex;
  RecentlyUsedTable<std::shared_ptr<Place>> m_places;               // by "latitude,longitude"
  RecentlyUsedTable<std::shared_ptr<std::mutex>> m_geocodingLocks;  // by GeocodingQuery::Key
};

}  // namespace weather_service
