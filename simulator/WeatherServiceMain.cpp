// WeatherServiceMain.cpp - veld-weather-service: the weather web service the
// server asks, with simulated readings (so the server runs offline) or the
// real weather from Open-Meteo. Serves until SIGINT or SIGTERM, then stops
// CivetWeb and exits 0 (64 for bad arguments, 1 when it cannot listen).
#include <curl/curl.h>
#include <signal.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "OpenMeteoProvider.h"
#include "RequestLog.h"
#include "SimulatedProvider.h"
#include "WeatherHttpServer.h"

namespace {

struct CurlGlobal {
  CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
  ~CurlGlobal() { curl_global_cleanup(); }
  CurlGlobal(const CurlGlobal&) = delete;
  CurlGlobal& operator=(const CurlGlobal&) = delete;
};

}  // namespace

int main(int argc, char** argv) {
  using namespace weather_service;

  const ParsedCommandLine parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "veld-weather-service: %s (see --help)\n", parsed.error.c_str());
    return kExitUsage;
  }
  if (parsed.options.showHelp) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  if (parsed.options.showVersion) {
    std::fputs(VersionText().c_str(), stdout);
    return 0;
  }

  // Blocked before CivetWeb starts its threads, which inherit the mask, so the
  // stop signals are only ever taken by sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  // Before any thread starts: libcurl's global set-up is not thread-safe.
  const CurlGlobal curl;
  const Options& options = parsed.options;
  std::unique_ptr<WeatherProvider> provider;
  std::string providerLine;
  if (options.provider == Provider::kOpenMeteo) {
    provider = std::make_unique<OpenMeteoProvider>(options.openMeteo);
    providerLine = "readings from Open-Meteo (" + options.openMeteo.forecastUrl + ", geocoding " +
                   options.openMeteo.geocodingUrl + ", kept " +
                   std::to_string(options.openMeteo.readingsMaxAge.count()) + " s, at most " +
                   std::to_string(options.openMeteo.maxPlaces) + " places)";
  } else {
    provider = std::make_unique<SimulatedProvider>();
    providerLine = "simulated readings";
  }

  const CivetWebLibrary library;
  StartedServer started = StartWeatherServer(options.listen, *provider);
  if (!started.server) {
    std::fprintf(stderr, "veld-weather-service: cannot serve on %s: %s\n", parsed.options.listen.c_str(),
                 started.error.c_str());
    return 1;
  }
  WriteLogLine("FYI: veld-weather-service serving GET /api?postalCode=CODE on http://" + options.listen + " with " +
               providerLine);

  int signalNumber = 0;
  sigwait(&stopSignals, &signalNumber);
  WriteLogLine(std::string("FYI: stopping on ") + (signalNumber == SIGINT ? "SIGINT" : "SIGTERM"));
  started.server.reset();
  return 0;
}
