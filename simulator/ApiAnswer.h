// ApiAnswer.h - what the weather service answers to a request, decided apart
// from the HTTP server: GET /api?postalCode=CODE gives the provider's answer
// for the code, anything else an empty array with an error status.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace weather_service {

struct ApiAnswer {
  int status = 404;
  std::string body = "[]";  // always JSON
  // When the readings in body were obtained (the HTTP server sends it as
  // Last-Modified); none for an answer without readings.
  std::optional<std::chrono::system_clock::time_point> obtainedAt;
};

class WeatherProvider;

// The answer to method on path (already percent-decoded) with the raw query
// string (the text after '?', empty when there is none): the provider's
// answer for a valid code; 404 and [] for another path or a missing or
// invalid code; 405 and [] for a method other than GET on /api.
ApiAnswer AnswerRequest(std::string_view method, std::string_view path, std::string_view query,
                        WeatherProvider& provider);

}  // namespace weather_service
