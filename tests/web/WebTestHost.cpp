// WebTestHost.cpp - veld-web-test-host: the web interface alone, over a fresh
// database, for driving the page in a browser. The database is created with
// the Data table, the 20 info rows and 30 rows of a few postal codes (so the
// page has several pages of 20); postal lookups go to --weather-url. Serves
// until SIGINT or SIGTERM, then exits 0 (2 for bad arguments, 1 when the
// database cannot be made or the server cannot start).
//
//   veld-web-test-host --database /tmp/x/data.sqlite3 [--listen 127.0.0.1:8080]
//                      [--weather-url http://127.0.0.1:8081]
#include <civetweb.h>
#include <curl/curl.h>
#include <signal.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "DataTable.h"
#include "HistoryTable.h"
#include "InfoRows.h"
#include "ProcessDatabase.h"
#include "WeatherFetch.h"
#include "WebServer.h"

namespace {

struct Options {
  std::string listen = "127.0.0.1:8080";
  std::string database;
  std::string weatherUrl;
};

const char* const kUsage =
    "Usage: veld-web-test-host --database PATH [--listen ADDR:PORT] [--weather-url URL]\n"
    "  --database PATH     a new SQLite file to create and seed (must not exist)\n"
    "  --listen ADDR:PORT  where the web interface listens (default 127.0.0.1:8080)\n"
    "  --weather-url URL   the weather service postal lookups go to\n";

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    std::string* target = argument == "--listen"        ? &options.listen
                          : argument == "--database"    ? &options.database
                          : argument == "--weather-url" ? &options.weatherUrl
                                                        : nullptr;
    if (target == nullptr || i + 1 == argc) {
      std::fprintf(stderr, "veld-web-test-host: bad argument '%s'\n", argument.c_str());
      return false;
    }
    *target = argv[++i];
  }
  if (options.database.empty()) {
    std::fprintf(stderr, "veld-web-test-host: --database is required\n");
    return false;
  }
  return true;
}

// The info rows, then rows of three codes the page can search for.
bool CreateDatabase(const std::string& path) {
  if (std::filesystem::exists(path)) {
    std::fprintf(stderr, "veld-web-test-host: %s exists already\n", path.c_str());
    return false;
  }
  CSQLiteDatabase& database = ProcessDatabase();
  database.SetFileName(path);
  if (database.Open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) != SQLITE_OK ||
      database.Exec(kCreateDataTableSql) != SQLITE_OK || database.Exec(kCreateHistoryTableSql) != SQLITE_OK) {
    std::fprintf(stderr, "veld-web-test-host: cannot create %s\n", path.c_str());
    return false;
  }
  SeedInfoRows(database);
  const struct {
    const char* code;
    int rows;
  } groups[] = {{"V1L", 15}, {"V1L 3A5", 5}, {"90001", 5}, {"K1A 0B1", 5}};
  int station = 0;
  for (const auto& group : groups) {
    for (int row = 0; row < group.rows; ++row, ++station) {
      const std::string name = "station." + std::to_string(station);
      if (!InsertValue(database, group.code, name.c_str(), static_cast<uint16_t>(100 + station), nullptr)) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK || !CreateDatabase(options.database)) {
    return 1;
  }
  if (!options.weatherUrl.empty()) {
    SetWeatherServiceUrl(options.weatherUrl);
  }

  // Blocked before CivetWeb starts its threads, which inherit the mask, so
  // the stop signals are only ever taken by sigwait below.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  ConnectionPool connections(options.database);
  WebServer server = StartWebServer(connections, options.listen);
  if (!server) {
    std::fprintf(stderr, "veld-web-test-host: cannot serve on %s\n", options.listen.c_str());
    return 1;
  }
  std::printf("FYI: veld-web-test-host serving on port %d, weather service %s\n", WebServerPort(server),
              WeatherServiceUrl().c_str());
  std::fflush(stdout);

  int signalNumber = 0;
  sigwait(&stopSignals, &signalNumber);
  std::printf("FYI: stopping on %s\n", signalNumber == SIGINT ? "SIGINT" : "SIGTERM");
  server.reset();
  ProcessDatabase().Close();
  curl_global_cleanup();
  return 0;
}
