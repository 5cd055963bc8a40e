// GeocodingCache.h - where the geocoder put each postal code it was asked
// for (or that it found nothing), kept for a day and, given a folder, in a
// file there, so that a restarted service does not ask again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "OpenMeteoApi.h"
#include "RecentlyUsedTable.h"

namespace weather_service {

// How long a geocoding result is taken as it stands.
constexpr int64_t kGeocodingMaxAgeSeconds = 24 * 60 * 60;

struct GeocodedPlace {
  std::optional<Location> location;  // none: the geocoder knows no such place
  int64_t geocodedAt = 0;            // Unix seconds
};

class GeocodingCache {
 public:
  // Keeps at most maxEntries codes, the least recently used let go first.
  // folder empty: memory only. Otherwise the file kFileName in folder is
  // read now (entries older than a day are dropped) and a thread of the
  // cache writes it after each change, at most once a second, and a last
  // time when the cache is destroyed; a file that cannot be read or written
  // is logged and the cache goes on in memory.
  GeocodingCache(std::string folder, size_t maxEntries);
  // Writes changes not yet in the file, then ends the writing thread.
  ~GeocodingCache();
  GeocodingCache(const GeocodingCache&) = delete;
  GeocodingCache& operator=(const GeocodingCache&) = delete;

  static constexpr const char* kFileName = "open-meteo-geocoding.json";

  // The place stored for key (GeocodingQuery::Key), whatever its age; the
  // key becomes the most recently used.
  std::optional<GeocodedPlace> Find(const std::string& key);
  void Store(const std::string& key, const GeocodedPlace& place);

 private:
  using Snapshot = std::vector<std::pair<std::string, GeocodedPlace>>;

  void Load();
  // The writing thread: waits for a change, copies the entries under the
  // lock and writes them with the lock released, so requests never wait on
  // the disk.
  void WriteChanges();
  void WriteFile(const Snapshot& entries) const;

  const std::string m_path;  // empty: memory only
  std::mutex m_mutex;
  std::condition_variable m_changed;
  RecentlyUsedTable<GeocodedPlace> m_places;
  bool m_unsaved = false;   // a change the file does not have yet
  bool m_stopping = false;  // the destructor asks for a last write
  std::thread m_writer;     // declared last: started once the rest is ready
};

}  // namespace weather_service
