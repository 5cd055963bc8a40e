// WebServer.cpp - CivetWeb start and stop.
#include "WebServer.h"

#include <civetweb.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

#include "WebInterface.h"

namespace {

// The web threads run at a lower priority than the Modbus loop: when the
// machine is busy, a controller's poll is answered first and the page
// waits. Linux keeps a nice value per thread.
constexpr int kWebThreadNiceIncrement = 10;

void* LowerThreadPriority(const mg_context* /*context*/, int /*threadType*/) {
  const pid_t thread = gettid();
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
  if (errno == 0) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(thread), current + kWebThreadNiceIncrement);
  }
  return nullptr;
}

}  // namespace

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
  callbacks.init_thread = LowerThreadPriority;
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
