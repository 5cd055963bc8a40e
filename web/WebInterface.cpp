// WebInterface.cpp - the request router: log the request, serve a static
// route, or read the parameters and run the view or an action.
#include "WebInterface.h"

#include <civetweb.h>

#include <cstring>

#include "ConsoleLog.h"
#include "DataView.h"
#include "HistoryView.h"
#include "MonitoringPages.h"
#include "QueryString.h"
#include "RegisterMap.h"
#include "StaticFiles.h"
#include "WebActions.h"
#include "WebResponses.h"

namespace {

// Defaults of the per-request settings.
constexpr int kDefaultLimit = 30;
constexpr int kDefaultOffset = 0;

// The value of the first header named exactly "Accept" (case-sensitive).
std::string AcceptHeader(const mg_request_info* info) {
  for (int i = 0; i < info->num_headers; ++i) {
    if (std::strcmp(info->http_headers[i].name, "Accept") == 0) {
      return info->http_headers[i].value;
    }
  }
  return std::string();
}

std::string Parameter(const QueryParameters& parameters, const char* key, const std::string& fallback) {
  const auto found = parameters.find(key);
  return found != parameters.end() ? found->second : fallback;
}

}  // namespace

CWebInterface& CWebInterface::GetInstance() {
  static CWebInterface instance;
  return instance;
}

int CWebInterface::SendDataView(mg_connection* conn, const std::string& accept, int offset, int limit,
                                const std::string& postal) {
  return ::SendDataView(conn, *m_database, accept, offset, limit, postal);
}

int CWebInterface::HandleRequest(mg_connection* conn) {
  const mg_request_info* info = mg_get_request_info(conn);
  if (info == nullptr) {
    ConsoleLog("Error: Invlid HTTP request. http_request_info==NULL\n");
    return 0;
  }
  std::string accept = AcceptHeader(info);
  ConsoleLog("FYI: HTTP Request: request_uri=[%s] query_string=[%s] Accept=[%s]\n",
             info->request_uri != nullptr ? info->request_uri : "(null)",
             info->query_string != nullptr ? info->query_string : "(null)", accept.c_str());

  const char* localUri = info->local_uri != nullptr ? info->local_uri : info->request_uri;
  const std::string path = localUri != nullptr ? localUri : "";
  if (path == "/healthz") {
    return SendHealth(conn, *m_database, *m_metrics);
  }
  if (path == "/metrics") {
    return SendMetrics(conn, *m_database, *m_metrics);
  }
  // Read-only views for charts and integrators, JSON or CSV whatever the
  // Accept header.
  if (path == "/history") {
    return SendHistory(conn, *m_database, info->query_string);
  }
  if (path == "/registers.csv") {
    return SendRegisterMapCsv(conn, *m_database);
  }
  if (path == "/registers.json") {
    return SendRegisterMapJson(conn, *m_database);
  }
  if (SendStaticFile(conn, path, accept)) {
    return 200;
  }

  QueryParameters parameters;
  ParseQueryString(info->query_string, parameters);
  const auto number = [&parameters](const char* key, int fallback) {
    const auto found = parameters.find(key);
    return found != parameters.end() ? ParseNumber(found->second) : fallback;
  };
  const int limit = number("limit", kDefaultLimit);
  const int offset = number("offset", kDefaultOffset);
  // The postal code is decoded once here; the weather fetch encodes it again
  // for its own request, and rows are stored and compared decoded.
  const std::string postal = PercentDecode(Parameter(parameters, "postal", ""));
  std::string action = Parameter(parameters, "action", "view");
  if (path == "/db") {
    action = "view";
    accept = "text/html";
  }

  if (action == "view") {
    return SendDataView(conn, accept, offset, limit, postal);
  }
  if (action == "write") {
    return HandleWriteAction(conn, *m_database, accept, parameters);
  }
  if (action == "add") {
    return HandleAddAction(conn, *m_database, accept, parameters);
  }
  return SendError(conn, accept, 400, "unknown action");
}

int BeginRequest(mg_connection* conn) {
  CWebInterface& web = CWebInterface::GetInstance();
  const int status = web.HandleRequest(conn);
  web.m_metrics->NoteWebRequest(status);
  return status;
}
