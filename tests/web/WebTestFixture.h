// WebTestFixture.h - what the web interface's HTTP tests share: the web
// server started in-process on a loopback port over a temporary database,
// the scripted weather service the postal lookups go to, a raw HTTP client
// (the request goes out byte for byte as the test wrote it, the answer is
// read until the server closes), and JSON answers read back with RapidJSON.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ConnectionPool.h"
#include "FixtureWeatherServer.h"
#include "SqlTypes.h"
#include "TestDatabase.h"
#include "WebServer.h"

namespace veld_test {

struct HttpAnswer {
  bool closed = false;  // the server closed the connection within the time-out
  std::string head;     // status line and headers, up to and without the blank line
  int status = 0;
  std::vector<std::pair<std::string, std::string>> headers;  // in the order sent
  std::string body;

  // The value of the first header with this name (exact case); "<absent>"
  // when there is none, so that an empty value stays distinguishable.
  std::string Header(const std::string& name) const;
};

// Sends request to 127.0.0.1:port and reads the whole answer (at most 10 s).
HttpAnswer SendRaw(int port, const std::string& request);

// "GET <target> HTTP/1.1" with a Host header and, when given, the extra
// header lines (each ending in "\r\n").
std::string GetRequest(const std::string& target, const std::string& headerLines = "");

constexpr int64_t kNow = 1700000000;
// Rows the fixture starts with, at offsets 0 to 44.
constexpr int kSeededRows = 45;
const char* const kJsonType = "application/json";
const char* const kBrowserAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
const char* const kHtmlHeading = "<h1>VELD Modbus Sample Server</h1>";

// Readings the weather service answers in the postal tests.
const char* const kTwoReadings = R"([{"Name": "temp", "Value": 21.5}, {"Name": "humidity", "Value": "64"}])";

class WebTest : public ::testing::Test {
 protected:
  // Seeds the table (see Seed) and starts the server.
  void SetUp() override;
  void TearDown() override;
  // Starts the server again, on a new port, with these guards' settings.
  void Restart(const WebAccess& access);
  int Port() const { return m_port; }

  // Offsets 0-19 code "0", 20-29 "V1L", 30-34 "v1l 3a5", 35-39 "90001",
  // 40-44 "W1L"; named "reading.<offset>", the offset as value, updated at
  // 1600000000 + offset.
  void Seed() const;

  HttpAnswer Send(const std::string& request) const { return SendRaw(m_port, request); }
  // GET without an Accept header.
  HttpAnswer Get(const std::string& target) const { return Send(GetRequest(target)); }
  HttpAnswer GetWithAccept(const std::string& target, const std::string& accept) const {
    return Send(GetRequest(target, "Accept: " + accept + "\r\n"));
  }
  HttpAnswer GetJson(const std::string& target) const { return GetWithAccept(target, kJsonType); }

  // Every row, ordered by offset, read on a connection of its own.
  SqlRows Table() const { return database.Rows("SELECT * FROM Data ORDER BY ModbusOffset"); }
  SqlRow RowAt(int offset) const;
  void SetWeatherAnswer(const std::string& body);

  TemporaryDatabase database;
  CapturedLog log;
  FixedClock clock{kNow};
  FixtureWeatherServer weather;
  // The web requests' connections to the database's file.
  ConnectionPool connections{database.Path()};
  WebServer server;

 private:
  int m_port = 0;
};

// The body as rows: fails the test unless it is a JSON array of objects whose
// members are all strings.
SqlRows JsonRows(const std::string& body);
std::vector<int> OffsetsOf(const SqlRows& rows);
// Offsets first, first + 1, ..., last.
std::vector<int> Range(int first, int last);
// The JSON and text error bodies.
std::string JsonError(int status, const std::string& message);
std::string TextError(int status, const std::string& message);

}  // namespace veld_test
