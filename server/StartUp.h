// StartUp.h - the program's start-up: banner and versions, libcurl, the
// Modbus stack with its callbacks, the database (created and seeded on first
// start, locked against a second server, then put in WAL mode with its
// unique index and History table), the web server, the browser, the
// listener, the refresher, then the service loop until SIGTERM or SIGINT.
#pragma once

#include "ServerOptions.h"

// Exit codes of a failed start-up.
constexpr int kExitNoCurlOrStack = 1;
constexpr int kExitCannotCreateDatabase = 2;  // also: another server uses the file
constexpr int kExitCannotCreateTable = 3;
constexpr int kExitWebServerFailed = 4;
constexpr int kExitModbusListenFailed = 5;

// Runs start-up with these settings and then the service loop. Returns the
// exit code of a failed start-up, or 0 once a termination signal has
// stopped the server in order (log written out, web server stopped,
// database closed).
int RunServer(const ServerSettings& settings);
