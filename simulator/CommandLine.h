// CommandLine.h - the options of veld-weather-service: where to listen, which
// provider answers (the simulation or Open-Meteo) and the Open-Meteo
// provider's settings, from the command line or an INI file (--config).
#pragma once

#include <string>
#include <vector>

#include "OpenMeteoProvider.h"

namespace weather_service {

inline constexpr const char kDefaultListen[] = "127.0.0.1:8081";

// Exit code for arguments the service cannot take (EX_USAGE).
constexpr int kExitUsage = 64;

enum class Provider { kSimulated, kOpenMeteo };

struct Options {
  std::string listen = kDefaultListen;  // as CivetWeb's listening_ports takes it
  Provider provider = Provider::kSimulated;
  OpenMeteoSettings openMeteo;
  bool showHelp = false;
  bool showVersion = false;
};

struct ParsedCommandLine {
  Options options;
  std::string error;  // empty when the arguments were understood
};

// Reads the arguments after the program name, and the file --config names
// (the command line wins over it).
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text --help prints.
std::string UsageText();

// The text --version prints: the program's version and CivetWeb's.
std::string VersionText();

}  // namespace weather_service
