// FixtureWeatherServer.cpp - the scripted weather service, over CivetWeb.
#include "FixtureWeatherServer.h"

#include <arpa/inet.h>
#include <civetweb.h>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

// libcurl and CivetWeb are set up once for every test program that uses the
// fixture service, as the server does at start-up.
class HttpLibrariesEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    mg_init_library(0);
  }
  void TearDown() override {
    mg_exit_library();
    curl_global_cleanup();
  }
};

const auto* const kHttpLibrariesEnvironment = ::testing::AddGlobalTestEnvironment(new HttpLibrariesEnvironment);

}  // namespace

namespace veld_test {

FixtureWeatherServer::FixtureWeatherServer() {
  m_script.emplace_back();
  const char* options[] = {"listening_ports", "127.0.0.1:0", "num_threads", "4", "enable_keep_alive", "no", nullptr};
  mg_callbacks callbacks{};
  // CivetWeb's own error lines are noise in the test output.
  callbacks.log_message = [](const mg_connection*, const char*) { return 1; };
  m_context = mg_start(&callbacks, nullptr, options);
  if (m_context == nullptr) {
    throw std::runtime_error("cannot start the fixture weather server");
  }
  mg_set_request_handler(m_context, "/", &FixtureWeatherServer::Handle, this);
  mg_server_port port{};
  if (mg_get_server_ports(m_context, 1, &port) != 1 || port.port == 0) {
    mg_stop(m_context);
    throw std::runtime_error("the fixture weather server has no port");
  }
  m_port = port.port;
}

FixtureWeatherServer::~FixtureWeatherServer() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
  }
  m_stopping.notify_all();
  // CivetWeb's accept loop looks at its stop flag only between polls of
  // the listening socket, two seconds apart; connecting wakes it at once.
  std::atomic<bool> stopped{false};
  std::thread waker([this, &stopped] {
    while (!stopped) {
      const int knock = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      address.sin_port = htons(static_cast<uint16_t>(m_port));
      connect(knock, reinterpret_cast<sockaddr*>(&address), sizeof address);
      close(knock);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  mg_stop(m_context);
  stopped = true;
  waker.join();
}

std::string FixtureWeatherServer::Url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

void FixtureWeatherServer::Script(std::vector<Answer> answers) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  m_script.assign(answers.begin(), answers.end());
  if (m_script.empty()) {
    m_script.emplace_back();
  }
}

std::vector<FixtureWeatherServer::Request> FixtureWeatherServer::Requests() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_requests;
}

int FixtureWeatherServer::Handle(mg_connection* connection, void* self) {
  return static_cast<FixtureWeatherServer*>(self)->Serve(connection);
}

int FixtureWeatherServer::Serve(mg_connection* connection) {
  const mg_request_info* info = mg_get_request_info(connection);
  Request request;
  request.target = info->local_uri_raw != nullptr ? info->local_uri_raw : "";
  if (info->query_string != nullptr) {
    request.target += std::string("?") + info->query_string;
  }
  for (int i = 0; i < info->num_headers; ++i) {
    if (strcasecmp(info->http_headers[i].name, "Accept") == 0) {
      request.accept.emplace_back(info->http_headers[i].value);
    }
  }

  Answer answer;
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_requests.push_back(std::move(request));
    answer = m_script.front();
    if (m_script.size() > 1) {
      m_script.pop_front();
    }
    if (m_stopping.wait_for(lock, answer.delay, [this] { return m_stop; })) {
      return 503;
    }
  }

  std::string head = "HTTP/1.1 " + std::to_string(answer.status) + " " +
                     mg_get_response_code_text(connection, answer.status) +
                     "\r\nContent-Type: application/json\r\nConnection: close\r\n";
  if (!answer.location.empty()) {
    head += "Location: " + answer.location + "\r\n";
  }
  if (!answer.lastModified.empty()) {
    head += "Last-Modified: " + answer.lastModified + "\r\n";
  }
  if (answer.sendLength) {
    head += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
  }
  head += "\r\n";
  mg_write(connection, head.data(), head.size());
  mg_write(connection, answer.body.data(), answer.body.size());
  return answer.status;
}

RefusingPort::RefusingPort() {
  m_socket = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (m_socket < 0 || bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (m_socket >= 0) {
      close(m_socket);
    }
    throw std::runtime_error("cannot bind a loopback port");
  }
  m_port = ntohs(address.sin_port);
}

RefusingPort::~RefusingPort() { close(m_socket); }

}  // namespace veld_test
