// WebServer.cpp - CivetWeb start and stop, with the worker threads and
// time-outs that keep slow clients from holding the page.
#include "WebServer.h"

#include <civetweb.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "ListenAddress.h"
#include "WebInterface.h"

namespace {

// Every thread CivetWeb starts for a server (its listening thread, the
// workers and its timer thread; the web page's and the monitoring
// server's) runs 10 nice levels above the thread that started the server,
// so the Modbus loop, which stays at the process's own level, keeps its
// latency under web load: the web threads take no lock the Modbus loop
// waits on (each request has a database connection of its own), but on a
// machine of few cores a handful of requests reading a week of History keep
// every core busy, and the scheduler then runs a controller's poll first
// while the page waits. Linux keeps a nice value per thread, so no other
// thread is touched; raising one's own nice value needs no privilege, and
// a thread whose priority cannot be read stays as it is.
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

// CivetWeb tells why it could not open a listening port (the address and
// the system's reason) only to its log, and hands mg_start2's caller a
// general "Failed to setup server ports". While a server starts, the
// starting thread (where the ports are opened) keeps the library's first
// log line here, the one that names the cause (the later ones sum it up),
// so that the failure carries the reason; at any other time the library
// logs as it would without the callback.
thread_local std::string* t_startLog = nullptr;

int KeepFirstStartLogLine(const mg_connection* /*connection*/, const char* message) {
  if (t_startLog == nullptr || message == nullptr) {
    return 0;
  }
  if (t_startLog->empty()) {
    t_startLog->assign(message);
  }
  return 1;
}

// How long a worker waits for a request's whole header, and for each write
// of an answer. CivetWeb measures the header's wait from its first read, so
// a client that sends a byte now and then is dropped after this time however
// it trickles. A browser on a LAN sends its header in one segment at once;
// two seconds leave room for a lossy Wi-Fi link. A slow client costs one
// worker for at most this long, so the page answers within about (clients
// waiting ahead / workers) * this time.
constexpr int kRequestTimeoutMs = 2000;
// Connections the kernel keeps waiting for accept. A flood of slow clients
// fills it: beyond it the kernel drops a browser's connection attempt, which
// is tried again only after 1 s, 3 s, 7 s. Waiting there costs the server no
// file descriptor (CivetWeb's own queue, 20 accepted connections, does).
constexpr int kListenBacklog = 1024;

// Opens and closes a TCP connection to host:port (an IPv4 or IPv6 literal).
void Knock(const std::string& host, int port) {
  sockaddr_storage address{};
  socklen_t length = 0;
  if (!FillSocketAddress(host, static_cast<uint16_t>(port), &address, &length)) {
    return;
  }
  const int fd = socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return;
  }
  connect(fd, reinterpret_cast<const sockaddr*>(&address), length);
  close(fd);
}

// Where a stop knocks for a server that listens on listeningPorts ("ADDR:PORT",
// "[ADDR]:PORT", "+PORT" for every IPv4 and IPv6 address, or empty for every
// IPv4 address): the address without brackets, loopback for every address.
std::string KnockHost(const std::string& listeningPorts) {
  const size_t colon = listeningPorts.rfind(':');
  std::string host = colon == std::string::npos ? std::string() : listeningPorts.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    return host == "::" ? "::1" : host;
  }
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

WebServer StartCivetWeb(int (*beginRequest)(mg_connection*), std::shared_ptr<void> userData,
                        const std::string& listeningPorts, int workerThreads, std::string* error) {
  mg_callbacks callbacks{};
  callbacks.begin_request = beginRequest;
  callbacks.init_thread = LowerThreadPriority;
  callbacks.log_message = KeepFirstStartLogLine;
  const std::string threads = std::to_string(workerThreads);
  const std::string requestTimeout = std::to_string(kRequestTimeoutMs);
  const std::string backlog = std::to_string(kListenBacklog);
  // Keep-alive stays off: answers carry no Content-Length and end when the
  // connection closes. Its time-out still bounds an idle connection should
  // it ever be turned on.
  std::vector<const char*> options = {
      "num_threads", threads.c_str(),         "request_timeout_ms",   requestTimeout.c_str(), "enable_keep_alive",
      "no",          "keep_alive_timeout_ms", requestTimeout.c_str(), "listen_backlog",       backlog.c_str()};
  // Without an address the library's default holds: port 8080 on every
  // local address.
  if (!listeningPorts.empty()) {
    options.push_back("listening_ports");
    options.push_back(listeningPorts.c_str());
  }
  options.push_back(nullptr);
  mg_init_data init{};
  init.callbacks = &callbacks;
  init.user_data = userData.get();
  init.configuration_options = options.data();
  unsigned code = 0;
  char reason[256] = "";
  mg_error_data failure{&code, reason, sizeof reason};
  std::string startLog;
  t_startLog = &startLog;
  WebServer server(mg_start2(&init, &failure), WebServerStop{KnockHost(listeningPorts), 0, std::move(userData)});
  t_startLog = nullptr;
  if (!server && error != nullptr) {
    if (!startLog.empty()) {
      *error = startLog;
    } else {
      *error = reason[0] != '\0' ? reason : "unknown reason";
    }
  }
  server.get_deleter().knockPort = WebServerPort(server);
  return server;
}

WebServer StartWebServer(ConnectionPool& connections, const std::string& listeningPorts, std::string* error,
                         ServerMetrics* metrics, const WebAccess& access, int workerThreads) {
  static ServerMetrics ownMetrics;
  CWebInterface& web = CWebInterface::GetInstance();
  web.m_connections = &connections;
  web.m_metrics = metrics != nullptr ? metrics : &ownMetrics;
  web.m_access = access;
  return StartCivetWeb(BeginRequest, nullptr, listeningPorts, workerThreads, error);
}

int WebServerPort(const WebServer& server) {
  mg_server_port ports[1] = {};
  if (!server || mg_get_server_ports(server.get(), 1, ports) < 1) {
    return 0;
  }
  return ports[0].port;
}

bool WebServerSupportsIPv6() {
  constexpr unsigned kFeatureIPv6 = 8;  // mg_check_feature's bit for IPv6
  return mg_check_feature(kFeatureIPv6) != 0;
}
