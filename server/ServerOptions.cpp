// ServerOptions.cpp - the options and the configuration file, both read by
// CLI11 as text and checked by the same setters, so that a value means the
// same wherever it is written.
#include "ServerOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "IniConfigFormat.h"
#include "ModbusStack.h"
#include "UrlParts.h"
#include "WebGuards.h"
#include "WholeNumber.h"

namespace {

// Each setter stores a value in the settings, or says why it cannot (an
// empty string when it took it).
using Setter = std::string (*)(const std::string& value, ServerSettings& settings);

std::string SetModbusListen(const std::string& value, ServerSettings& settings) {
  std::string why;
  const auto address = ParseListenAddress(value, &why);
  if (address) {
    settings.modbusListen = *address;
  }
  return why;
}

// A listen address for CivetWeb: an IPv6 one only when the library was built
// with IPv6 (Debian 12's is not), so that the server refuses it before
// anything starts rather than failing to open the port.
std::optional<ListenAddress> ParseWebListenAddress(const std::string& value, std::string* why) {
  const auto address = ParseListenAddress(value, why);
  if (address && address->IsIPv6() && !WebServerSupportsIPv6()) {
    *why = "'" + value + "' is an IPv6 address, and this system's CivetWeb library is built without IPv6";
    return std::nullopt;
  }
  return address;
}

std::string SetWebListen(const std::string& value, ServerSettings& settings) {
  std::string why;
  const auto address = ParseWebListenAddress(value, &why);
  if (address) {
    settings.webListen = *address;
  }
  return why;
}

std::string SetUnitId(const std::string& value, ServerSettings& settings) {
  std::string why;
  const auto units = UnitIdSet::Parse(value, &why);
  if (units) {
    settings.answeredUnits = *units;
    settings.unitIdGiven = true;
  }
  return why;
}

std::string SetDeviceName(const std::string& value, ServerSettings& settings) {
  if (value.size() > MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH) {
    return "the device name has " + std::to_string(value.size()) + " bytes; at most " +
           std::to_string(MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH) + " fit in a device identification object";
  }
  settings.deviceName = value;
  return std::string();
}

std::string SetDatabase(const std::string& value, ServerSettings& settings) {
  if (value.empty()) {
    return "the database path is empty";
  }
  settings.databasePath = value;
  return std::string();
}

// An http or https URL with a host, checked by libcurl's own URL parser;
// one trailing slash is dropped, since the request path is appended to it.
std::string SetWeatherUrl(const std::string& value, ServerSettings& settings) {
  const std::optional<UrlParts> url = ParseUrl(value);
  if (!url || (url->scheme != "http" && url->scheme != "https") || value.find("://") == std::string::npos ||
      value.find_first_of("?#") != std::string::npos) {
    return "'" + value + "' is not an http:// or https:// URL with a host";
  }
  settings.weatherUrl = value.back() == '/' ? value.substr(0, value.size() - 1) : value;
  return std::string();
}

std::string SetMaxConnections(const std::string& value, ServerSettings& settings) {
  const std::optional<int64_t> count = ParseWholeNumber(value, 1, kMaxConnectionsLimit);
  if (!count) {
    return "'" + value + "' is not a number from 1 to " + std::to_string(kMaxConnectionsLimit);
  }
  settings.maxConnections = static_cast<uint32_t>(*count);
  return std::string();
}

std::string SetHistoryDays(const std::string& value, ServerSettings& settings) {
  const std::optional<int64_t> days = ParseWholeNumber(value, kMinHistoryDays, kMaxHistoryDays);
  if (!days) {
    return "'" + value + "' is not a number from " + std::to_string(kMinHistoryDays) + " to " +
           std::to_string(kMaxHistoryDays);
  }
  settings.historyDays = static_cast<int>(*days);
  return std::string();
}

std::string SetMaxPostalCodes(const std::string& value, ServerSettings& settings) {
  const std::optional<int64_t> codes = ParseWholeNumber(value, 0, static_cast<int64_t>(kMaxPostalCodesLimit));
  if (!codes) {
    return "'" + value + "' is not a number from 0 to " + std::to_string(kMaxPostalCodesLimit);
  }
  settings.maxPostalCodes = static_cast<size_t>(*codes);
  return std::string();
}

std::string SetLogLevel(const std::string& value, ServerSettings& settings) {
  const auto level = ParseLogLevel(value);
  if (!level) {
    return "'" + value + "' is not one of error, warning, info, debug";
  }
  settings.logLevel = *level;
  return std::string();
}

// In the file: a yes/no value. On the command line the flag alone means yes.
std::string SetNoBrowser(const std::string& value, ServerSettings& settings) {
  for (const char* yes : {"true", "yes", "on", "1"}) {
    if (value == yes) {
      settings.openBrowser = false;
      return std::string();
    }
  }
  for (const char* no : {"false", "no", "off", "0"}) {
    if (value == no) {
      settings.openBrowser = true;
      return std::string();
    }
  }
  return "'" + value + "' is not true or false";
}

// A comma-separated list of host names; an empty value lists none.
std::string SetWebAllowedHosts(const std::string& value, ServerSettings& settings) {
  std::vector<std::string> names;
  size_t start = 0;
  while (!value.empty() && start <= value.size()) {
    const size_t comma = std::min(value.find(',', start), value.size());
    const std::string name = value.substr(start, comma - start);
    if (!IsAllowedHostName(name)) {
      return "'" + name + "' is not a host name (letters, digits, '-' and '.')";
    }
    names.push_back(name);
    start = comma + 1;
  }
  settings.webAllowedHosts = names;
  return std::string();
}

// Read here, so that a file the server cannot use stops it before it starts;
// kept as an absolute path.
std::string SetWebAuth(const std::string& value, ServerSettings& settings) {
  if (value.empty()) {
    return "the password file path is empty";
  }
  const std::string why = CheckWebAuthFile(value);
  if (!why.empty()) {
    return why;
  }
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(value, error);
  settings.webAuthFile = error ? value : absolute.string();
  return std::string();
}

std::string SetWebThreads(const std::string& value, ServerSettings& settings) {
  const std::optional<int64_t> count = ParseWholeNumber(value, 1, kMaxWebThreads);
  if (!count) {
    return "'" + value + "' is not a number from 1 to " + std::to_string(kMaxWebThreads);
  }
  settings.webThreads = static_cast<int>(*count);
  return std::string();
}

std::string SetMetricsListen(const std::string& value, ServerSettings& settings) {
  std::string why;
  const auto address = ParseWebListenAddress(value, &why);
  if (address) {
    settings.metricsListen = *address;
  }
  return why;
}

// An RTU setter (RtuOptions.h) as a setter of the whole settings.
template <std::string (*SetRtu)(const std::string&, RtuSettings&)>
std::string OnRtu(const std::string& value, ServerSettings& settings) {
  return SetRtu(value, settings.rtu);
}

struct SettingKey {
  const char* name;  // the file's key; the option is "--" and the key
  Setter set;
  const char* valueName;
  std::string help;
  std::string defaultText;
};

std::vector<SettingKey> SettingKeys() {
  const ServerSettings defaults;
  return {
      {"modbus-listen", SetModbusListen, "ADDR:PORT",
       "Address and TCP port of the Modbus TCP server: IPv4, or IPv6 in\nbrackets ([::1]:502; [::]:502 takes IPv4 "
       "clients too)",
       defaults.modbusListen.ToString()},
      {"unit-id", SetUnitId, "LIST",
       "Modbus TCP unit ids answered: a list such as 1 or 1,255, or any;\nanswers carry the request's unit id. "
       "Given, its ids from 1 to 247 are\nalso the RTU slave addresses answered (otherwise 1)",
       defaults.answeredUnits.ToString()},
      {"device-name", SetDeviceName, "TEXT",
       "Reported by Read Device Identification (43/14) as object 6,\nUserApplicationName (at most " +
           std::to_string(MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH) + " bytes)",
       ""},
      {"web-listen", SetWebListen, "ADDR:PORT",
       "Address and TCP port of the web page and its views: IPv4, or IPv6\nin brackets where CivetWeb is built with "
       "IPv6",
       defaults.webListen.ToString()},
      {"database", SetDatabase, "PATH", "The SQLite database file; created with its table on first start",
       defaults.databasePath},
      {"weather-url", SetWeatherUrl, "URL", "The weather service; /api?postalCode=CODE is appended",
       defaults.weatherUrl},
      {"max-connections", SetMaxConnections, "N", "Most Modbus TCP connections open at once",
       std::to_string(defaults.maxConnections)},
      {"history-days", SetHistoryDays, "N", "Days the readings' history is kept for /history (1 to 3650)",
       std::to_string(defaults.historyDays)},
      {"max-postal-codes", SetMaxPostalCodes, "N",
       "Most postal codes (besides 0) the page's look-ups may store; a look-up\nof a new code past them is answered "
       "429 (0 to 65536)",
       std::to_string(defaults.maxPostalCodes)},
      {"log-level", SetLogLevel, "LEVEL",
       "error|warning|info|debug; info leaves out the frame dumps, SQL lines and\npayloads, warning keeps "
       "fallbacks, refusals and failures, error failures only",
       LogLevelName(defaults.logLevel)},
      {"web-allowed-hosts", SetWebAllowedHosts, "NAME[,NAME...]",
       "Host names the web page's write and add actions may be reached by,\nbesides IP addresses, localhost and this "
       "machine's name",
       ""},
      {"web-auth", SetWebAuth, "FILE",
       std::string("An htdigest file (realm ") + kWebAuthRealm +
           "): every web request then needs\nHTTP digest authentication",
       ""},
      {"web-threads", SetWebThreads, "N",
       "Web server worker threads: requests, and slow clients still sending\none, served at once (1 to " +
           std::to_string(kMaxWebThreads) + ")",
       std::to_string(defaults.webThreads)},
      {"metrics-listen", SetMetricsListen, "ADDR:PORT",
       "Also serve /metrics and /healthz, alone and without authentication,\non this address and TCP port (as "
       "--web-listen)",
       ""},
      {"modbus-framing", OnRtu<SetModbusFraming>, "tcp|rtu-over-tcp",
       "What the Modbus TCP connections carry: Modbus TCP frames, or RTU\nframes (address, PDU, CRC) as "
       "serial-to-Ethernet converters send them",
       "tcp"},
      {"rtu-device", OnRtu<SetRtuDevice>, "PATH",
       "Also serve the registers as a Modbus RTU slave on this serial device\n(RS-485 or RS-232)", ""},
      {"rtu-baud", OnRtu<SetRtuBaud>, "N", "Baud rate of the serial line", std::to_string(defaults.rtu.baud)},
      {"rtu-parity", OnRtu<SetRtuParity>, "E|O|N", "Parity of the serial line: even, odd or none",
       std::string(1, defaults.rtu.parity)},
      {"rtu-stop-bits", OnRtu<SetRtuStopBits>, "1|2", "Stop bits of the serial line; 2 by default when parity is N",
       "1"},
      {"no-browser", SetNoBrowser, "", "Never open the page in a browser at start-up (in the file: true or false)",
       "false"},
  };
}

const char* const kDescription =
    "VELD Modbus Weather Server: publishes weather readings as Modbus TCP registers.\n"
    "Each register is one row of a SQLite table, refreshed from a weather web\n"
    "service when it is older than 30 s; a web page shows and edits the rows.";

const char* const kFooter =
    "The configuration file is an INI file of the same keys without the dashes,\n"
    "one \"key = value\" per line, as in \"modbus-listen = 127.0.0.1:1502\".\n"
    "\n"
    "Exit status: 0 after --help, --version, or a stop by SIGTERM or SIGINT;\n"
    "64 for a bad option or configuration file; 1 to 5 when start-up fails\n"
    "(1 libcurl or the Modbus stack, 2 the database file, also when another\n"
    "server uses it, 3 its table, 4 the web server, 5 the Modbus port or the\n"
    "serial device).";

ServerCommandLine UsageError(const std::string& why) {
  ServerCommandLine result;
  result.action = StartAction::kUsageError;
  result.message = why;
  return result;
}

// The setter as CLI11's check of the option, on the command line and in the
// file alike: it stores into a copy, so only its answer counts here.
CLI::Validator CheckedBy(Setter set) {
  return CLI::Validator(
      [set](std::string& value) {
        ServerSettings scratch;
        return set(value, scratch);
      },
      "");
}

}  // namespace

ServerCommandLine ParseServerCommandLine(int argc, const char* const* argv) {
  CLI::App app(kDescription, "veld-weather-server");
  app.footer(kFooter);
  app.get_formatter()->column_width(32);
  app.get_help_ptr()->configurable(false);
  const std::vector<SettingKey> keys = SettingKeys();
  std::vector<std::string> given(keys.size());
  bool noBrowser = false;
  bool showVersion = false;
  app.add_flag("-V,--version", showVersion, "Print the versions of the program and its libraries and exit")
      ->configurable(false);
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string option = std::string("--") + keys[i].name;
    if (keys[i].valueName[0] == '\0') {
      app.add_flag(option, noBrowser, keys[i].help)->check(CheckedBy(keys[i].set));
    } else {
      app.add_option(option, given[i], keys[i].help)
          ->type_name(keys[i].valueName)
          ->default_str(keys[i].defaultText)
          ->check(CheckedBy(keys[i].set));
    }
  }
  CLI::Option* config =
      app.set_config("--config", "", "Read settings from this INI file; options given here win over it")
          ->type_name("FILE");
  app.config_formatter(std::make_shared<IniConfigFormat>(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    ServerCommandLine result;
    result.action = StartAction::kShowHelp;
    result.message = app.help();
    return result;
  } catch (const CLI::FileError&) {
    return UsageError(UnreadableConfigFileMessage(config->as<std::string>()));
  } catch (const CLI::ConfigError& error) {
    return UsageError(config->as<std::string>() + ":" + error.what());
  } catch (const CLI::ParseError& error) {
    return UsageError(error.what());
  }

  ServerCommandLine result;
  if (showVersion) {
    result.action = StartAction::kShowVersion;
    return result;
  }
  // Every value given was checked by CLI11, so the setters take them.
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string option = std::string("--") + keys[i].name;
    if (app.count(option) == 0) {
      continue;
    }
    const bool isFlag = keys[i].valueName[0] == '\0';
    const std::string why = keys[i].set(isFlag ? (noBrowser ? "true" : "false") : given[i], result.settings);
    if (!why.empty()) {
      return UsageError(option + ": " + why);
    }
  }
  return result;
}
