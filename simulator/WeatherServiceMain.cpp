// WeatherServiceMain.cpp - veld-weather-service: stands in for the weather web
// service so the server runs offline. Serves until SIGINT or SIGTERM, then
// stops CivetWeb and exits 0 (64 for bad arguments, 1 when it cannot listen).
#include <signal.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "RequestLog.h"
#include "WeatherHttpServer.h"

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

  const CivetWebLibrary library;
  StartedServer started = StartWeatherServer(parsed.options.listen);
  if (!started.server) {
    std::fprintf(stderr, "veld-weather-service: cannot serve on %s: %s\n", parsed.options.listen.c_str(),
                 started.error.c_str());
    return 1;
  }
  WriteLogLine("FYI: veld-weather-service serving GET /api?postalCode=CODE on http://" + parsed.options.listen);

  int signalNumber = 0;
  sigwait(&stopSignals, &signalNumber);
  WriteLogLine(std::string("FYI: stopping on ") + (signalNumber == SIGINT ? "SIGINT" : "SIGTERM"));
  started.server.reset();
  return 0;
}
