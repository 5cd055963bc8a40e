// ReadingsJson.cpp - writes the readings array with RapidJSON's Writer, which
// takes care of quoting and number formatting.
#include "ReadingsJson.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace weather_service {

std::string ReadingsJson(const Readings& readings) {
  const struct {
    const char* name;
    int value;
  } named[] = {
      {"temp", readings.temperature},     {"humidity", readings.humidity},      {"pressure", readings.pressure},
      {"wind.speed", readings.windSpeed}, {"wind.deg", readings.windDirection}, {"clouds", readings.clouds},
  };

  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  writer.StartArray();
  for (const auto& reading : named) {
    writer.StartObject();
    writer.Key("Name");
    writer.String(reading.name);
    writer.Key("Value");
    writer.Int(reading.value);
    writer.EndObject();
  }
  writer.EndArray();
  return std::string(buffer.GetString(), buffer.GetSize());
}

}  // namespace weather_service
