// StartUp.cpp - the start-up sequence, step by step, each logged.
#include "StartUp.h"

#include <civetweb.h>
#include <curl/curl.h>

#include <cstdlib>

#include "ConsoleLog.h"
#include "DataTable.h"
#include "InfoRows.h"
#include "ModbusListener.h"
#include "ProcessDatabase.h"
#include "RegisterBridge.h"
#include "StackEntryPoints.h"
#include "TransportCallbacks.h"
#include "WebServer.h"

namespace {

const char* const kProgramName = "VELD Modbus Weather Server";
// The page is opened in the desktop's browser when there is a desktop; the
// launcher's output is discarded and start-up does not wait for it.
const char* const kBrowserLaunch =
    "if command -v xdg-open >/dev/null 2>&1 && { [ -n \"$DISPLAY\" ] || [ -n \"$WAYLAND_DISPLAY\" ]; }; then "
    "xdg-open http://127.0.0.1:8080 >/dev/null 2>&1 & fi";

// Opens the database, or creates it with the Data table and the info rows.
// Returns 0, or the exit code of the step that failed.
int OpenOrCreateDatabase(CSQLiteDatabase& database) {
  database.SetFileName(kDatabaseFileName);
  ConsoleLog("FYI: Open the SQLite database. File=[%s]\n", kDatabaseFileName);
  if (database.Open(SQLITE_OPEN_READONLY) == SQLITE_OK) {
    return 0;
  }
  ConsoleLog("Error: Can not open database file.\n");
  ConsoleLog("FYI: Attempting to create a default database\n");
  if (database.Open(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) != SQLITE_OK) {
    ConsoleLog("Error: Can not create the database file. Exit\n");
    return kExitCannotCreateDatabase;
  }
  if (database.Exec(kCreateDataTableSql) != SQLITE_OK) {
    ConsoleLog("Error: Can not create the data table in the database. Exit. File=[%s]\n", kDatabaseFileName);
    return kExitCannotCreateTable;
  }
  ConsoleLog("\n");
  ConsoleLog("!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
  ConsoleLog("!!! FYI: Empty database created  !!!\n");
  ConsoleLog("!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n");
  ConsoleLog("\n");
  SeedInfoRows(database);
  return 0;
}

}  // namespace

int RunServer() {
  ConsoleLog("FYI: %s, Version: %d.%d.%d.%d\n", kProgramName, kProgramVersionMajor, kProgramVersionMinor,
             kProgramVersionPatch, kProgramVersionBuild);
  FillStackEntryPoints();
  ConsoleLog("FYI: VELD Modbus Stack, version: %d.%d.%d.%d\n", ModbusStack_GetAPIMajorVersion(),
             ModbusStack_GetAPIMinorVersion(), ModbusStack_GetAPIPatchVersion(), ModbusStack_GetAPIBuildVersion());
  ConsoleLog("FYI: CivitWeb Version: %s\n", mg_version());

  curl_global_init(CURL_GLOBAL_ALL);
  const curl_version_info_data* curl = curl_version_info(CURLVERSION_NOW);
  if (curl == nullptr || curl->version == nullptr) {
    ConsoleLog("Error: Can not find curl lib\n");
    return kExitNoCurlOrStack;
  }
  ConsoleLog("FYI: CURL Version: %s\n", curl->version);

  const StackEntryPoints& stack = TheStackEntryPoints();
  const uint32_t initResult =
      stack.Init(MODBUSSTACK_PROTOCOL_TCP, SendMessageCallback, GetMessageCallback, CurrentTimeCallback);
  if (initResult != MODBUSSTACK_INIT_READY) {
    ConsoleLog("Error: Could not init() the Modbus Stack, returnCode=%d\n", initResult);
    return kExitNoCurlOrStack;
  }
  stack.RegisterGetValue(GetModbusValue);
  stack.RegisterSetValue(SetModbusValue);

  CSQLiteDatabase& database = ProcessDatabase();
  if (const int failure = OpenOrCreateDatabase(database); failure != 0) {
    return failure;
  }

  // Runs until the process ends; it is never stopped in order.
  static WebServer webServer;
  webServer = StartWebServer(database);
  if (!webServer) {
    ConsoleLog("Error: Could not start web server\n");
    return kExitWebServerFailed;
  }
  ConsoleLog("FYI: Web server started on port http://127.0.0.1:8080\n");
  const int launched = std::system(kBrowserLaunch);
  static_cast<void>(launched);  // the browser is a convenience; start-up goes on

  if (!OpenModbusListener(TheTransport())) {
    return kExitModbusListenFailed;
  }
  // Register reads keep their read transaction open while reads stream in;
  // the loop ends it whenever it goes quiet.
  database.SetReadHoldingEnabled(true);
  RunServiceLoop(TheTransport(), [&database] { database.EndHeldRead(); });
}
