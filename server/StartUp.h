// StartUp.h - the program's start-up: banner and versions, libcurl, the
// Modbus stack with its callbacks, the database (created and seeded on first
// start), the web server, the browser, the listener, then the service loop.
#pragma once

// Exit codes of a failed start-up.
constexpr int kExitNoCurlOrStack = 1;
constexpr int kExitCannotCreateDatabase = 2;
constexpr int kExitCannotCreateTable = 3;
constexpr int kExitWebServerFailed = 4;
constexpr int kExitModbusListenFailed = 5;

// Runs start-up and then the service loop; returns only with an exit code
// of a failed start-up.
int RunServer();
