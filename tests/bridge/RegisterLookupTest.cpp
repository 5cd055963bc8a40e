// RegisterLookupTest.cpp - GetValueByOffset (reading a register's row,
// refreshing it from the fixture service when stale) and RowToRegisterValue.
#include <curl/curl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <ostream>
#include <string>
#include <thread>

#include "DataTable.h"
#include "ReadSession.h"
#include "RegisterLookup.h"
#include "WeatherTestHelpers.h"

namespace veld_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

using RegisterLookupTest = WeatherTest;

TEST_F(RegisterLookupTest, MissingRowLeavesTheValueUntouched) {
  database.AddRow(0, "humidity", "K1A", 40, kNow);
  uint16_t value = 0xBEEF;
  EXPECT_FALSE(GetValueByOffset(database.Database(), 1, &value, true));
  EXPECT_EQ(value, 0xBEEF);
  EXPECT_THAT(server.Requests(), IsEmpty());
}

struct Staleness {
  const char* name;
  std::optional<int64_t> age;  // nothing: LastUpdated is NULL
  bool refresh;
  bool fetches;
};

void PrintTo(const Staleness& staleness, std::ostream* out) { *out << staleness.name; }

class StalenessTest : public WeatherTest, public ::testing::WithParamInterface<Staleness> {};

TEST_P(StalenessTest, OnlyARefreshOfAStaleRowFetches) {
  database.AddRow(0, "temp", "M5V", 1, kNow);
  database.AddRow(2, "humidity", "K1A 0B1", 40, kNow - GetParam().age.value_or(0));
  if (!GetParam().age) {
    database.Run("UPDATE Data SET LastUpdated = NULL WHERE ModbusOffset = 2");
  }
  Answer(R"([{"Name":"humidity","Value":77}])");

  uint16_t value = 0;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 2, &value, GetParam().refresh));
  if (GetParam().fetches) {
    EXPECT_EQ(value, 77);
    const auto requests = server.Requests();
    ASSERT_THAT(requests, SizeIs(1));
    EXPECT_EQ(requests[0].target, "/api?postalCode=K1A%200B1");
    EXPECT_THAT(WeatherLines(log.Text()),
                ElementsAre("FYI: The data is too old, we need to update it. ModbusAddress=[2]", kPayloadLine,
                            "FYI: Name=[humidity], value=[77]"));
    EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "temp", "M5V", 1), Reading(2, "humidity", "K1A 0B1", 77)));
  } else {
    EXPECT_EQ(value, 40);
    EXPECT_THAT(server.Requests(), IsEmpty());
    EXPECT_THAT(WeatherLines(log.Text()), IsEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(Ages, StalenessTest,
                         ::testing::Values(Staleness{"Fresh", 0, true, false}, Staleness{"Age30", 30, true, false},
                                           Staleness{"Age31", 31, true, true},
                                           Staleness{"NeverUpdated", std::nullopt, true, true},
                                           Staleness{"Age31NoRefresh", 31, false, false},
                                           Staleness{"NeverUpdatedNoRefresh", std::nullopt, false, false}),
                         [](const ::testing::TestParamInfo<Staleness>& param) { return param.param.name; });

TEST_F(RegisterLookupTest, FailedRefreshServesTheOldValue) {
  const RefusingPort port;
  SetWeatherServiceUrl(port.Url());
  database.AddRow(3, "humidity", "K1A", 40, kNow - 31);
  uint16_t value = 0;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 3, &value, true));
  EXPECT_EQ(value, 40);
  EXPECT_THAT(WeatherLines(log.Text()),
              ElementsAre("FYI: The data is too old, we need to update it. ModbusAddress=[3]",
                          CurlErrorLine(CURLE_COULDNT_CONNECT, curl_easy_strerror(CURLE_COULDNT_CONNECT),
                                        port.Url() + "/api?postalCode=K1A")));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(3, "humidity", "K1A", 40, kNow - 31)));
}

TEST_F(RegisterLookupTest, OneRequestFetchesEachCodeOnce) {
  // The service answers temp only, so the humidity rows stay stale after a
  // fetch of their code.
  database.AddRow(0, "temp", "K1A", 100, kNow - 600);
  database.AddRow(1, "humidity", "K1A", 40, kNow - 600);
  database.AddRow(2, "humidity", "M5V", 50, kNow - 600);
  Answer(R"([{"Name":"temp","Value":21.5}])");

  LookupRequest request;
  uint16_t values[3] = {};
  for (uint16_t offset = 0; offset < 3; ++offset) {
    ASSERT_TRUE(GetValueByOffset(database.Database(), offset, &values[offset], true, &request));
  }
  EXPECT_THAT(values, ElementsAre(215, 40, 50));
  auto requests = server.Requests();
  ASSERT_THAT(requests, SizeIs(2));
  EXPECT_EQ(requests[0].target, "/api?postalCode=K1A");
  EXPECT_EQ(requests[1].target, "/api?postalCode=M5V");
  EXPECT_THAT(request.fetchedCodes, ElementsAre("K1A", "M5V"));

  // The next request starts with none fetched.
  LookupRequest next;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 1, &values[1], true, &next));
  requests = server.Requests();
  ASSERT_THAT(requests, SizeIs(3));
  EXPECT_EQ(requests[2].target, "/api?postalCode=K1A");
}

TEST_F(RegisterLookupTest, NoLockIsHeldWhileARefreshWaitsForTheService) {
  // A request's lookups run in a read session that holds the database lock;
  // while the service takes its time, other threads must still get through.
  database.AddRow(0, "temp", "K1A", 100, kNow - 600);
  FixtureWeatherServer::Answer slow;
  slow.body = R"([{"Name":"temp","Value":21.5}])";
  slow.delay = std::chrono::milliseconds(600);
  server.SetAnswer(slow);

  uint16_t value = 0;
  auto lookup = std::async(std::launch::async, [&] {
    ReadSession session(database.Database());
    LookupRequest request;
    request.session = &session;
    return GetValueByOffset(database.Database(), 0, &value, true, &request);
  });
  // Give the lookup time to reach the service, then write from this thread.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  const auto start = std::chrono::steady_clock::now();
  std::thread writer([&] { EXPECT_TRUE(SaveValue(database.Database(), "M5V", "humidity", 50)); });
  writer.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  ASSERT_TRUE(lookup.get());
  EXPECT_EQ(value, 215);
}

TEST_F(RegisterLookupTest, StaleInfoRowIsNeverFetched) {
  database.AddRow(4, "info", "0", 7, kNow - 31);
  uint16_t value = 0;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 4, &value, true));
  EXPECT_EQ(value, 7);
  EXPECT_THAT(server.Requests(), IsEmpty()) << "the service has nothing for code 0";
}

TEST_F(RegisterLookupTest, ARequestWaitsOneTimeoutInAllAndCodesRefreshedInBackgroundNeverWait) {
  database.AddRow(0, "humidity", "K1A", 1, kNow - 60);
  database.AddRow(1, "humidity", "M5V", 2, kNow - 60);
  FixtureWeatherServer::Answer slow;
  slow.body = R"([{"Name":"humidity","Value":5}])";
  slow.delay = std::chrono::milliseconds(700);
  server.SetAnswer(slow);

  RefreshSchedule schedule;
  LookupRequest request;
  request.schedule = &schedule;
  uint16_t values[2] = {};
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(GetValueByOffset(database.Database(), 0, &values[0], true, &request));
  ASSERT_TRUE(GetValueByOffset(database.Database(), 1, &values[1], true, &request));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1400));
  EXPECT_THAT(values, ElementsAre(5, 2)) << "the second fetch ran out of the request's second";
  EXPECT_TRUE(request.fetchFailed);
  ASSERT_THAT(server.Requests(), SizeIs(2));

  // Both codes are now the background's: their stale rows answer at once.
  EXPECT_TRUE(schedule.RefreshesInBackground("K1A", kNow) && schedule.RefreshesInBackground("M5V", kNow));
  LookupRequest next;
  next.schedule = &schedule;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 1, &values[1], true, &next));
  EXPECT_EQ(values[1], 2);
  EXPECT_THAT(server.Requests(), SizeIs(2));
}

TEST_F(RegisterLookupTest, AFetchOfReadingsObservedEarlierCountsAsFetched) {
  database.AddRow(0, "humidity", "K1A", 1, kNow - 900);
  FixtureWeatherServer::Answer older;
  older.body = R"([{"Name":"humidity","Value":5}])";
  older.lastModified = "Tue, 14 Nov 2023 22:03:20 GMT";  // kNow - 600
  server.SetAnswer(older);

  RefreshSchedule schedule;
  LookupRequest request;
  request.schedule = &schedule;
  uint16_t value = 0;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 0, &value, true, &request));
  EXPECT_EQ(value, 5);
  EXPECT_FALSE(request.fetchFailed);
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "humidity", "K1A", 5, kNow - 600)));
  // Planned as after a success, not retried after the failure pause.
  clock.Set(kNow + kFirstRetrySeconds + 1);
  EXPECT_EQ(schedule.WaitForDueCode(std::chrono::milliseconds(0)), std::nullopt);
  clock.Set(kNow + kRefreshAgeSeconds);
  EXPECT_EQ(schedule.WaitForDueCode(std::chrono::milliseconds(0)), std::optional<std::string>("K1A"));
  EXPECT_THAT(server.Requests(), SizeIs(1));
}

// A register read takes integers from the row as integers and everything
// else as text; the register value must be what the row's text gives.
TEST_F(RegisterLookupTest, StoredTypesReadAsTheirText) {
  const struct {
    const char* name;
    const char* value;  // an SQL literal: the column's type follows it
    uint16_t registerValue;
  } kRows[] = {{"temp", "215", 215},          {"temp", "21.56", 21},    {"temp", "'21.5'", 21},
               {"temp", "'-170abc'", 0xFF56}, {"temp", "NULL", 0},      {"temp", "x'3132'", 12},
               {"humidity", "55.9", 55},      {"humidity", "'abc'", 0}, {"humidity", "9999999999", 0xE3FF},
               {"humidity", "-3", 0xFFFD},    {"wind.speed", "34", 34}, {"wind.speed", "'7e1'", 70}};
  int offset = 0;
  for (const auto& stored : kRows) {
    SCOPED_TRACE(std::string(stored.name) + " " + stored.value);
    database.Run("INSERT INTO Data (ModbusOffset, Name, Code, Value, LastUpdated) VALUES (" + std::to_string(offset) +
                 ", '" + stored.name + "', 'K1A', " + stored.value + ", " + std::to_string(kNow) + ")");
    uint16_t value = 0;
    ASSERT_TRUE(GetValueByOffset(database.Database(), static_cast<uint16_t>(offset), &value, true));
    EXPECT_EQ(value, stored.registerValue);
    uint16_t fromText = 0;
    RowToRegisterValue(database.Rows("SELECT * FROM Data WHERE ModbusOffset = " + std::to_string(offset)).at(0),
                       &fromText);
    EXPECT_EQ(value, fromText);
    ++offset;
  }
  // LastUpdated as text is read as the number it starts with.
  database.Run("INSERT INTO Data VALUES (100, 'humidity', 'K1A', 5, '" + std::to_string(kNow - 31) + "x')");
  Answer("[]");
  uint16_t value = 0;
  ASSERT_TRUE(GetValueByOffset(database.Database(), 100, &value, true));
  EXPECT_THAT(server.Requests(), SizeIs(1)) << "a text LastUpdated 31 s old is stale";
}

}  // namespace
}  // namespace veld_test
