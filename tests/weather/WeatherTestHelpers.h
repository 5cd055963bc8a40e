// WeatherTestHelpers.h - what the weather tests share: the fixture (a fresh
// database, captured log, fixed clock and a fixture service the fetches go
// to), expected rows, and the weather lines picked out of the log.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "FixtureWeatherServer.h"
#include "SqlTypes.h"
#include "TestDatabase.h"
#include "WeatherFetch.h"

namespace veld_test {

constexpr int64_t kNow = 1700000000;
const char* const kPayloadLine = "FYI: HTTP Payload recived.";

class WeatherTest : public ::testing::Test {
 protected:
  void SetUp() override { SetWeatherServiceUrl(server.Url()); }
  void TearDown() override { SetWeatherServiceUrl(""); }

  void Answer(std::string body, int status = 200) {
    FixtureWeatherServer::Answer answer;
    answer.status = status;
    answer.body = std::move(body);
    server.SetAnswer(answer);
  }
  SqlRows DataRows() const {
    return database.Rows("SELECT ModbusOffset, Name, Code, Value, LastUpdated FROM Data ORDER BY ModbusOffset");
  }

  TemporaryDatabase database;
  CapturedLog log;
  FixedClock clock{kNow};
  FixtureWeatherServer server;
};

inline SqlRow Reading(int offset, const std::string& name, const std::string& code, int64_t value,
                      int64_t lastUpdated = kNow) {
  return {{"ModbusOffset", std::to_string(offset)},
          {"Name", name},
          {"Code", code},
          {"Value", std::to_string(value)},
          {"LastUpdated", std::to_string(lastUpdated)}};
}

// The weather feed's own lines, in order, without the SQL statements the
// store logs; the payload line is cut to its fixed start, since the header
// it carries runs over several lines.
inline std::vector<std::string> WeatherLines(const std::string& log) {
  static const char* const kPrefixes[] = {"Error: ", "FYI: Name=", "FYI: Invalid row", "FYI: The data is too old"};
  std::vector<std::string> lines;
  std::istringstream stream(log);
  std::string line;
  while (std::getline(stream, line)) {
    if (line.rfind(kPayloadLine, 0) == 0) {
      lines.emplace_back(kPayloadLine);
      continue;
    }
    for (const char* prefix : kPrefixes) {
      if (line.rfind(prefix, 0) == 0) {
        lines.push_back(line);
        break;
      }
    }
  }
  return lines;
}

inline std::string CurlErrorLine(int code, const std::string& message, const std::string& url) {
  return "Error: CURL Error. ErrorCode=[" + std::to_string(code) + "], ErrorMessage=[" + message + "] url=[" + url +
         "]";
}

}  // namespace veld_test
