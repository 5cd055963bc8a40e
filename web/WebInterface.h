// WebInterface.h - CWebInterface, the web interface's one object, and the
// request handler the embedded web server calls for every request: static
// routes, the monitoring routes, the history and register map views, the
// data view, and the write and add actions, behind the guards of
// WebGuards.h.
#pragma once

#include <string>

#include "ConnectionPool.h"
#include "ServerMetrics.h"
#include "WebGuards.h"

struct mg_connection;

class CWebInterface {
 public:
  // The single instance, created on first use.
  static CWebInterface& GetInstance();

  // Answers the request completely; returns the status sent, or 0 when the
  // connection carries no request (the library then deals with it). In
  // order: the log line; with a password file, 401 without valid
  // credentials; 405 for a method other than GET and HEAD; the routes; and
  // for the write and add actions 403 when CrossSiteRefusal refuses them.
  int HandleRequest(mg_connection* conn);

  // The connections requests work on, one of its own for each request
  // while it runs; set once before the server starts.
  ConnectionPool* m_connections = nullptr;
  // The server's counters: web requests are counted into them, and
  // /metrics and /healthz report them. Set with m_connections.
  ServerMetrics* m_metrics = nullptr;
  // The allowed host names and the password file. Set with m_connections.
  WebAccess m_access;

 private:
  CWebInterface() = default;
};

// The begin-request callback registered with the web server library.
int BeginRequest(mg_connection* conn);
