// SimulatedProvider.cpp - answers with ReadingsJson of ReadingsFor.
#include "SimulatedProvider.h"

#include <chrono>
#include <utility>

#include "ReadingsJson.h"
#include "WeatherModel.h"

namespace weather_service {

SimulatedProvider::SimulatedProvider(std::function<int64_t()> unixMinute) : m_unixMinute(std::move(unixMinute)) {}

ApiAnswer SimulatedProvider::AnswerFor(const std::string& normalisedCode) {
  ApiAnswer answer;
  answer.status = 200;
  answer.body = ReadingsJson(ReadingsFor(normalisedCode, m_unixMinute()));
  answer.obtainedAt = std::chrono::system_clock::now();  // made up just now
  return answer;
}

int64_t SimulatedProvider::CurrentUnixMinute() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::minutes>(sinceEpoch).count();
}

}  // namespace weather_service
