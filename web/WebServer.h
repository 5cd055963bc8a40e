// WebServer.h - starting the embedded web server (CivetWeb) with the request
// handler, for the whole process or, in tests, on a port of their own.
#pragma once

#include <memory>
#include <string>

#include "ConnectionPool.h"
#include "ServerMetrics.h"
#include "WebGuards.h"

struct mg_connection;
struct mg_context;

// Worker threads of a web server: each serves one connection at a time,
// from its first byte to its last, so they bound the requests, and the
// clients still sending one, served at once. Each slow client holds a worker
// for at most the request time-out (2 s), so 256 workers leave the page
// answering within about 8 s under a thousand of them. Each thread reserves
// a stack of address space (8 MiB by default), which a 32-bit system has
// room for a few hundred times, and may hold a socket and a database
// connection (file descriptors).
constexpr int kDefaultWebThreads = 256;
constexpr int kMaxWebThreads = 1000;

// Stops the server and waits for its threads. CivetWeb's listening thread
// looks at its stop flag only between waits of up to two seconds, so the
// stop knocks at knockHost:knockPort (a connection wakes the wait at once)
// until the server has stopped; port 0 knocks nowhere.
// userData is what the server's callbacks read through mg_get_user_data,
// released with the handle, after the server's threads have ended.
struct WebServerStop {
  std::string knockHost;
  int knockPort = 0;
  std::shared_ptr<void> userData;
  void operator()(mg_context* context) const;
};
// A running web server; stopping it is releasing the handle.
using WebServer = std::unique_ptr<mg_context, WebServerStop>;

// Starts CivetWeb with beginRequest as its only request callback (its
// answer is the whole answer; the library serves no files), userData for
// the callback (mg_get_user_data; may be null), workerThreads worker threads
// (1 to kMaxWebThreads) at a lower priority than the Modbus loop, no
// keep-alive, a 2 s time-out for a request's header and each write, and a
// listen backlog of 1024.
// With no listening address it listens on port 8080 of every local address
// (the library's default); otherwise on one such as "127.0.0.1:0", or, with
// IPv6 (WebServerSupportsIPv6), "[::1]:8080" or "+8080" (every IPv4 and
// IPv6 address). Returns
// null when the server cannot start, with the reason in *error (when
// given): the first line the library logged while starting, which names
// the address and the system's reason when a port cannot be opened, else
// the library's own summary.
WebServer StartCivetWeb(int (*beginRequest)(mg_connection*), std::shared_ptr<void> userData,
                        const std::string& listeningPorts, int workerThreads, std::string* error);

// Points the web interface at its connections (each request takes one of
// its own) and metrics (a counter set of its own, for the life of the
// process, when null) and starts the server with StartCivetWeb and the
// router of WebInterface.h. access holds the allowed host names and the
// password file (WebGuards.h).
WebServer StartWebServer(ConnectionPool& connections, const std::string& listeningPorts = std::string(),
                         std::string* error = nullptr, ServerMetrics* metrics = nullptr,
                         const WebAccess& access = WebAccess(), int workerThreads = kDefaultWebThreads);

// The port the server listens on (the first one), or 0.
int WebServerPort(const WebServer& server);

// Whether the CivetWeb library in use was built with IPv6, so that its
// listening_ports may name IPv6 addresses ("[::1]:8080", "+8080").
bool WebServerSupportsIPv6();
