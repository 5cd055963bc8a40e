// GeocodingCache.cpp - the file is one JSON object written with RapidJSON's
// Writer to a temporary file in the same folder and renamed over the old one,
// so that a crash leaves either the old cache or the new one, never half of
// one. Its own thread writes it, at most once a second, from a copy taken
// under the lock.
#include "GeocodingCache.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "Clock.h"
#include "RequestLog.h"

namespace weather_service {
namespace {

// A burst of new codes is one write a second, not one write each.
constexpr std::chrono::seconds kMinWriteInterval{1};

}  // namespace

GeocodingCache::GeocodingCache(std::string folder, size_t maxEntries)
    : m_path(folder.empty() ? std::string() : (std::filesystem::path(folder) / kFileName).string()),
      m_places(maxEntries) {
  if (!m_path.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    Load();
    m_writer = std::thread(&GeocodingCache::WriteChanges, this);
  }
}

GeocodingCache::~GeocodingCache() {
  if (!m_writer.joinable()) {
    return;
  }
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_one();
  m_writer.join();
}

std::optional<GeocodedPlace> GeocodingCache::Find(const std::string& key) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const GeocodedPlace* found = m_places.Find(key);
  if (!found) {
    return std::nullopt;
  }
  return *found;
}

void GeocodingCache::Store(const std::string& key, const GeocodedPlace& place) {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_places.Put(key, place);
    m_unsaved = !m_path.empty();
  }
  m_changed.notify_one();
}

void GeocodingCache::WriteChanges() {
  std::chrono::steady_clock::time_point lastWrite;  // long ago: the first change is written at once
  std::unique_lock<std::mutex> lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_unsaved || m_stopping; });
    if (!m_unsaved) {
      return;  // stopping, and the file has everything
    }
    // Changes made meanwhile go into this write; a stop writes at once.
    m_changed.wait_until(lock, lastWrite + kMinWriteInterval, [this] { return m_stopping; });
    Snapshot entries;
    entries.reserve(m_places.Size());
    m_places.ForEachOldestFirst(
        [&entries](const std::string& key, const GeocodedPlace& place) { entries.emplace_back(key, place); });
    m_unsaved = false;
    lock.unlock();
    lastWrite = std::chrono::steady_clock::now();
    WriteFile(entries);
    lock.lock();
  }
}

// {"places": [{"key": "US:10001", "geocoded_at": 1765000000,
//              "latitude": 40.71427, "longitude": -74.00597}, ...]}
// A place the geocoder does not know has no coordinates. The entries are in
// the order of use as of the last write (a look-up alone does not write the
// file), oldest first, so that reading them back in file order keeps that
// order, and a smaller limit keeps the newest.
void GeocodingCache::Load() {
  std::ifstream file(m_path, std::ios::binary);
  if (!file) {
    return;  // no cache yet
  }
  std::ostringstream text;
  text << file.rdbuf();
  rapidjson::Document document;
  document.Parse(text.str().c_str());
  if (document.HasParseError() || !document.IsObject() || !document.HasMember("places") ||
      !document["places"].IsArray()) {
    WriteLogLine("Error: The geocoding cache " + m_path + " is damaged; starting with an empty one");
    return;
  }
  const int64_t now = CurrentUnixTime();
  for (const rapidjson::Value& entry : document["places"].GetArray()) {
    if (!entry.IsObject() || !entry.HasMember("key") || !entry["key"].IsString() || !entry.HasMember("geocoded_at") ||
        !entry["geocoded_at"].IsInt64()) {
      continue;
    }
    GeocodedPlace place;
    place.geocodedAt = entry["geocoded_at"].GetInt64();
    if (now - place.geocodedAt > kGeocodingMaxAgeSeconds || place.geocodedAt > now) {
      continue;
    }
    if (entry.HasMember("latitude") && entry["latitude"].IsNumber() && entry.HasMember("longitude") &&
        entry["longitude"].IsNumber()) {
      place.location = Location{entry["latitude"].GetDouble(), entry["longitude"].GetDouble()};
    }
    m_places.Put(entry["key"].GetString(), place);
  }
  WriteLogLine("FYI: Read " + std::to_string(m_places.Size()) + " geocoded postal codes from " + m_path);
}

void GeocodingCache::WriteFile(const Snapshot& entries) const {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  writer.Key("places");
  writer.StartArray();
  for (const auto& [key, place] : entries) {
    writer.StartObject();
    writer.Key("key");
    writer.String(key.c_str(), static_cast<rapidjson::SizeType>(key.size()));
    writer.Key("geocoded_at");
    writer.Int64(place.geocodedAt);
    if (place.location) {
      writer.Key("latitude");
      writer.Double(place.location->latitude);
      writer.Key("longitude");
      writer.Double(place.location->longitude);
    }
    writer.EndObject();
  }
  writer.EndArray();
  writer.EndObject();

  const std::string temporary = m_path + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(buffer.GetString(), static_cast<std::streamsize>(buffer.GetSize()));
    if (!file.flush()) {
      WriteLogLine("Error: Cannot write the geocoding cache " + temporary + "; it stays in memory only");
      return;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, m_path, error);
  if (error) {
    WriteLogLine("Error: Cannot write the geocoding cache " + m_path + ": " + error.message());
  }
}

}  // namespace weather_service
