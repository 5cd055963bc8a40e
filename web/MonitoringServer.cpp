// MonitoringServer.cpp - the monitoring server's one request handler, which
// answers with the monitoring pages of the web port and nothing else.
#include "MonitoringServer.h"

#include <civetweb.h>

#include <memory>

#include "MonitoringPages.h"
#include "WebResponses.h"

namespace {

// What the handler reads through the server's user data.
struct MonitoringSources {
  ConnectionPool& connections;
  ServerMetrics& metrics;
};

const char* TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

int AnswerMonitoringRequest(mg_connection* conn, MonitoringSources& sources) {
  const mg_request_info* info = mg_get_request_info(conn);
  if (info == nullptr) {
    return 0;
  }
  const std::string path = TextOrEmpty(info->local_uri != nullptr ? info->local_uri : info->request_uri);
  const std::string method = TextOrEmpty(info->request_method);
  const std::string accept = TextOrEmpty(mg_get_header(conn, "Accept"));
  if (path != "/healthz" && path != "/metrics") {
    return SendError(conn, accept, 404, "Only /healthz and /metrics are served here");
  }
  if (method != "GET" && method != "HEAD") {
    return SendError(conn, accept, 405, "Only GET and HEAD are served", "Allow: GET, HEAD\r\n");
  }
  const ConnectionPool::Lease lease = sources.connections.Take();
  return path == "/healthz" ? SendHealth(conn, *lease, sources.metrics) : SendMetrics(conn, *lease, sources.metrics);
}

int BeginMonitoringRequest(mg_connection* conn) {
  auto* sources = static_cast<MonitoringSources*>(mg_get_user_data(mg_get_context(conn)));
  const int status = AnswerMonitoringRequest(conn, *sources);
  sources->metrics.NoteWebRequest(status);
  return status;
}

}  // namespace

WebServer StartMonitoringServer(ConnectionPool& connections, ServerMetrics& metrics, const std::string& listeningPorts,
                                std::string* error) {
  auto sources = std::make_shared<MonitoringSources>(MonitoringSources{connections, metrics});
  return StartCivetWeb(BeginMonitoringRequest, std::move(sources), listeningPorts, kMonitoringThreads, error);
}
