// StartUp.h - the program's start-up: banner and versions, libcurl, the
// Modbus stack with its callbacks, the database (created and seeded on first
// start, its History table added when missing), the web server, the browser, the listener, then the service loop
// until SIGTERM or SIGINT.
#pragma once

#include "ServerOptions.h"

// Exit codes of a failed start-up.
constexpr int kExitNoCurlOrStack = 1;
constexpr int kExitCannotCreateDatabase = 2;
constexpr int kExitCannotCreateTable = 3;
constexpr int kExitWebServerFailed = 4;
constexpr int kExitModbusListenFailed = 5;

// Runs start-up with these settings and then the service loop. Returns the
// exit code of a failed start-up, or 0 once a termination signal has
// stopped the server in order (log written out, web server stopped,
// database closed).
int RunServer(const ServerSettings& settings);
