// GeocodingCache.h - where the geocoder put each postal code it was asked
// for (or that it found nothing), kept for a day and, given a folder, in a
// file there, so that a restarted service does not ask again.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "OpenMeteoApi.h"

namespace weather_service {

// How long a geocoding result is taken as it stands.
constexpr int64_t kGeocodingMaxAgeSeconds = 24 * 60 * 60;

struct GeocodedPlace {
  std::optional<Location> location;  // none: the geocoder knows no such place
  int64_t geocodedAt = 0;            // Unix seconds
};

class GeocodingCache {
 public:
  // folder empty: memory only. Otherwise the file kFileName in folder is
  // read now (entries older than a day are dropped) and written on every
  // change; a file that cannot be read or written is logged and the cache
  // goes on in memory.
  explicit GeocodingCache(std::string folder);

  static constexpr const char* kFileName = "open-meteo-geocoding.json";

  // The place stored for key (GeocodingQuery::Key), whatever its age.
  std::optional<GeocodedPlace> Find(const std::string& key) const;
  void Store(const std::string& key, const GeocodedPlace& place);

 private:
  void Load();
  void Save() const;  // with m_mutex held

  const std::string m_path;  // empty: memory only
  mutable std::mutex m_mutex;
  std::map<std::string, GeocodedPlace> m_places;
};

}  // namespace weather_service
