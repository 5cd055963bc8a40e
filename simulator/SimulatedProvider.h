// SimulatedProvider.h - the simulated weather as a provider: the readings of
// WeatherModel for the code and the current minute.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "WeatherProvider.h"

namespace weather_service {

class SimulatedProvider : public WeatherProvider {
 public:
  // unixMinute tells the minute to simulate; by default the clock's.
  explicit SimulatedProvider(std::function<int64_t()> unixMinute = CurrentUnixMinute);
  ApiAnswer AnswerFor(const std::string& normalisedCode) override;

  static int64_t CurrentUnixMinute();

 private:
  std::function<int64_t()> m_unixMinute;
};

}  // namespace weather_service
