// GeocodingCache.cpp - the file is one JSON object written with RapidJSON's
// Writer to a temporary file and renamed over the old one, so that a crash
// leaves either the old cache or the new one, never half of one.
#include "GeocodingCache.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "Clock.h"
#include "RequestLog.h"

namespace weather_service {

GeocodingCache::GeocodingCache(std::string folder)
    : m_path(folder.empty() ? std::string() : (std::filesystem::path(folder) / kFileName).string()) {
  if (!m_path.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    Load();
  }
}

std::optional<GeocodedPlace> GeocodingCache::Find(const std::string& key) const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_places.find(key);
  if (found == m_places.end()) {
    return std::nullopt;
  }
  return found->second;
}

void GeocodingCache::Store(const std::string& key, const GeocodedPlace& place) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_places[key] = place;
  Save();
}

// {"places": [{"key": "US:10001", "geocoded_at": 1765000000,
//              "latitude": 40.71427, "longitude": -74.00597}, ...]}
// A place the geocoder does not know has no coordinates.
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
    m_places[entry["key"].GetString()] = place;
  }
  WriteLogLine("FYI: Read " + std::to_string(m_places.size()) + " geocoded postal codes from " + m_path);
}

void GeocodingCache::Save() const {
  if (m_path.empty()) {
    return;
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  writer.Key("places");
  writer.StartArray();
  for (const auto& [key, place] : m_places) {
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
