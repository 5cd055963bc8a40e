// OpenMeteoProvider.cpp - the order of things for one code: geocode (or take
// the cache), then, holding the place's lock, answer fresh readings from the
// cache or fetch them; a failure falls back to readings of the last hour.
#include "OpenMeteoProvider.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <utility>

#include "Clock.h"
#include "HttpClient.h"
#include "OpenMeteoApi.h"
#include "ProgramVersion.h"
#include "RequestLog.h"

namespace weather_service {
namespace {

constexpr int kBadGateway = 502;

ApiAnswer ErrorAnswer(const std::string& why) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartObject();
  writer.Key("error");
  writer.String(why.c_str(), static_cast<rapidjson::SizeType>(why.size()));
  writer.EndObject();
  ApiAnswer answer;
  answer.status = kBadGateway;
  answer.body.assign(buffer.GetString(), buffer.GetSize());
  return answer;
}

// One upstream GET (its body at most kMaxUpstreamBodyBytes, certificates
// and host names checked), logged with its outcome and how long it took.
HttpAnswer Fetch(const std::string& url) {
  const auto started = std::chrono::steady_clock::now();
  HttpClientSettings settings;
  settings.maxBytes = kMaxUpstreamBodyBytes;
  settings.userAgent = "veld-weather-service/" + ProgramVersionText();
  settings.decodeContent = true;
  HttpClient client(settings);
  HttpAnswer reply = client.Get(url, kUpstreamTimeoutMs);
  const auto took =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
  WriteLogLine("FYI: Open-Meteo GET " + url + " -> " +
               (reply.Transferred() ? std::to_string(reply.status) : std::string("no answer")) + " in " +
               std::to_string(took) + " ms");
  return reply;
}

std::string PlaceKey(const Location& location) {
  return std::to_string(location.latitude) + "," + std::to_string(location.longitude);
}

}  // namespace

OpenMeteoProvider::OpenMeteoProvider(OpenMeteoSettings settings)
    : m_settings(std::move(settings)),
      m_geocoding(m_settings.cacheFolder, m_settings.maxPlaces),
      m_places(m_settings.maxPlaces),
      m_geocodingLocks(m_settings.maxPlaces) {}

std::shared_ptr<std::mutex> OpenMeteoProvider::GeocodingLockOf(const GeocodingQuery& query) {
  const std::lock_guard<std::mutex> lock(m_placesMutex);
  return SharedEntryAt(m_geocodingLocks, query.Key());
}

std::optional<Location> OpenMeteoProvider::Geocode(const std::string& code, std::string* error) {
  const GeocodingQuery query = GeocodingQueryFor(code);
  const std::shared_ptr<std::mutex> geocoding = GeocodingLockOf(query);
  const std::lock_guard<std::mutex> lock(*geocoding);
  const std::optional<GeocodedPlace> cached = m_geocoding.Find(query.Key());
  if (cached && CurrentUnixTime() - cached->geocodedAt <= kGeocodingMaxAgeSeconds) {
    return cached->location;
  }
  const HttpAnswer reply = Fetch(GeocodingUrl(m_settings.geocodingUrl, query));
  std::string failure = UpstreamFailure(reply);
  GeocodingAnswer answer;
  if (failure.empty()) {
    answer = ReadGeocodingAnswer(reply.body);
    failure = answer.error;
  }
  if (failure.empty()) {
    m_geocoding.Store(query.Key(), GeocodedPlace{answer.location, CurrentUnixTime()});
    if (!answer.location) {
      WriteLogLine("FYI: Open-Meteo's geocoder knows no place for [" + code + "]");
    }
    return answer.location;
  }
  // Places do not move: a result older than a day still serves while the
  // geocoder is failing.
  if (cached) {
    WriteLogLine("Error: Open-Meteo geocoding failed for [" + code + "]: " + failure + "; using the place geocoded " +
                 std::to_string(CurrentUnixTime() - cached->geocodedAt) + " s ago");
    return cached->location;
  }
  WriteLogLine("Error: Open-Meteo geocoding failed for [" + code + "]: " + failure);
  *error = "geocoding failed: " + failure;
  return std::nullopt;
}

std::shared_ptr<OpenMeteoProvider::Place> OpenMeteoProvider::PlaceAt(const Location& location) {
  const std::lock_guard<std::mutex> lock(m_placesMutex);
  return SharedEntryAt(m_places, PlaceKey(location));
}

ApiAnswer OpenMeteoProvider::AnswerFor(const std::string& normalisedCode) {
  std::string error;
  const std::optional<Location> location = Geocode(normalisedCode, &error);
  if (!location) {
    return error.empty() ? ApiAnswer{} : ErrorAnswer(error);  // ApiAnswer{} is 404 with []
  }

  const std::shared_ptr<Place> place = PlaceAt(*location);
  const std::lock_guard<std::mutex> fetching(place->fetching);
  const auto now = std::chrono::steady_clock::now();
  if (place->readings && now - place->readings->fetchedAt < m_settings.readingsMaxAge) {
    return ApiAnswer{200, place->readings->json, place->readings->obtainedAt};
  }

  const HttpAnswer reply = Fetch(ForecastUrl(m_settings.forecastUrl, *location));
  std::string failure = UpstreamFailure(reply);
  if (failure.empty()) {
    ForecastAnswer answer = ReadForecastAnswer(reply.body);
    if (answer.error.empty()) {
      // The time of this fetch, not the forecast's own "time": that is the
      // start of a quarter-hour model slot and would make every answer look old.
      place->readings =
          Readings{std::move(answer.readingsJson), std::chrono::steady_clock::now(), std::chrono::system_clock::now()};
      return ApiAnswer{200, place->readings->json, place->readings->obtainedAt};
    }
    failure = answer.error;
  }
  WriteLogLine("Error: Open-Meteo forecast failed for [" + normalisedCode + "]: " + failure);
  if (place->readings && now - place->readings->fetchedAt < kStaleReadingsMaxAge) {
    const auto age = std::chrono::duration_cast<std::chrono::seconds>(now - place->readings->fetchedAt).count();
    WriteLogLine("FYI: Answering the stale readings of [" + normalisedCode + "] fetched " + std::to_string(age) +
                 " s ago");
    return ApiAnswer{200, place->readings->json, place->readings->obtainedAt};
  }
  return ErrorAnswer("forecast failed: " + failure);
}

}  // namespace weather_service
