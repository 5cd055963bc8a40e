// FixtureWeatherServer.h - a scripted stand-in for the weather service: an
// in-process HTTP server on 127.0.0.1 (ephemeral port) that answers every
// request with the answer the test set and records what each request asked.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

struct mg_connection;
struct mg_context;

namespace veld_test {

class FixtureWeatherServer {
 public:
  struct Answer {
    int status = 200;
    std::string body;
    // How long the server waits before answering.
    std::chrono::milliseconds delay{0};
    // Sent as a Location header when not empty.
    std::string location;
    // Without a Content-Length the body ends when the connection closes.
    bool sendLength = true;
    // Sent as a Last-Modified header when not empty.
    std::string lastModified;
  };
  struct Request {
    std::string target;               // path and raw query, e.g. "/api?postalCode=K1A%200B1"
    std::vector<std::string> accept;  // the values of every Accept header
  };

  // Starts the server; throws std::runtime_error when it cannot.
  FixtureWeatherServer();
  // Wakes a delayed answer and stops the server.
  ~FixtureWeatherServer();
  FixtureWeatherServer(const FixtureWeatherServer&) = delete;
  FixtureWeatherServer& operator=(const FixtureWeatherServer&) = delete;

  // "http://127.0.0.1:<port>"
  std::string Url() const;
  // The answer for every following request.
  void SetAnswer(Answer answer) { Script({std::move(answer)}); }
  // Answers given in turn; the last one is repeated.
  void Script(std::vector<Answer> answers);
  std::vector<Request> Requests() const;

 private:
  static int Handle(mg_connection* connection, void* self);
  int Serve(mg_connection* connection);

  mg_context* m_context = nullptr;
  int m_port = 0;
  mutable std::mutex m_mutex;
  std::condition_variable m_stopping;
  bool m_stop = false;
  std::deque<Answer> m_script;
  std::vector<Request> m_requests;
};

// A loopback port that is bound but not listening, so a connection to it is
// refused for as long as the object lives.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  int Port() const { return m_port; }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

 private:
  int m_socket = -1;
  int m_port = 0;
};

}  // namespace veld_test
