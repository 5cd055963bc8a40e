// CommandLine.cpp - the options parsed with CLI11; a listen address is
// checked before CivetWeb sees it, so a typo gives a clear message rather
// than a failed start.
#include "CommandLine.h"

#include <civetweb.h>

#include <CLI/CLI.hpp>

#include "ListenAddress.h"
#include "ProgramVersion.h"

namespace weather_service {
namespace {

struct CommandLineApp {
  CLI::App app{
      "Simulates the weather web service: answers GET /api?postalCode=CODE with\n"
      "readings for a US zip code or a Canadian postal code. Runs until SIGINT or SIGTERM.",
      "veld-weather-service"};
  std::string listen = kDefaultListen;
  bool showVersion = false;

  CommandLineApp() {
    app.add_flag("-V,--version", showVersion, "Print the versions of the program and CivetWeb and exit");
    app.add_option("--listen", listen, "Where to listen: an IPv4 address and a port 1-65535")
        ->type_name("ADDR:PORT")
        ->default_str(kDefaultListen);
  }
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  CommandLineApp commandLine;
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());  // CLI11 takes them last first
  try {
    commandLine.app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    parsed.options.showHelp = true;
    return parsed;
  } catch (const CLI::ParseError& error) {
    parsed.error = error.what();
    return parsed;
  }
  parsed.options.showVersion = commandLine.showVersion;
  std::string why;
  const auto address = ParseListenAddress(commandLine.listen, &why);
  if (!address || address->port == 0) {
    parsed.error =
        "--listen wants an IPv4 address and a port 1-65535, as in 127.0.0.1:18081, not '" + commandLine.listen + "'";
    return parsed;
  }
  parsed.options.listen = commandLine.listen;
  return parsed;
}

std::string UsageText() { return CommandLineApp().app.help(); }

std::string VersionText() {
  return "veld-weather-service " + std::to_string(kProgramVersionMajor) + "." + std::to_string(kProgramVersionMinor) +
         "." + std::to_string(kProgramVersionPatch) + "." + std::to_string(kProgramVersionBuild) + "\nCivetWeb " +
         mg_version() + "\n";
}

}  // namespace weather_service
