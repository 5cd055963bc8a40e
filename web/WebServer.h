// WebServer.h - starting the embedded web server (CivetWeb) with the request
// handler, for the whole process or, in tests, on a port of their own.
#pragma once

#include <memory>
#include <string>

#include "ConnectionPool.h"
#include "ServerMetrics.h"
#include "WebGuards.h"

struct mg_context;

// Stops the server and waits for its threads. CivetWeb's listening thread
// looks at its stop flag only between waits of up to two seconds, so the
// stop knocks at knockHost:knockPort (a connection wakes the wait at once)
// until the server has stopped; port 0 knocks nowhere.
struct WebServerStop {
  std::string knockHost;
  int knockPort = 0;
  void operator()(mg_context* context) const;
};
// A running web server; stopping it is releasing the handle.
using WebServer = std::unique_ptr<mg_context, WebServerStop>;

// Points the web interface at its connections (each request takes one of
// its own) and metrics (a counter set of its
// own, for the life of the process, when null) and starts the server with
// only the begin-request callback. With no listening address the library's defaults
// hold (port 8080 on every local address, 50 worker threads, no keep-alive,
// no document root); otherwise one such as "127.0.0.1:0". Returns null when
// the server cannot start, with the library's reason in *error (when given).
// access holds the allowed host names and the password file (WebGuards.h).
WebServer StartWebServer(ConnectionPool& connections, const std::string& listeningPorts = std::string(),
                         std::string* error = nullptr, ServerMetrics* metrics = nullptr,
                         const WebAccess& access = WebAccess());

// The port the server listens on (the first one), or 0.
int WebServerPort(const WebServer& server);
