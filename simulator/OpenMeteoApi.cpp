// OpenMeteoApi.cpp - URLs with coordinates in their shortest exact form, and
// the answers parsed with RapidJSON (strict) and the readings written with
// its Writer, so that a number keeps the form the provider gave it.
#include "OpenMeteoApi.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <charconv>

namespace weather_service {
namespace {

constexpr size_t kCanadianAreaLength = 3;

// The forecast's current variables, each with the reading it becomes, in
// the order the readings are answered.
constexpr struct {
  const char* variable;
  const char* reading;
} kCurrentReadings[] = {
    {"temperature_2m", "temp"},       {"relative_humidity_2m", "humidity"}, {"pressure_msl", "pressure"},
    {"wind_speed_10m", "wind.speed"}, {"wind_direction_10m", "wind.deg"},   {"cloud_cover", "clouds"},
};

std::string Shortest(double number) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, number);
  return error == std::errc() ? std::string(text, end) : std::string("0");
}

bool Parse(const std::string& body, rapidjson::Document& document) {
  document.Parse<rapidjson::kParseValidateEncodingFlag>(body.data(), body.size());
  return !document.HasParseError();
}

}  // namespace

GeocodingQuery GeocodingQueryFor(const std::string& normalisedCode) {
  const bool zip = !normalisedCode.empty() && normalisedCode[0] >= '0' && normalisedCode[0] <= '9';
  if (zip) {
    return {normalisedCode, "US"};
  }
  return {normalisedCode.substr(0, kCanadianAreaLength), "CA"};
}

std::string GeocodingUrl(const std::string& base, const GeocodingQuery& query) {
  // Names are letters and digits only (normalised codes): nothing to encode.
  return base + "/v1/search?name=" + query.name + "&count=1&countryCode=" + query.countryCode;
}

std::string ForecastUrl(const std::string& base, const Location& location) {
  std::string url = base + "/v1/forecast?latitude=" + Shortest(location.latitude) +
                    "&longitude=" + Shortest(location.longitude) + "&current=";
  for (const auto& current : kCurrentReadings) {
    url += current.variable;
    url += ',';
  }
  url.back() = '&';
  return url + "wind_speed_unit=ms";
}

GeocodingAnswer ReadGeocodingAnswer(const std::string& body) {
  GeocodingAnswer answer;
  rapidjson::Document document;
  if (!Parse(body, document) || !document.IsObject()) {
    answer.error = "the geocoding answer is not a JSON object";
    return answer;
  }
  const auto results = document.FindMember("results");
  if (results == document.MemberEnd()) {
    return answer;  // nothing found
  }
  if (!results->value.IsArray()) {
    answer.error = "the geocoding answer's results are not an array";
    return answer;
  }
  if (results->value.Empty()) {
    return answer;
  }
  const rapidjson::Value& first = results->value[0];
  for (const char* field : {"latitude", "longitude"}) {
    if (!first.IsObject() || !first.HasMember(field) || !first[field].IsNumber()) {
      answer.error = std::string("the geocoding answer lacks results[0].") + field;
      return answer;
    }
  }
  answer.location = Location{first["latitude"].GetDouble(), first["longitude"].GetDouble()};
  return answer;
}

ForecastAnswer ReadForecastAnswer(const std::string& body) {
  ForecastAnswer answer;
  rapidjson::Document document;
  if (!Parse(body, document) || !document.IsObject()) {
    answer.error = "the forecast answer is not a JSON object";
    return answer;
  }
  const auto current = document.FindMember("current");
  if (current == document.MemberEnd() || !current->value.IsObject()) {
    answer.error = "the forecast answer lacks current";
    return answer;
  }
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartArray();
  for (const auto& reading : kCurrentReadings) {
    const auto value = current->value.FindMember(reading.variable);
    if (value == current->value.MemberEnd() || !value->value.IsNumber()) {
      answer.error = std::string("the forecast answer lacks current.") + reading.variable;
      return answer;
    }
    writer.StartObject();
    writer.Key("Name");
    writer.String(reading.reading);
    writer.Key("Value");
    value->value.Accept(writer);
    writer.EndObject();
  }
  writer.EndArray();
  answer.readingsJson.assign(buffer.GetString(), buffer.GetSize());
  return answer;
}

std::string UpstreamFailure(const HttpAnswer& reply) {
  if (reply.TimedOut()) {
    return reply.Error() + " (no answer within " + std::to_string(reply.timeoutMs) + " ms)";
  }
  if (!reply.Transferred()) {
    return reply.Error();
  }
  if (reply.status == 200) {
    return std::string();
  }
  std::string failure = "HTTP " + std::to_string(reply.status);
  if (reply.status == 429) {
    failure += " (too many requests)";
  }
  rapidjson::Document document;
  if (Parse(reply.body, document) && document.IsObject() && document.HasMember("reason") &&
      document["reason"].IsString()) {
    failure += std::string(": ") + document["reason"].GetString();
  }
  return failure;
}

}  // namespace weather_service
