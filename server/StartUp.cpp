// StartUp.cpp - the start-up sequence, step by step, each logged.
#include "StartUp.h"

#include <civetweb.h>
#include <curl/curl.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "BackgroundRefresher.h"
#include "ConnectionPool.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "DatabaseFile.h"
#include "DatabaseFileLock.h"
#include "DatabaseHealth.h"
#include "DeviceIdentity.h"
#include "InfoRows.h"
#include "MessageCountWriter.h"
#include "ModbusListener.h"
#include "MonitoringServer.h"
#include "ProcessDatabase.h"
#include "RefreshSchedule.h"
#include "RegisterBridge.h"
#include "SerialLineStartUp.h"
#include "ServerMetrics.h"
#include "StackEntryPoints.h"
#include "TransportCallbacks.h"
#include "WeatherFetch.h"
#include "WebServer.h"

namespace {

const char* const kProgramName = "VELD Modbus Weather Server";
// The page is opened in the desktop's browser when there is a desktop; the
// launcher's output is discarded and start-up does not wait for it. The
// address is one start-up formed itself (hex digits, dots, colons and an
// IPv6 address's brackets, quoted so that the shell takes them as they are).
std::string BrowserLaunchCommand(const std::string& pageAddress) {
  return "if command -v xdg-open >/dev/null 2>&1 && { [ -n \"$DISPLAY\" ] || [ -n \"$WAYLAND_DISPLAY\" ]; }; then "
         "xdg-open '" +
         pageAddress + "' >/dev/null 2>&1 & fi";
}

// An address as CivetWeb's listening_ports writes it: "[::]:PORT" there
// listens on IPv6 alone, so every address of both families is "+PORT".
std::string CivetWebListeningPorts(const ListenAddress& address) {
  return address.host == "::" ? "+" + std::to_string(address.port) : address.ToString();
}

// Where a browser reaches a server listening at address: loopback of the
// same family when it listens on every address.
std::string BrowsableHost(const ListenAddress& address) {
  if (!address.IsAnyAddress()) {
    return address.UrlHost();
  }
  return address.IsIPv6() ? "[::1]" : "127.0.0.1";
}

// Opens the database, or creates it with the Data table and the info rows.
// Returns 0, or the exit code of the step that failed.
int OpenOrCreateDatabase(CSQLiteDatabase& database, const std::string& path) {
  database.SetFileName(path);
  LogInfo("FYI: Open the SQLite database. File=[%s]\n", path.c_str());
  if (database.Open(SQLITE_OPEN_READONLY) == SQLITE_OK) {
    return 0;
  }
  LogWarning("Error: Can not open database file.\n");
  LogInfo("FYI: Attempting to create a default database\n");
  if (database.Open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) != SQLITE_OK) {
    LogError("Error: Can not create the database file [%s]: %s\n", path.c_str(), database.OpenFailure().c_str());
    LogError("Error: Can not create the database file. Exit\n");
    return kExitCannotCreateDatabase;
  }
  if (database.Exec(kCreateDataTableSql) != SQLITE_OK) {
    LogError("Error: Can not create the data table in the database. Exit. File=[%s]\n", path.c_str());
    return kExitCannotCreateTable;
  }
  LogInfo("\n");
  LogInfo("!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
  LogInfo("!!! FYI: Empty database created  !!!\n");
  LogInfo("!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
  LogInfo("\n");
  SeedInfoRows(database);
  return 0;
}

// Hands the server's counters to the transport and the weather feed for as
// long as it lives, so that neither keeps them past a return from start-up.
class MetricsHookup {
 public:
  explicit MetricsHookup(ServerMetrics& metrics) {
    SetWeatherFetchMetrics(&metrics);
    TheTransport().SetMetrics(&metrics);
  }
  ~MetricsHookup() {
    TheTransport().SetMetrics(nullptr);
    SetWeatherFetchMetrics(nullptr);
  }
  MetricsHookup(const MetricsHookup&) = delete;
  MetricsHookup& operator=(const MetricsHookup&) = delete;
};

// Has the Modbus loop's connection count into health for as long as it
// lives, so that the connection never points at a health that is gone.
class HealthHookup {
 public:
  HealthHookup(CSQLiteDatabase& database, DatabaseHealth& health) : m_database(database) {
    m_database.SetHealth(&health);
  }
  ~HealthHookup() { m_database.SetHealth(nullptr); }
  HealthHookup(const HealthHookup&) = delete;
  HealthHookup& operator=(const HealthHookup&) = delete;

 private:
  CSQLiteDatabase& m_database;
};

// Logs the versions of the program, the stack, CivetWeb and libcurl, with
// libcurl set up for the whole process. Returns 0, or the exit code when
// libcurl is not there.
int LogVersionsAndSetUpCurl() {
  LogInfo("FYI: %s, Version: %d.%d.%d.%d\n", kProgramName, kProgramVersionMajor, kProgramVersionMinor,
          kProgramVersionPatch, kProgramVersionBuild);
  FillStackEntryPoints();
  LogInfo("FYI: VELD Modbus Stack, version: %d.%d.%d.%d\n", ModbusStack_GetAPIMajorVersion(),
          ModbusStack_GetAPIMinorVersion(), ModbusStack_GetAPIPatchVersion(), ModbusStack_GetAPIBuildVersion());
  LogInfo("FYI: CivitWeb Version: %s\n", mg_version());

  curl_global_init(CURL_GLOBAL_ALL);
  const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
  if (curl == nullptr || curl->version == nullptr) {
    LogError("Error: Can not find curl lib\n");
    return kExitNoCurlOrStack;
  }
  LogInfo("FYI: CURL Version: %s\n", curl->version);
  return 0;
}

// Sets the stack up for Modbus TCP over the server's transport, with the
// register bridge's value callbacks. Returns 0, or the exit code.
int SetUpModbusStack(const std::string& deviceName) {
  const StackEntryPoints& stack = TheStackEntryPoints();
  const uint32_t initResult =
      stack.Init(MODBUSSTACK_PROTOCOL_TCP, SendMessageCallback, GetMessageCallback, CurrentTimeCallback);
  if (initResult != MODBUSSTACK_INIT_READY) {
    LogError("Error: Could not init() the Modbus Stack, returnCode=%d\n", initResult);
    return kExitNoCurlOrStack;
  }
  stack.RegisterGetValue(GetModbusValue);
  stack.RegisterSetValue(SetModbusValue);
  GiveStackDeviceIdentity(deviceName);
  return 0;
}

// What the Modbus TCP connections carry, and the unit ids (TCP) and slave
// addresses (RTU) answered.
void ConfigureTransport(const ServerSettings& settings) {
  CTCP& transport = TheTransport();
  const UnitIdSet rtuAddresses = settings.RtuAddresses();
  transport.Framing = settings.rtu.framing;
  transport.AnsweredUnits = settings.answeredUnits;
  transport.RtuAddresses = rtuAddresses;
  const bool rtuInUse = settings.rtu.framing == ModbusFraming::kRtuOverTcp || !settings.rtu.device.empty();
  if (rtuInUse && !AnswersSomeRtuSlave(rtuAddresses)) {
    LogWarning("Warning: --unit-id [%s] holds no RTU slave address from 1 to %u: RTU requests get no answer\n",
               rtuAddresses.ToString().c_str(), static_cast<unsigned>(kMaxRtuAddress));
  }
  if (settings.rtu.framing == ModbusFraming::kRtuOverTcp) {
    LogInfo("FYI: The Modbus TCP port carries RTU frames, slave address [%s]\n", rtuAddresses.Describe().c_str());
  }
}

// One server per database file: the file exists now, and its lock is held
// until the returned lock is released or the process dies. Nothing (logged)
// when another process holds it.
std::optional<DatabaseFileLock> TakeDatabaseFileLock(const std::string& path) {
  std::string lockRefusal;
  std::optional<DatabaseFileLock> fileLock = DatabaseFileLock::Take(path, &lockRefusal);
  if (!fileLock) {
    LogError("Error: %s. Exit\n", lockRefusal.c_str());
  }
  return fileLock;
}

// The web page's server and, when asked for, the monitoring server.
struct WebServers {
  WebServer page;
  WebServer monitoring;
};

// Starts the web page's server. Returns 0, or the exit code.
int StartPageServer(const ServerSettings& settings, ConnectionPool& connections, ServerMetrics& metrics,
                    WebServer& page) {
  // Given the default address, the web server listens where the library
  // does by default, as it always has.
  const ServerSettings defaults;
  const std::string webListen =
      settings.webListen == defaults.webListen ? std::string() : CivetWebListeningPorts(settings.webListen);
  std::string webFailure;
  WebAccess webAccess;
  webAccess.allowedHosts = settings.webAllowedHosts;
  webAccess.authFile = settings.webAuthFile;
  webAccess.maxPostalCodes = settings.maxPostalCodes;
  page = StartWebServer(connections, webListen, &webFailure, &metrics, webAccess, settings.webThreads);
  if (!page) {
    LogError("Error: Can not start the web server on [%s]: %s\n", settings.webListen.ToString().c_str(),
             webFailure.c_str());
    LogError("Error: Could not start web server\n");
    return kExitWebServerFailed;
  }
  return 0;
}

// Starts the monitoring server when an address is set for it. Returns 0, or
// the exit code.
int StartMonitoringServerIfSet(const ServerSettings& settings, ConnectionPool& connections, ServerMetrics& metrics,
                               WebServer& monitoring) {
  if (!settings.metricsListen) {
    return 0;
  }
  std::string webFailure;
  monitoring =
      StartMonitoringServer(connections, metrics, CivetWebListeningPorts(*settings.metricsListen), &webFailure);
  if (!monitoring) {
    LogError("Error: Can not start the monitoring server on [%s]: %s\n", settings.metricsListen->ToString().c_str(),
             webFailure.c_str());
    return kExitWebServerFailed;
  }
  LogInfo("FYI: /metrics and /healthz also served without authentication on port http://%s:%d\n",
          settings.metricsListen->UrlHost().c_str(), WebServerPort(monitoring));
  return 0;
}

// Logs where the page is served and how it is protected, and opens it in
// the desktop's browser when asked to.
void AnnouncePage(const ServerSettings& settings, const WebServer& page) {
  const std::string pageAddress =
      "http://" + BrowsableHost(settings.webListen) + ":" + std::to_string(WebServerPort(page));
  LogInfo("FYI: Web server started on port %s\n", pageAddress.c_str());
  if (!settings.webAuthFile.empty()) {
    LogInfo("FYI: Web requests need HTTP digest authentication, realm [%s], users of [%s]\n", kWebAuthRealm,
            settings.webAuthFile.c_str());
  }
  if (settings.openBrowser) {
    const int launched = std::system(BrowserLaunchCommand(pageAddress).c_str());
    static_cast<void>(launched);  // the browser is a convenience; start-up goes on
  }
}

// Starts the page's server, then the monitoring server, then announces the
// page. Returns 0, or the exit code of the server that could not start.
int StartWebServers(const ServerSettings& settings, ConnectionPool& connections, ServerMetrics& metrics,
                    WebServers& servers) {
  if (const int failure = StartPageServer(settings, connections, metrics, servers.page); failure != 0) {
    return failure;
  }
  if (const int failure = StartMonitoringServerIfSet(settings, connections, metrics, servers.monitoring);
      failure != 0) {
    return failure;
  }
  AnnouncePage(settings, servers.page);
  return 0;
}

// The ordered shutdown. The other threads first, while SQLite and libcurl
// are still there for them: the refresher is told to stop (through its
// schedule) before the web servers are waited for, so that a fetch under
// way in each ends in the same second; then the refresher is waited for,
// the Modbus loop's read ends, the database closes and libcurl goes.
void StopInOrder(RefreshSchedule& refreshSchedule, WebServers& webServers, BackgroundRefresher& refresher,
                 CSQLiteDatabase& database) {
  refreshSchedule.Stop();
  webServers.monitoring.reset();
  webServers.page.reset();
  refresher.Stop();
  database.EndHeldRead();
  database.Close();
  curl_global_cleanup();
  ConsoleFlush();
}

}  // namespace

int RunServer(const ServerSettings& settings) {
  SetConsoleLogLevel(settings.logLevel);
  if (const int failure = LogVersionsAndSetUpCurl(); failure != 0) {
    return failure;
  }
  SetWeatherServiceUrl(settings.weatherUrl);
  // Counted from here on by the transport, the weather feed and the web
  // interface; reported at /metrics and /healthz.
  ServerMetrics metrics;
  const MetricsHookup hookup(metrics);
  if (const int failure = SetUpModbusStack(settings.deviceName); failure != 0) {
    return failure;
  }

  // Every connection of the server (the Modbus loop's, one per web request
  // at a time, the refresher's) counts into one health, which /healthz and
  // /metrics report.
  DatabaseHealth health;
  CSQLiteDatabase& database = ProcessDatabase();
  // A write on the Modbus loop's connection (a register write, the message
  // counts) waits up to kWriteLockWaitMs for another connection's write lock
  // (a commit of the refresher's or of a web request's) and then gives up
  // as busy, a register write answering exception 6; the loop waits with
  // it. Reads do not wait for a writer: the file is in WAL mode.
  database.SetBusyTimeout(kWriteLockWaitMs);
  const HealthHookup healthHookup(database, health);
  if (const int failure = OpenOrCreateDatabase(database, settings.databasePath); failure != 0) {
    return failure;
  }
  const std::optional<DatabaseFileLock> fileLock = TakeDatabaseFileLock(settings.databasePath);
  if (!fileLock) {
    return kExitCannotCreateDatabase;
  }
  PrepareDatabaseFile(database);
  health.NoteFile(settings.databasePath);
  ConnectionPool webConnections(settings.databasePath, &health);

  WebServers webServers;
  if (const int failure = StartWebServers(settings, webConnections, metrics, webServers); failure != 0) {
    return failure;
  }
  ConfigureTransport(settings);
  if (!OpenModbusListener(TheTransport(), settings.modbusListen, settings.maxConnections)) {
    return kExitModbusListenFailed;
  }
  std::optional<RtuSerialLine> serialLine;
  if (const int failure = OpenSerialLineIfSet(settings.rtu, settings.RtuAddresses(), metrics, serialLine);
      failure != 0) {
    return failure;
  }
  const SerialLineHookup serialHookup(serialLine);
  // The codes Modbus clients read are kept fresh by the refresher, on its
  // own thread and connection; the register bridge works on the Modbus
  // loop's connection and notes what it reads in the schedule.
  RefreshSchedule refreshSchedule;
  BackgroundRefresher refresher(settings.databasePath, refreshSchedule, settings.historyDays, &health);
  // Below debug no statement is logged, so a read may take its rows with one
  // statement over its range; at debug each register keeps its lookup and
  // its line.
  RegisterBridge bridge(database, &refreshSchedule, settings.logLevel != LogLevel::kDebug);
  // Register reads keep their read transaction open while reads stream in;
  // the loop ends it whenever it goes quiet, and then brings the message
  // count registers up to date.
  database.SetReadHoldingEnabled(true);
  MessageCountWriter messageCounts(database, metrics);
  const int signal = RunServiceLoop(
      TheTransport(),
      [&bridge, &messageCounts] {
        bridge.EndHeldRead();
        messageCounts.WriteIfDue();
      },
      serialLine ? &*serialLine : nullptr);

  LogInfo("FYI: Stopping on %s\n", signal == SIGINT ? "SIGINT" : "SIGTERM");
  StopInOrder(refreshSchedule, webServers, refresher, database);
  return 0;
}
