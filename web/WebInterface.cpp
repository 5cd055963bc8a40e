// WebInterface.cpp - the request router: log the request, check the
// credentials and the method, serve a static route, or read the parameters
// and run the view or an action, a look-up of a new postal code and the
// actions past the guard of changing requests.
#include "WebInterface.h"

#include <civetweb.h>
#include <strings.h>

#include <cstring>
#include <optional>

#include "ConsoleLog.h"
#include "DataTable.h"
#include "DataView.h"
#include "HistoryView.h"
#include "MonitoringPages.h"
#include "QueryString.h"
#include "RegisterMap.h"
#include "StaticFiles.h"
#include "WebActions.h"
#include "WebGuards.h"
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

const char* const kAllowGetAndHead = "Allow: GET, HEAD\r\n";
// A request that changes the table runs on GET only.
const char* const kAllowGet = "Allow: GET\r\n";

const char* Printable(const char* text) { return text != nullptr ? text : "(null)"; }

RequestSite SiteOf(mg_connection* conn) {
  RequestSite site;
  site.host = mg_get_header(conn, "Host");
  site.origin = mg_get_header(conn, "Origin");
  site.referer = mg_get_header(conn, "Referer");
  site.fetchSite = mg_get_header(conn, "Sec-Fetch-Site");
  site.userAgent = mg_get_header(conn, "User-Agent");
  site.pageRequest = mg_get_header(conn, kPageRequestHeader);
  const mg_request_info* info = mg_get_request_info(conn);
  for (int i = 0; info != nullptr && i < info->num_headers; ++i) {
    site.fetchMetadata = site.fetchMetadata || strncasecmp(info->http_headers[i].name, "Sec-Fetch-", 10) == 0;
  }
  return site;
}

}  // namespace

CWebInterface& CWebInterface::GetInstance() {
  static CWebInterface instance;
  return instance;
}

int CWebInterface::HandleRequest(mg_connection* conn) {
  const mg_request_info* info = mg_get_request_info(conn);
  if (info == nullptr) {
    LogError("Error: Invlid HTTP request. http_request_info==NULL\n");
    return 0;
  }
  const std::string accept = AcceptHeader(info);
  LogInfo("FYI: HTTP Request: request_uri=[%s] query_string=[%s] Accept=[%s]\n", Printable(info->request_uri),
          Printable(info->query_string), accept.c_str());
  if (const int refused = RefuseUnservedRequest(conn, *info, accept); refused != 0) {
    return refused;
  }
  const char* localUri = info->local_uri != nullptr ? info->local_uri : info->request_uri;
  const std::string path = localUri != nullptr ? localUri : "";
  // This request's own connection: requests never wait for each other's
  // statements, nor for the Modbus loop's.
  const ConnectionPool::Lease lease = m_connections->Take();
  CSQLiteDatabase& database = *lease;
  if (const std::optional<int> status = ServeFixedRoute(conn, database, *info, path, accept)) {
    return *status;
  }
  return ServeViewOrAction(conn, database, *info, path, accept);
}

int CWebInterface::RefuseUnservedRequest(mg_connection* conn, const mg_request_info& info,
                                         const std::string& accept) const {
  if (!m_access.authFile.empty()) {
    if (const int refused = RequireDigestAuthentication(conn, m_access.authFile); refused != 0) {
      return refused;
    }
  }
  const std::string method = Printable(info.request_method);
  if (method != "GET" && method != "HEAD") {
    LogWarning("Error: HTTP method [%s] refused: only GET and HEAD are served\n", method.c_str());
    return SendError(conn, accept, 405, "Only GET and HEAD are served", kAllowGetAndHead);
  }
  return 0;
}

std::optional<int> CWebInterface::ServeFixedRoute(mg_connection* conn, CSQLiteDatabase& database,
                                                  const mg_request_info& info, const std::string& path,
                                                  const std::string& accept) const {
  if (path == "/healthz") {
    return SendHealth(conn, database, *m_metrics);
  }
  if (path == "/metrics") {
    return SendMetrics(conn, database, *m_metrics);
  }
  // Read-only views for charts and integrators, JSON or CSV whatever the
  // Accept header.
  if (path == "/history") {
    return SendHistory(conn, database, info.query_string);
  }
  if (path == "/registers.csv") {
    return SendRegisterMapCsv(conn, database);
  }
  if (path == "/registers.json") {
    return SendRegisterMapJson(conn, database);
  }
  if (SendStaticFile(conn, path, accept)) {
    return 200;
  }
  return std::nullopt;
}

int CWebInterface::ServeViewOrAction(mg_connection* conn, CSQLiteDatabase& database, const mg_request_info& info,
                                     const std::string& path, std::string accept) const {
  const char* query = info.query_string;
  const auto number = [query](const char* key, int fallback) {
    const std::optional<std::string> value = QueryValue(query, key);
    return value ? ParseNumber(*value) : fallback;
  };
  const int limit = number("limit", kDefaultLimit);
  const int offset = number("offset", kDefaultOffset);
  // The postal code is decoded once here; the weather fetch encodes it again
  // for its own request, and rows are stored and compared decoded.
  const std::string postal = QueryText(query, "postal");
  std::string action = QueryValue(query, "action").value_or("view");
  if (path == "/db") {
    action = "view";
    accept = "text/html";
  }

  WeatherStoreLimits limits;
  limits.maxPostalCodes = m_access.maxPostalCodes;
  if (action == "view") {
    if (!postal.empty()) {
      if (const int refused = GuardNewPostalCode(conn, database, accept, postal); refused != 0) {
        return refused;
      }
    }
    return SendDataView(conn, database, accept, offset, limit, postal, limits);
  }
  if (action != "write" && action != "add") {
    return SendError(conn, accept, 400, "unknown action");
  }
  if (const int refused = GuardChange(conn, accept, action); refused != 0) {
    return refused;
  }
  if (action == "write") {
    return HandleWriteAction(conn, database, accept, query);
  }
  return HandleAddAction(conn, database, accept, query);
}

int CWebInterface::GuardChange(mg_connection* conn, const std::string& accept, const std::string& action) const {
  const mg_request_info* info = mg_get_request_info(conn);
  if (std::strcmp(info->request_method, "HEAD") == 0) {
    LogWarning("Error: action=%s from [%s] refused: HEAD does not change the table\n", action.c_str(),
               info->remote_addr);
    return SendError(conn, accept, 405, "HEAD does not change the table; use GET", kAllowGet);
  }
  const std::string refusal = ChangeRefusal(SiteOf(conn), m_access.allowedHosts);
  if (!refusal.empty()) {
    LogWarning("Error: action=%s from [%s] refused: %s\n", action.c_str(), info->remote_addr, refusal.c_str());
    return SendError(conn, accept, 403, "action refused: " + refusal);
  }
  return 0;
}

int CWebInterface::GuardNewPostalCode(mg_connection* conn, CSQLiteDatabase& database, const std::string& accept,
                                      const std::string& postal) const {
  int64_t storedCodes = 0;
  const PostalCodeRoom room = CheckPostalCodeRoom(database, postal, m_access.maxPostalCodes, &storedCodes);
  // A table that cannot be read is guarded as if the code were new; the
  // view then answers the database's failure.
  if (room == PostalCodeRoom::kKnown) {
    return 0;
  }
  if (const int refused = GuardChange(conn, accept, "view"); refused != 0) {
    return refused;
  }
  if (room == PostalCodeRoom::kFull) {
    const mg_request_info* info = mg_get_request_info(conn);
    LogWarning(
        "Error: action=view from [%s] refused: a new postal code, and [%lld] are stored, the most "
        "--max-postal-codes allows\n",
        info->remote_addr, static_cast<long long>(storedCodes));
    return SendError(
        conn, accept, 429,
        "No more postal codes can be stored (" + std::to_string(storedCodes) + " are); look up one of those");
  }
  return 0;
}

int BeginRequest(mg_connection* conn) {
  CWebInterface& web = CWebInterface::GetInstance();
  const int status = web.HandleRequest(conn);
  web.m_metrics->NoteWebRequest(status);
  return status;
}
