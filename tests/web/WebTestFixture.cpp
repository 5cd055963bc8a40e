// WebTestFixture.cpp - the web tests' raw client, server fixture and helpers,
// and the process-wide set-up of libcurl and CivetWeb.
#include "WebTestFixture.h"

#include <arpa/inet.h>
#include <civetweb.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <rapidjson/document.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "WeatherFetch.h"

namespace veld_test {
namespace {

int Connect(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

constexpr int kAnswerTimeoutSeconds = 10;

void ParseHead(HttpAnswer& answer) {
  std::istringstream lines(answer.head);
  std::string line;
  std::getline(lines, line);
  const size_t blank = line.find(' ');
  answer.status = blank == std::string::npos ? 0 : std::atoi(line.c_str() + blank + 1);
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    const size_t colon = line.find(':');
    if (colon != std::string::npos) {
      const size_t value = line.find_first_not_of(' ', colon + 1);
      answer.headers.emplace_back(line.substr(0, colon), value == std::string::npos ? "" : line.substr(value));
    }
  }
}

std::string CodeOfSeededRow(int offset) {
  if (offset < 20) {
    return "0";
  }
  if (offset < 30) {
    return "V1L";
  }
  if (offset < 35) {
    return "v1l 3a5";
  }
  return offset < 40 ? "90001" : "W1L";
}

}  // namespace

std::string HttpAnswer::Header(const std::string& name) const {
  for (const auto& [key, value] : headers) {
    if (key == name) {
      return value;
    }
  }
  return "<absent>";
}

HttpAnswer SendRaw(int port, const std::string& request) {
  HttpAnswer answer;
  const int fd = Connect(port);
  if (fd < 0) {
    return answer;
  }
  timeval timeout{kAnswerTimeoutSeconds, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  for (size_t sent = 0; sent < request.size();) {
    const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      close(fd);
      return answer;
    }
    sent += static_cast<size_t>(n);
  }
  std::string raw;
  char buffer[16384];
  for (;;) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n == 0) {
      answer.closed = true;
      break;
    }
    if (n < 0) {
      break;  // time-out or reset: the answer stays marked as not closed
    }
    raw.append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  const size_t headEnd = raw.find("\r\n\r\n");
  answer.head = raw.substr(0, headEnd);
  answer.body = headEnd == std::string::npos ? std::string() : raw.substr(headEnd + 4);
  ParseHead(answer);
  return answer;
}

std::string GetRequest(const std::string& target, const std::string& headerLines) {
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headerLines + "\r\n";
}

void WebTest::SetUp() {
  Seed();
  SetWeatherServiceUrl(weather.Url());
  server = StartWebServer(connections, "127.0.0.1:0");
  ASSERT_TRUE(server) << "the web server did not start";
  m_port = WebServerPort(server);
  ASSERT_GT(m_port, 0);
}

void WebTest::Restart(const WebAccess& access) {
  server.reset();
  server = StartWebServer(connections, "127.0.0.1:0", nullptr, nullptr, access);
  ASSERT_TRUE(server) << "the web server did not start again";
  m_port = WebServerPort(server);
  ASSERT_GT(m_port, 0);
}

void WebTest::TearDown() {
  server.reset();
  SetWeatherServiceUrl("");
}

void WebTest::Seed() const {
  for (int offset = 0; offset < kSeededRows; ++offset) {
    database.AddRow(offset, "reading." + std::to_string(offset), CodeOfSeededRow(offset), offset, 1600000000 + offset);
  }
}

SqlRow WebTest::RowAt(int offset) const {
  const SqlRows rows = database.Rows("SELECT * FROM Data WHERE ModbusOffset = " + std::to_string(offset));
  return rows.empty() ? SqlRow{} : rows.front();
}

void WebTest::SetWeatherAnswer(const std::string& body) {
  FixtureWeatherServer::Answer answer;
  answer.body = body;
  weather.SetAnswer(answer);
}

SqlRows JsonRows(const std::string& body) {
  SqlRows rows;
  rapidjson::Document document;
  document.Parse<rapidjson::kParseValidateEncodingFlag>(body.c_str(), body.size());
  if (document.HasParseError() || !document.IsArray()) {
    ADD_FAILURE() << "not a JSON array: " << body;
    return rows;
  }
  for (const auto& element : document.GetArray()) {
    if (!element.IsObject()) {
      ADD_FAILURE() << "not an object in " << body;
      continue;
    }
    SqlRow& row = rows.emplace_back();
    for (const auto& member : element.GetObject()) {
      if (!member.value.IsString()) {
        ADD_FAILURE() << "member " << member.name.GetString() << " is not a string in " << body;
        continue;
      }
      row[std::string(member.name.GetString(), member.name.GetStringLength())] =
          std::string(member.value.GetString(), member.value.GetStringLength());
    }
  }
  return rows;
}

std::vector<int> OffsetsOf(const SqlRows& rows) {
  std::vector<int> offsets;
  for (const SqlRow& row : rows) {
    const auto found = row.find("ModbusOffset");
    offsets.push_back(found != row.end() ? std::stoi(found->second) : -1);
  }
  return offsets;
}

std::vector<int> Range(int first, int last) {
  std::vector<int> offsets;
  for (int offset = first; offset <= last; ++offset) {
    offsets.push_back(offset);
  }
  return offsets;
}

std::string JsonError(int status, const std::string& message) {
  return "{\"errorCode\":" + std::to_string(status) + ",\"errorMessage\":\"" + message + "\"}";
}

std::string TextError(int status, const std::string& message) {
  return "Error(" + std::to_string(status) + ") errorMessage: " + message + " ";
}

}  // namespace veld_test
