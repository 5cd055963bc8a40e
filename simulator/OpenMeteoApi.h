// OpenMeteoApi.h - the two Open-Meteo APIs as the weather service uses them:
// the requests it builds and what it takes from the answers. No I/O here.
#pragma once

#include <optional>
#include <string>

#include "HttpClient.h"

namespace weather_service {

// What the geocoding search is asked for a postal code: a zip code as it
// is in the US, a Canadian code by its first three characters (the forward
// sortation area) in CA.
struct GeocodingQuery {
  std::string name;
  std::string countryCode;
  std::string Key() const { return countryCode + ":" + name; }
};
GeocodingQuery GeocodingQueryFor(const std::string& normalisedCode);

struct Location {
  double latitude = 0.0;
  double longitude = 0.0;
};

// base + /v1/search?name=NAME&count=1&countryCode=CC
std::string GeocodingUrl(const std::string& base, const GeocodingQuery& query);
// base + /v1/forecast?latitude=..&longitude=..&current=<the six variables>&wind_speed_unit=ms
std::string ForecastUrl(const std::string& base, const Location& location);

// A geocoding answer: the first result's coordinates, no location when the
// search found nothing (no "results", or an empty array), or why the answer
// is unusable.
struct GeocodingAnswer {
  std::optional<Location> location;
  std::string error;  // empty when the answer was understood
};
GeocodingAnswer ReadGeocodingAnswer(const std::string& body);

// A forecast answer as the readings array of the weather API: temp,
// humidity, pressure, wind.speed, wind.deg and clouds from the "current"
// object, each number as the provider wrote it; or why it cannot be.
struct ForecastAnswer {
  std::string readingsJson;  // empty when there is an error
  std::string error;
};
ForecastAnswer ReadForecastAnswer(const std::string& body);

// Why an upstream reply is no answer ("HTTP 429 ...", the transfer error,
// with Open-Meteo's own reason when its error object carries one, a
// time-out with the time it had); empty for a 200.
std::string UpstreamFailure(const HttpAnswer& reply);

}  // namespace weather_service
