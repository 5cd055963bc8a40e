// WebServer.cpp - CivetWeb start and stop.
#include "WebServer.h"

#include <arpa/inet.h>
#include <civetweb.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "WebInterface.h"

namespace {

// The web threads run at a lower priority than the Modbus loop. They no
// longer share its connection or wait for its statements, but on a machine
// of few cores ten web requests reading a week of History keep every core
// busy: a lower priority lets the scheduler run a controller's poll as soon
// as it arrives, and the page waits. Linux keeps a nice value per thread.
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

// Opens and closes a TCP connection to host:port (an IPv4 literal).
void Knock(const std::string& host, int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    return;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return;
  }
  connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  close(fd);
}

// Where a stop knocks for a server that listens on listeningPorts ("ADDR:PORT",
// or empty for every address): the address, loopback for every address.
std::string KnockHost(const std::string& listeningPorts) {
  const size_t colon = listeningPorts.rfind(':');
  const std::string host = colon == std::string::npos ? std::string() : listeningPorts.substr(0, colon);
  return host.empty() || host == "0.0.0.0" ? "127.0.0.1" : host;
}

}  // namespace

void WebServerStop::operator()(mg_context* context) const {
  std::atomic<bool> stopped{false};
  std::thread knocker([this, &stopped] {
    while (knockPort != 0 && !stopped.load()) {
      Knock(knockHost, knockPort);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  mg_stop(context);
  stopped = true;
  knocker.join();
}

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
  WebServer server(mg_start2(&init, &failure), WebServerStop{KnockHost(listeningPorts), 0});
  if (!server && error != nullptr) {
    *error = reason[0] != '\0' ? reason : "unknown reason";
  }
  server.get_deleter().knockPort = WebServerPort(server);
  return server;
}

int WebServerPort(const WebServer& server) {
  mg_server_port ports[1] = {};
  if (!server || mg_get_server_ports(server.get(), 1, ports) < 1) {
    return 0;
  }
  return ports[0].port;
}
