// WeatherHttpServer.h - the HTTP side of the weather service: a CivetWeb
// server whose handlers answer with AnswerRequest and log every request.
#pragma once

#include <memory>
#include <string>

struct mg_context;

namespace weather_service {

// Stops CivetWeb (waiting for its threads) when the server handle goes away.
struct StopCivetWeb {
  void operator()(mg_context* context) const;
};
using ServerHandle = std::unique_ptr<mg_context, StopCivetWeb>;

struct StartedServer {
  ServerHandle server;  // null when CivetWeb could not start
  std::string error;    // why not
};

class WeatherProvider;

// Serves the weather API on listen (ADDR:PORT), answered by provider, until
// the handle is reset. CivetWeb's library must be initialised
// (CivetWebLibrary), and provider live, for as long as the server runs.
StartedServer StartWeatherServer(const std::string& listen, WeatherProvider& provider);

// Initialises CivetWeb's library for as long as it lives.
class CivetWebLibrary {
 public:
  CivetWebLibrary();
  ~CivetWebLibrary();
  CivetWebLibrary(const CivetWebLibrary&) = delete;
  CivetWebLibrary& operator=(const CivetWebLibrary&) = delete;
};

}  // namespace weather_service
