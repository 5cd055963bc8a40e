// RangeReadTest.cpp - a read that takes its rows with one statement over the
// range answers what one lookup per register answers: the same words, the
// same fetches and the same rows afterwards, over gaps, missing rows, stale
// rows of several codes, the info rows and the end of the address space,
// in the server's own table and in one made by another tool (no integer key,
// rows stored out of order).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FixtureWeatherServer.h"
#include "RegisterBridge.h"
#include "TestDatabase.h"
#include "WeatherFetch.h"

namespace veld_test {
namespace {

constexpr int64_t kNow = 1'700'000'000;

struct Outcome {
  std::vector<std::vector<uint16_t>> words;  // one per read; empty when refused
  std::vector<uint8_t> exceptions;
  std::vector<std::string> fetched;  // the service's requests in order
  SqlRows rowsAfter;
};

enum class Table { kServers, kWithoutIntegerKey, kGone };

// Runs the same reads over the same table with one of the two read paths.
Outcome ReadAll(bool readRanges, const std::vector<std::pair<uint16_t, uint16_t>>& reads, Table table) {
  TemporaryDatabase temporary;
  CapturedLog log;
  FixedClock clock{kNow};
  FixtureWeatherServer service;
  // The answer lacks "pressure", so a pressure row stays stale after its
  // fetch, which fails it and leaves the request's later codes as they are.
  FixtureWeatherServer::Answer answer;
  answer.body = R"([{"Name":"temp","Value":21.5},{"Name":"humidity","Value":71}])";
  service.SetAnswer(answer);
  SetWeatherServiceUrl(service.Url());
  temporary.AddRow(5, "app.spare.0", "0", 7, kNow - 600);  // the info code: never fetched
  temporary.AddRow(20, "temp", "FRESH", 100, kNow);
  temporary.AddRow(21, "humidity", "STALE", 40, kNow - 31);
  temporary.AddRow(22, "temp", "STALE", 65000, kNow - 31);
  temporary.AddRow(24, "humidity", "FRESH", 33, kNow - 30);
  temporary.AddRow(25, "pressure", "LACKING", 1000, kNow - 600);
  temporary.AddRow(26, "temp", "LATER", 5, kNow - 600);
  temporary.Run("INSERT INTO Data VALUES (27, 'x', 'FRESH', '12abc', " + std::to_string(kNow) + ")");
  temporary.AddRow(65534, "temp", "END", 9, kNow - 600);
  temporary.AddRow(65535, "humidity", "FRESH", 65535, kNow);
  if (table != Table::kServers) {
    temporary.Run("ALTER TABLE Data RENAME TO Kept");
  }
  if (table == Table::kWithoutIntegerKey) {
    temporary.Run(
        "CREATE TABLE Data (ModbusOffset INTEGER, Name TEXT, Code TEXT, Value INTEGER, LastUpdated INTEGER);"
        "INSERT INTO Data SELECT * FROM Kept ORDER BY ModbusOffset DESC; DROP TABLE Kept;");
  }

  Outcome outcome;
  {
    const RegisterBridge bridge(temporary.Database(), nullptr, readRanges);
    for (const auto& [start, length] : reads) {
      std::vector<uint16_t> values(125, 0);
      uint8_t exception = 0;
      const bool ok = GetModbusValue(0, 3, start, length, values.data(), 250, &exception);
      values.resize(ok ? length : 0);
      outcome.words.push_back(values);
      outcome.exceptions.push_back(exception);
    }
  }
  for (const auto& request : service.Requests()) {
    outcome.fetched.push_back(request.target);
  }
  if (table != Table::kGone) {
    outcome.rowsAfter = temporary.Rows("SELECT * FROM Data ORDER BY ModbusOffset");
  }
  SetWeatherServiceUrl("");
  return outcome;
}

TEST(RangeRead, AnswersWhatOneLookupPerRegisterAnswers) {
  const std::vector<std::pair<uint16_t, uint16_t>> reads = {{0, 30},      {20, 8},    {18, 125}, {23, 1},
                                                            {65500, 125}, {65535, 1}, {30, 10}};
  for (const Table table : {Table::kServers, Table::kWithoutIntegerKey, Table::kGone}) {
    SCOPED_TRACE(static_cast<int>(table));
    const bool breakTable = table == Table::kGone;
    const Outcome perRegister = ReadAll(false, reads, table);
    const Outcome ranges = ReadAll(true, reads, table);
    EXPECT_EQ(ranges.words, perRegister.words);
    EXPECT_EQ(ranges.exceptions, perRegister.exceptions);
    EXPECT_EQ(ranges.fetched, perRegister.fetched);
    EXPECT_EQ(ranges.rowsAfter, perRegister.rowsAfter);
    // The reads did reach the cases they are meant to: fetched codes, and
    // exception 4 for a table that is gone.
    EXPECT_EQ(perRegister.fetched.empty(), breakTable);
    EXPECT_EQ(perRegister.exceptions.front(), breakTable ? 4 : 0);
  }
}

}  // namespace
}  // namespace veld_test
