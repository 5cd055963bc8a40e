// WebInterface.h - CWebInterface, the web interface's one object, and the
// request handler the embedded web server calls for every request: static
// routes, the monitoring routes, the history and register map views, the
// data view, and the write and add actions, behind the guards of
// WebGuards.h.
#pragma once

#include <optional>
#include <string>

#include "ConnectionPool.h"
#include "ServerMetrics.h"
#include "WebGuards.h"

struct mg_connection;
struct mg_request_info;

class CWebInterface {
 public:
  // The single instance, created on first use.
  static CWebInterface& GetInstance();

  // Answers the request completely; returns the status sent, or 0 when the
  // connection carries no request (the library then deals with it). In
  // order: the log line; with a password file, 401 without valid
  // credentials; 405 for a method other than GET and HEAD; the routes; and
  // for the requests that change the table (the write and add actions, a
  // look-up of a postal code without rows) 405 for HEAD and 403 when
  // ChangeRefusal refuses them, and for that look-up 429 when
  // m_access.maxPostalCodes codes are stored.
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
  // The request's first checks: with a password file, 401 without valid
  // credentials; 405 for a method other than GET and HEAD. Returns the
  // status sent, or 0 when the request may go on.
  int RefuseUnservedRequest(mg_connection* conn, const mg_request_info& info, const std::string& accept) const;
  // The routes of a fixed path: /healthz, /metrics, /history, the register
  // map and the static files. Returns the status sent, or nothing when path
  // is none of them.
  std::optional<int> ServeFixedRoute(mg_connection* conn, CSQLiteDatabase& database, const mg_request_info& info,
                                     const std::string& path, const std::string& accept) const;
  // The data view (/db and any other path) or the action the query names:
  // its parameters read, the guards of a new postal code or a change
  // passed. Returns the status sent.
  int ServeViewOrAction(mg_connection* conn, CSQLiteDatabase& database, const mg_request_info& info,
                        const std::string& path, std::string accept) const;
  // Refuses a request that changes the table (action names it in the log
  // line): 405 for HEAD, 403 with ChangeRefusal's reason. Returns the
  // status sent, or 0 when the request may go on.
  int GuardChange(mg_connection* conn, const std::string& accept, const std::string& action) const;
  // For a look-up of a postal code without rows: GuardChange, then 429 when
  // no other code may be stored. Returns the status sent, or 0.
  int GuardNewPostalCode(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept,
                         const std::string& postal) const;
};

// The begin-request callback registered with the web server library.
int BeginRequest(mg_connection* conn);
