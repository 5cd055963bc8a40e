// WeatherProvider.h - where the weather service's readings come from: the
// simulation or a real provider, behind one call per postal code.
#pragma once

#include <string>

#include "ApiAnswer.h"

namespace weather_service {

class WeatherProvider {
 public:
  virtual ~WeatherProvider() = default;
  // The answer to GET /api for a valid code, as NormalisePostalCode gives it:
  // 200 and the readings array, 404 and [] for a code the provider does not
  // know, or another status with a JSON object saying why there is none.
  // Called from several HTTP threads at once.
  virtual ApiAnswer AnswerFor(const std::string& normalisedCode) = 0;
};

}  // namespace weather_service
