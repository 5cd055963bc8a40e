// CommandLine.cpp - the options and the configuration file, both read by
// CLI11 as text and checked by the same setters, so that a value means the
// same wherever it is written; a listen address is checked before CivetWeb
// sees it, so a typo gives a clear message rather than a failed start.
#include "CommandLine.h"

#include <civetweb.h>

#include <CLI/CLI.hpp>

#include "IniConfigFormat.h"
#include "ListenAddress.h"
#include "ProgramVersion.h"
#include "WholeNumber.h"

namespace weather_service {
namespace {

// Longest time current readings may be kept: a day.
constexpr long kMaxReadingsCacheSeconds = 24 * 60 * 60;
// Most places and codes kept: a million is a few hundred megabytes at most.
constexpr int64_t kMaxPlacesLimit = 1000000;

using Setter = std::string (*)(const std::string& value, Options& options);

std::string SetListen(const std::string& value, Options& options) {
  std::string why;
  const auto address = ParseListenAddress(value, &why);
  // CivetWeb as Debian builds it listens on IPv4 only.
  if (!address || address->port == 0 || address->IsIPv6()) {
    return "wants an IPv4 address and a port 1-65535, as in 127.0.0.1:18081, not '" + value + "'";
  }
  options.listen = value;
  return std::string();
}

std::string SetProvider(const std::string& value, Options& options) {
  if (value == "simulated") {
    options.provider = Provider::kSimulated;
  } else if (value == "open-meteo") {
    options.provider = Provider::kOpenMeteo;
  } else {
    return "'" + value + "' is not simulated or open-meteo";
  }
  return std::string();
}

// An http:// or https:// base URL; one trailing slash is dropped, since the
// API's path is appended to it.
std::string CheckedBaseUrl(const std::string& value, std::string* url) {
  const bool http = value.rfind("http://", 0) == 0 || value.rfind("https://", 0) == 0;
  const size_t hostStart = value.find("://") + 3;
  if (!http || value.size() <= hostStart || value.find_first_of("?# ") != std::string::npos) {
    return "'" + value + "' is not an http:// or https:// URL with a host";
  }
  *url = value.back() == '/' ? value.substr(0, value.size() - 1) : value;
  return std::string();
}

std::string SetOpenMeteoUrl(const std::string& value, Options& options) {
  return CheckedBaseUrl(value, &options.openMeteo.forecastUrl);
}

std::string SetGeocodingUrl(const std::string& value, Options& options) {
  return CheckedBaseUrl(value, &options.openMeteo.geocodingUrl);
}

std::string SetCacheDir(const std::string& value, Options& options) {
  options.openMeteo.cacheFolder = value;
  return std::string();
}

std::string SetReadingsCacheSeconds(const std::string& value, Options& options) {
  const std::optional<int64_t> seconds = ParseWholeNumber(value, 0, kMaxReadingsCacheSeconds);
  if (!seconds) {
    return "'" + value + "' is not a number of seconds from 0 to " + std::to_string(kMaxReadingsCacheSeconds);
  }
  options.openMeteo.readingsMaxAge = std::chrono::seconds(*seconds);
  return std::string();
}

std::string SetMaxPlaces(const std::string& value, Options& options) {
  const std::optional<int64_t> places = ParseWholeNumber(value, 1, kMaxPlacesLimit);
  if (!places) {
    return "'" + value + "' is not a number of places from 1 to " + std::to_string(kMaxPlacesLimit);
  }
  options.openMeteo.maxPlaces = static_cast<size_t>(*places);
  return std::string();
}

struct SettingKey {
  const char* name;  // the file's key; the option is "--" and the key
  Setter set;
  const char* valueName;
  const char* help;
  std::string defaultText;
};

std::vector<SettingKey> SettingKeys() {
  const Options defaults;
  return {
      {"listen", SetListen, "ADDR:PORT", "Where to listen: an IPv4 address and a port 1-65535", defaults.listen},
      {"provider", SetProvider, "NAME",
       "Where readings come from: simulated (made up from the code and the minute)\nor open-meteo (the real weather "
       "from api.open-meteo.com)",
       "simulated"},
      {"open-meteo-url", SetOpenMeteoUrl, "URL", "Base URL of Open-Meteo's forecast API",
       defaults.openMeteo.forecastUrl},
      {"geocoding-url", SetGeocodingUrl, "URL", "Base URL of Open-Meteo's geocoding API",
       defaults.openMeteo.geocodingUrl},
      {"cache-dir", SetCacheDir, "DIR",
       "Keep the geocoded postal codes in a file in this folder (default: memory only)", ""},
      {"readings-cache-seconds", SetReadingsCacheSeconds, "N",
       "Answer a place's current readings from memory for this long",
       std::to_string(defaults.openMeteo.readingsMaxAge.count())},
      {"max-places", SetMaxPlaces, "N",
       "Keep at most this many postal codes and places (the least recently asked for\ngo first)",
       std::to_string(defaults.openMeteo.maxPlaces)},
  };
}

const char* const kDescription =
    "The weather web service of the VELD Modbus Weather Server: answers\n"
    "GET /api?postalCode=CODE with the readings of a US zip code or a Canadian\n"
    "postal code, simulated or from Open-Meteo. Runs until SIGINT or SIGTERM.";

const char* const kFooter =
    "The configuration file is an INI file of the same keys without the dashes,\n"
    "one \"key = value\" per line, as in \"provider = open-meteo\".\n"
    "\n"
    "Exit status: 0 after --help, --version, or a stop by SIGTERM or SIGINT;\n"
    "64 for a bad option or configuration file; 1 when it cannot listen.";

// The setter as CLI11's check of the option, on the command line and in the
// file alike: it stores into a copy, so only its answer counts here.
CLI::Validator CheckedBy(Setter set) {
  return CLI::Validator(
      [set](std::string& value) {
        Options scratch;
        return set(value, scratch);
      },
      "");
}

struct CommandLineApp {
  CLI::App app{kDescription, "veld-weather-service"};
  std::vector<SettingKey> keys = SettingKeys();
  std::vector<std::string> given = std::vector<std::string>(keys.size());
  CLI::Option* config = nullptr;
  bool showVersion = false;

  CommandLineApp() {
    app.footer(kFooter);
    app.get_formatter()->column_width(32);
    app.get_help_ptr()->configurable(false);
    app.add_flag("-V,--version", showVersion, "Print the versions of the program and CivetWeb and exit")
        ->configurable(false);
    for (size_t i = 0; i < keys.size(); ++i) {
      app.add_option(std::string("--") + keys[i].name, given[i], keys[i].help)
          ->type_name(keys[i].valueName)
          ->default_str(keys[i].defaultText)
          ->check(CheckedBy(keys[i].set));
    }
    config = app.set_config("--config", "", "Read settings from this INI file; options given here win over it")
                 ->type_name("FILE");
    app.config_formatter(std::make_shared<IniConfigFormat>(app));
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
  } catch (const CLI::FileError&) {
    parsed.error = UnreadableConfigFileMessage(commandLine.config->as<std::string>());
    return parsed;
  } catch (const CLI::ConfigError& error) {
    parsed.error = commandLine.config->as<std::string>() + ":" + error.what();
    return parsed;
  } catch (const CLI::ParseError& error) {
    parsed.error = error.what();
    return parsed;
  }
  parsed.options.showVersion = commandLine.showVersion;
  // Every value given was checked by CLI11, so the setters take them.
  const std::vector<SettingKey>& keys = commandLine.keys;
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string option = std::string("--") + keys[i].name;
    if (commandLine.app.count(option) == 0) {
      continue;
    }
    const std::string why = keys[i].set(commandLine.given[i], parsed.options);
    if (!why.empty()) {
      parsed.error = option + ": " + why;
      return parsed;
    }
  }
  return parsed;
}

std::string UsageText() { return CommandLineApp().app.help(); }

std::string VersionText() {
  return "veld-weather-service " + ProgramVersionText() + "\nCivetWeb " + mg_version() + "\n";
}

}  // namespace weather_service
