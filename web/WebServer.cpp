// WebServer.cpp - CivetWeb start and stop.
#include "WebServer.h"

#include <civetweb.h>

#include "WebInterface.h"

void WebServerStop::operator()(mg_context* context) const { mg_stop(context); }

WebServer StartWebServer(ConnectionPool& connections, const std::string& listeningPorts, std::string* error,
                         ServerMetrics* metrics, const WebAccess& access) {
  static ServerMetrics ownMetrics;
  CWebInterface& web = CWebInterface::GetInstance();
  web.m_connections = &connections;
  web.m_metrics = metrics != nullptr ? metrics : &ownMetrics;
  web.m_access = access;
  mg_callbacks callbacks{};
  callbacks.begin_request = BeginRequest;
  // CivetWeb 1.15's defaults are the ones this server wants (see above), so
  // the process's server gets no options at all.
  const char* options[] = {"listening_ports", listeningPorts.c_str(), nullptr};
  mg_init_data init{};
  init.callbacks = &callbacks;
  init.configuration_options = listeningPorts.empty() ? nullptr : options;
  unsigned code = 0;
  char reason[256] = "";
  mg_error_data failure{&code, reason, sizeof reason};
  WebServer server(mg_start2(&init, &failure));
  if (!server && error != nullptr) {
    *error = reason[0] != '\0' ? reason : "unknown reason";
  }
  return server;
}

int WebServerPort(const WebServer& server) {
  mg_server_port ports[1] = {};
  if (!server || mg_get_server_ports(server.get(), 1, ports) < 1) {
    return 0;
  }
  return ports[0].port;
}
