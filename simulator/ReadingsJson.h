// ReadingsJson.h - readings as the weather API's JSON: an array of
// {"Name": ..., "Value": ...} objects, one per reading, in a fixed order.
#pragma once

#include <string>

#include "WeatherModel.h"

namespace weather_service {

// [{"Name":"temp","Value":21},{"Name":"humidity",...},...] with the readings
// temp, humidity, pressure, wind.speed, wind.deg and clouds, each an integer.
std::string ReadingsJson(const Readings& readings);

}  // namespace weather_service
