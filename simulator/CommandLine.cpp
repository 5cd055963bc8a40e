// CommandLine.cpp - parses the options and checks a listen address before
// CivetWeb sees it, so a typo gives a clear message rather than a failed start.
#include "CommandLine.h"

#include <arpa/inet.h>

namespace weather_service {
namespace {

bool IsIpv4Address(const std::string& text) {
  in_addr address{};
  return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

bool IsPort(const std::string& text) {
  if (text.empty() || text.size() > 5) return false;
  int port = 0;  // at most five digits: cannot overflow
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  return port >= 1 && port <= 65535;
}

bool IsListenAddress(const std::string& text) {
  const size_t colon = text.rfind(':');
  return colon != std::string::npos && IsIpv4Address(text.substr(0, colon)) && IsPort(text.substr(colon + 1));
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      parsed.options.showHelp = true;
    } else if (argument == "--listen") {
      if (i + 1 == arguments.size()) {
        parsed.error = "--listen needs ADDR:PORT";
        return parsed;
      }
      const std::string& value = arguments[++i];
      if (!IsListenAddress(value)) {
        parsed.error = "--listen wants an IPv4 address and a port 1-65535, as in 127.0.0.1:18081, not '" + value + "'";
        return parsed;
      }
      parsed.options.listen = value;
    } else {
      parsed.error = "unknown argument '" + argument + "'";
      return parsed;
    }
  }
  return parsed;
}

std::string UsageText() {
  return std::string("Usage: veld-weather-service [--listen ADDR:PORT]\n") +
         "Simulates the weather web service: answers GET /api?postalCode=CODE with\n"
         "readings for a US zip code or a Canadian postal code.\n"
         "  --listen ADDR:PORT  where to listen (default " +
         kDefaultListen +
         ")\n"
         "Runs until SIGINT or SIGTERM.\n";
}

}  // namespace weather_service
