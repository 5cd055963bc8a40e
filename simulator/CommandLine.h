// CommandLine.h - the options of veld-weather-service: where to listen
// (--listen ADDR:PORT, IPv4 address and port 1-65535), --help and --version.
#pragma once

#include <string>
#include <vector>

namespace weather_service {

inline constexpr const char kDefaultListen[] = "127.0.0.1:8081";

// Exit code for arguments the service cannot take (EX_USAGE).
constexpr int kExitUsage = 64;

struct Options {
  std::string listen = kDefaultListen;  // as CivetWeb's listening_ports takes it
  bool showHelp = false;
  bool showVersion = false;
};

struct ParsedCommandLine {
  Options options;
  std::string error;  // empty when the arguments were understood
};

// Reads the arguments after the program name.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The text --help prints.
std::string UsageText();

// The text --version prints: the program's version and CivetWeb's.
std::string VersionText();

}  // namespace weather_service
