// ServerOptions.h - the server's settings, from its command line and, with
// --config, an INI file of the same keys (the command line wins). With
// neither, every setting is what the server has always used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ConsoleLog.h"
#include "HistoryTable.h"
#include "ListenAddress.h"
#include "RtuOptions.h"
#include "UnitIdSet.h"
#include "WeatherFetch.h"
#include "WebServer.h"

// Exit code of a command line or configuration file the server cannot take
// (EX_USAGE of <sysexits.h>): nothing has been started.
constexpr int kExitUsage = 64;

struct ServerSettings {
  ListenAddress modbusListen{"0.0.0.0", 502};
  // Every local address, port 8080: the web library's own default.
  ListenAddress webListen{"0.0.0.0", 8080};
  std::string databasePath = "data.sqlite3";
  std::string weatherUrl = "http://127.0.0.1:8081";
  uint32_t maxConnections = 100;
  LogLevel logLevel = LogLevel::kDebug;
  bool openBrowser = true;
  // Days the History table keeps readings (kMinHistoryDays..kMaxHistoryDays).
  int historyDays = kDefaultHistoryDays;
  // Distinct postal codes other than "0" the page's look-ups may bring the
  // table to (0..kMaxPostalCodesLimit; 0: no new code at all).
  size_t maxPostalCodes = kDefaultMaxPostalCodes;
  // Host names the web actions take besides IP addresses, localhost and the
  // machine's own name (WebGuards.h); none by default.
  std::vector<std::string> webAllowedHosts;
  // The htdigest file every web request is checked against; empty: none.
  std::string webAuthFile;
  // Worker threads of the web server (1..kMaxWebThreads; WebServer.h).
  int webThreads = kDefaultWebThreads;
  // Where /metrics and /healthz are also served, alone and without
  // authentication (MonitoringServer.h); none by default.
  std::optional<ListenAddress> metricsListen;
  // Modbus RTU: the TCP listener's framing and the serial line.
  RtuSettings rtu;
  // The Modbus TCP unit identifiers answered; 0 and 255 by default.
  UnitIdSet answeredUnits;
  // Whether --unit-id was given: then its ids (1 to 247) are also the RTU
  // slave addresses answered; otherwise RTU answers address 1 alone.
  bool unitIdGiven = false;

  // The slave addresses RTU requests are answered under, on the serial line
  // and over RTU over TCP.
  UnitIdSet RtuAddresses() const { return unitIdGiven ? answeredUnits : UnitIdSet::Only(kDefaultRtuAddress); }
  // Read Device Identification's UserApplicationName (object 0x06), at most
  // MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH bytes; empty: not reported.
  std::string deviceName;
};

// The most connections --max-connections allows: each is a socket and a
// place in every pass's poll.
constexpr uint32_t kMaxConnectionsLimit = 10000;

enum class StartAction { kRun, kShowHelp, kShowVersion, kUsageError };

struct ServerCommandLine {
  StartAction action = StartAction::kRun;
  ServerSettings settings;
  // The help text for kShowHelp; for kUsageError one line saying which
  // option or file line is wrong and why.
  std::string message;
};

// Reads the arguments (argv[0] is the program) and the configuration file
// they name.
ServerCommandLine ParseServerCommandLine(int argc, const char* const* argv);
