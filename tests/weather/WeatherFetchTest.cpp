// WeatherFetchTest.cpp - FetchWeather against the fixture service: the
// request it sends, how it converts and stores readings, and every way an
// answer is refused.
#include <curl/curl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "WeatherTestHelpers.h"

namespace veld_test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::SizeIs;

using WeatherFetchTest = WeatherTest;

TEST_F(WeatherFetchTest, NullPostalCodeSendsNoRequest) {
  EXPECT_FALSE(FetchWeather(database.Database(), nullptr));
  EXPECT_THAT(server.Requests(), IsEmpty());
  EXPECT_THAT(DataRows(), IsEmpty());
}

TEST_F(WeatherFetchTest, PostalCodeIsPercentEncodedAndOnlyJsonIsAccepted) {
  const struct {
    const char* code;
    const char* query;
  } kEncodings[] = {{"K1A 0B1", "K1A%200B1"},
                    {"a&b#c", "a%26b%23c"},
                    {"AZaz09-._~", "AZaz09-._~"},
                    {"x/y?z=1+2%", "x%2Fy%3Fz%3D1%2B2%25"},
                    {"\xC3\xA9", "%C3%A9"}};
  Answer(R"([{"Name":"humidity","Value":1}])");
  SqlRows rows;
  for (const auto& encoding : kEncodings) {
    SCOPED_TRACE(encoding.code);
    ASSERT_TRUE(FetchWeather(database.Database(), encoding.code));
    const auto requests = server.Requests();
    EXPECT_EQ(requests.back().target, std::string("/api?postalCode=") + encoding.query);
    EXPECT_THAT(requests.back().accept, ElementsAre("application/json"));
    // The row keeps the code as given, not as it went over the wire.
    rows.push_back(Reading(static_cast<int>(rows.size()), "humidity", encoding.code, 1));
  }
  EXPECT_THAT(DataRows(), ElementsAreArray(rows));
}

TEST_F(WeatherFetchTest, ReadingsAreStoredScaledRoundedAndSaturated) {
  const struct {
    const char* name;
    const char* json;               // the Value as it appears in the answer
    std::optional<int64_t> stored;  // nothing: skipped as an unknown type
  } kConversions[] = {              // temp in tenths, signed; the integer and the decimal form agree.
                      {"temp", "21", 210},
                      {"temp", "21.0", 210},
                      {"temp", "21.5", 215},
                      {"temp", "21.56", 216},
                      {"temp", "-17.0", 65366},
                      {"temp", "-3.45", 65501},  // -34.5 rounds away from zero
                      {"temp", R"("21.5")", 215},
                      {"temp", R"(" +7")", 70},
                      {"temp", "4000", 32767},
                      {"temp", "-4000", 32768},
                      {"temp", "1e300", 32767},
                      // wind.speed in tenths, unsigned.
                      {"wind.speed", "3.4", 34},
                      {"wind.speed", "-1", 0},
                      {"wind.speed", "7000", 65535},
                      // Every other name in whole units, unsigned.
                      {"humidity", "71", 71},
                      {"humidity", "70.5", 71},
                      {"pressure", "1013.2", 1013},
                      {"clouds", "-1", 0},
                      {"clouds", "70000", 65535},
                      {"clouds", "18446744073709551616", 65535},
                      {"Temp", "21.5", 22},  // names are compared byte for byte
                      {"wind.deg", R"("12.7")", 13},
                      {"wind.deg", R"("abc")", 0},
                      // No register value.
                      {"temp", "2147483648", std::nullopt},
                      {"temp", "true", std::nullopt},
                      {"temp", "null", std::nullopt},
                      {"temp", "[1]", std::nullopt},
                      {"temp", R"({"v":1})", std::nullopt}};

  // One answer per case, so that each reading gets a row of its own.
  for (const auto& conversion : kConversions) {
    SCOPED_TRACE(std::string(conversion.name) + "=" + conversion.json);
    database.Run("DELETE FROM Data");
    log.Clear();
    Answer(std::string(R"([{"Name":")") + conversion.name + R"(","Value":)" + conversion.json + "}]");
    EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
    if (conversion.stored) {
      EXPECT_THAT(WeatherLines(log.Text()),
                  ElementsAre(kPayloadLine, std::string("FYI: Name=[") + conversion.name + "], value=[" +
                                                std::to_string(*conversion.stored) + "]"));
      EXPECT_THAT(DataRows(), ElementsAre(Reading(0, conversion.name, "K1A", *conversion.stored)));
    } else {
      EXPECT_THAT(WeatherLines(log.Text()),
                  ElementsAre(kPayloadLine, std::string("FYI: Invalid row in json data. Name=[") + conversion.name +
                                                "]. Unknown data type. Skipping"));
      EXPECT_THAT(DataRows(), IsEmpty());
    }
  }
}

TEST_F(WeatherFetchTest, BadElementsAreSkippedAndGoodOnesStored) {
  Answer(R"([5, {}, {"Name":7,"Value":1}, {"Value":3}, {"Name":"humidity"}, {"Name":"temp","Value":21.5},)"
         R"( {"Name":"wind.speed","Value":true}, {"Name":"wind.speed","Value":3.6}])");
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(WeatherLines(log.Text()),
              ElementsAre(kPayloadLine, "FYI: Invalid row in json data. Missing name. Skipping",
                          "FYI: Invalid row in json data. Missing name. Skipping",
                          "FYI: Invalid row in json data. Missing name. Skipping",
                          "FYI: Invalid row in json data. Missing name. Skipping",
                          "FYI: Invalid row in json data. Name=[humidity]. Missing value. Skipping",
                          "FYI: Name=[temp], value=[215]",
                          "FYI: Invalid row in json data. Name=[wind.speed]. Unknown data type. Skipping",
                          "FYI: Name=[wind.speed], value=[36]"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "temp", "K1A", 215), Reading(1, "wind.speed", "K1A", 36)));
}

TEST_F(WeatherFetchTest, OnlyA2xxAnswerIsStored) {
  for (const int status : {404, 500, 503}) {
    SCOPED_TRACE(status);
    Answer(R"([{"Name":"temp","Value":-99.9}])", status);
    EXPECT_FALSE(FetchWeather(database.Database(), "K1A"));
    EXPECT_TRUE(log.Contains("Error: The weather service answered HTTP status [" + std::to_string(status) + "]"));
  }
  EXPECT_THAT(DataRows(), IsEmpty());
  Answer(R"([{"Name":"humidity","Value":"12"}])", 203);
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "humidity", "K1A", 12)));
}

TEST_F(WeatherFetchTest, NamesThatAreNotTextAreSkipped) {
  // A lone surrogate escape unescapes to bytes that are no UTF-8; \u0000
  // and other control characters would cut or garble the name.
  Answer(R"([{"Name":"a\udc80","Value":1},{"Name":"t\u0000emp","Value":2},{"Name":"x\ny","Value":3},)"
         R"({"Name":"humidity","Value":4}])");
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "humidity", "K1A", 4)));
}

TEST_F(WeatherFetchTest, AStoreThatCannotHaveTheWriteLockFailsAndStoresNothing) {
  database.AddRow(20, "temp", "K1A", 100, kNow - 600);
  database.Database().SetBusyTimeout(50);
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(database.Path().c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  Answer(R"([{"Name":"temp","Value":21.5},{"Name":"humidity","Value":40}])");
  EXPECT_FALSE(FetchWeather(database.Database(), "K1A"));
  EXPECT_TRUE(log.Contains("Error: The readings of [K1A] were not stored: the database is busy with another writer"));
  sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_THAT(DataRows(), ElementsAre(Reading(20, "temp", "K1A", 100, kNow - 600)));
  EXPECT_THAT(database.Rows("SELECT * FROM History"), IsEmpty());
  // Once the lock is free the same answer updates the row in place.
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(20, "temp", "K1A", 215), Reading(21, "humidity", "K1A", 40)));
}

TEST_F(WeatherFetchTest, EmptyArrayLogsOnlyThePayload) {
  Answer("[]");
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(WeatherLines(log.Text()), ElementsAre(kPayloadLine));
  EXPECT_TRUE(log.Contains("body=[[]]\n"));
  EXPECT_THAT(DataRows(), IsEmpty());
}

TEST_F(WeatherFetchTest, BodyThatIsNotAStrictJsonArrayStoresNothing) {
  const char* const kJsonErrors = "Error: Recived payload has JSON errors in it";
  const char* const kNotAnArray = "Error: Malformed JSON Packet. Error code=384";
  const struct {
    const char* body;
    const char* error;
  } kBodies[] = {{"", kJsonErrors},
                 {R"([{"Name":"temp","Value":1}] x)", kJsonErrors},
                 {R"([{"Name":"temp","Value":1}][])", kJsonErrors},
                 {R"([{"Name":"temp","Value":1},])", kJsonErrors},
                 {R"([{"Name":"temp","Value":NaN}])", kJsonErrors},
                 {R"([{'Name':'temp','Value':1}])", kJsonErrors},
                 {"[{\"Name\":\"te\xFFmp\",\"Value\":1}]", kJsonErrors},
                 {R"({"Name":"temp","Value":1})", kNotAnArray},
                 {R"("temp")", kNotAnArray},
                 {"42", kNotAnArray}};
  for (const auto& refused : kBodies) {
    SCOPED_TRACE(refused.body);
    log.Clear();
    Answer(refused.body);
    EXPECT_FALSE(FetchWeather(database.Database(), "K1A"));
    EXPECT_THAT(WeatherLines(log.Text()), ElementsAre(kPayloadLine, refused.error));
    EXPECT_TRUE(log.Contains(std::string("body=[") + refused.body + "]\n"));
  }
  EXPECT_THAT(DataRows(), IsEmpty());
}

TEST_F(WeatherFetchTest, AnswerSlowerThanOneSecondFails) {
  FixtureWeatherServer::Answer slow;
  slow.body = R"([{"Name":"temp","Value":1}])";
  slow.delay = std::chrono::milliseconds(1500);
  server.SetAnswer(slow);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FetchWeather(database.Database(), "K1A"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  EXPECT_THAT(WeatherLines(log.Text()),
              ElementsAre(CurlErrorLine(CURLE_OPERATION_TIMEDOUT, curl_easy_strerror(CURLE_OPERATION_TIMEDOUT),
                                        server.Url() + "/api?postalCode=K1A")));
  EXPECT_THAT(DataRows(), IsEmpty());
}

TEST_F(WeatherFetchTest, BodyOverOneMebibyteAbortsTheTransfer) {
  // With a Content-Length the size is known up front; without one the body
  // runs until the connection closes.
  const struct {
    const char* code;
    size_t bytes;
    bool sendLength;
  } kBodies[] = {{"A", kMaxWeatherPayloadBytes, true},
                 {"B", kMaxWeatherPayloadBytes, false},
                 {"C", kMaxWeatherPayloadBytes + 1, true},
                 {"D", kMaxWeatherPayloadBytes + 1, false}};
  for (const auto& size : kBodies) {
    SCOPED_TRACE(size.code);
    log.Clear();
    FixtureWeatherServer::Answer answer;
    answer.body = R"([{"Name":"humidity","Value":1}])";
    answer.body.resize(size.bytes, ' ');
    answer.sendLength = size.sendLength;
    server.SetAnswer(answer);
    const bool accepted = size.bytes <= kMaxWeatherPayloadBytes;
    EXPECT_EQ(FetchWeather(database.Database(), size.code), accepted);
    if (!accepted) {
      const auto lines = WeatherLines(log.Text());
      ASSERT_THAT(lines, SizeIs(1));
      EXPECT_EQ(lines[0].rfind("Error: CURL Error. ErrorCode=[", 0), 0u) << lines[0];
    }
  }
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "humidity", "A", 1), Reading(1, "humidity", "B", 1)));
}

TEST_F(WeatherFetchTest, RefusedConnectionFails) {
  const RefusingPort port;
  SetWeatherServiceUrl(port.Url());
  EXPECT_FALSE(FetchWeather(database.Database(), "K1A 0B1"));
  EXPECT_THAT(WeatherLines(log.Text()),
              ElementsAre(CurlErrorLine(CURLE_COULDNT_CONNECT, curl_easy_strerror(CURLE_COULDNT_CONNECT),
                                        port.Url() + "/api?postalCode=K1A%200B1")));
  EXPECT_THAT(DataRows(), IsEmpty());
}

TEST_F(WeatherFetchTest, RedirectsAreFollowedOnlyWithinTheServiceAtMostThree) {
  FixtureWeatherServer::Answer moved;
  moved.status = 302;
  moved.location = server.Url() + "/moved";
  FixtureWeatherServer::Answer readings;
  readings.body = R"([{"Name":"humidity","Value":2}])";
  server.Script({moved, moved, moved, readings});
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_EQ(server.Requests().back().target, "/moved");
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "humidity", "K1A", 2)));

  server.Script({moved, moved, moved, moved, readings});
  EXPECT_FALSE(FetchWeather(database.Database(), "M5V")) << "a fourth redirect";

  // Another port of the same host (the server's own web port, say), or
  // another scheme: never asked.
  FixtureWeatherServer elsewhere;
  elsewhere.SetAnswer(readings);
  const RefusingPort ftp;
  for (const std::string& location :
       {elsewhere.Url() + "/api?postalCode=M5V", "ftp://127.0.0.1:" + std::to_string(ftp.Port()) + "/readings"}) {
    log.Clear();
    moved.location = location;
    server.SetAnswer(moved);
    EXPECT_FALSE(FetchWeather(database.Database(), "M5V"));
    EXPECT_THAT(WeatherLines(log.Text()),
                ElementsAre("Error: The weather service redirected to another place; not followed. Location=[" +
                            location + "]"));
  }
  EXPECT_THAT(elsewhere.Requests(), IsEmpty());
  EXPECT_THAT(DataRows(), SizeIs(1));
}

TEST_F(WeatherFetchTest, OneAnswerStoresAtMost64ReadingsAndOneFetchKeepsItsBudget) {
  std::string body = "[";
  for (int i = 0; i < 100; ++i) {
    body += (i == 0 ? "" : ",") + std::string(R"({"Name":"r)") + std::to_string(i) + R"(","Value":1})";
  }
  Answer(body + "]");
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), SizeIs(64));
  EXPECT_TRUE(log.Contains("FYI: The answer holds [100] readings; only the first [64] are stored\n"));

  FixtureWeatherServer::Answer slow;
  slow.body = "[]";
  slow.delay = std::chrono::milliseconds(700);
  server.SetAnswer(slow);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FetchWeather(database.Database(), "M5V", 200));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
}

TEST_F(WeatherFetchTest, QuotesInNameAndCodeAreStoredExactly) {
  Answer(R"([{"Name":"O'Brien's temp","Value":"5"}])");
  ASSERT_TRUE(FetchWeather(database.Database(), "O'Brien"));
  Answer(R"([{"Name":"O'Brien's temp","Value":"6"}])");
  clock.Set(kNow + 60);
  ASSERT_TRUE(FetchWeather(database.Database(), "O'Brien"));
  EXPECT_THAT(WeatherLines(log.Text()), ElementsAre(kPayloadLine, "FYI: Name=[O'Brien's temp], value=[5]", kPayloadLine,
                                                    "FYI: Name=[O'Brien's temp], value=[6]"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "O'Brien's temp", "O'Brien", 6, kNow + 60)));
}

TEST_F(WeatherFetchTest, ExistingReadingsKeepTheirOffsetAndNewOnesTakeTheNext) {
  database.AddRow(0, "temp", "K1A", 100, kNow - 600);
  database.AddRow(1, "temp", "M5V", 200, kNow - 600);
  database.AddRow(5, "humidity", "M5V", 30, kNow - 600);
  Answer(R"([{"Name":"temp","Value":22.0},{"Name":"humidity","Value":40},{"Name":"wind.speed","Value":1.5}])");
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "temp", "K1A", 220), Reading(1, "temp", "M5V", 200, kNow - 600),
                                      Reading(5, "humidity", "M5V", 30, kNow - 600), Reading(6, "humidity", "K1A", 40),
                                      Reading(7, "wind.speed", "K1A", 15)));
}

TEST_F(WeatherFetchTest, EveryStoredReadingIsAppendedToTheHistoryAsItsWord) {
  const auto history = [this] {
    return database.Rows("SELECT PostalCode, Name, Word, Time FROM History ORDER BY rowid");
  };
  const auto entry = [](const std::string& name, int word, int64_t time) {
    return SqlRow{
        {"PostalCode", "K1A"}, {"Name", name}, {"Word", std::to_string(word)}, {"Time", std::to_string(time)}};
  };
  Answer(R"([{"Name":"temp","Value":-17.0},{"Name":"humidity","Value":71},{"Name":"clouds"}])");
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A"));
  clock.Set(kNow + 30);
  Answer(R"([{"Name":"temp","Value":21.5}])");
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A"));
  // A refused answer stores nothing, in either table.
  Answer("[{");
  EXPECT_FALSE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(history(),
              ElementsAre(entry("temp", 65366, kNow), entry("humidity", 71, kNow), entry("temp", 215, kNow + 30)));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "temp", "K1A", 215, kNow + 30), Reading(1, "humidity", "K1A", 71)));
}

// kNow is Tue, 14 Nov 2023 22:13:20 GMT.
TEST_F(WeatherFetchTest, ReadingsKeepTheTimeOfTheAnswersLastModifiedAndARepeatAddsNoHistory) {
  const auto history = [this] { return database.Rows("SELECT Name, Word, Time FROM History ORDER BY rowid"); };
  const auto entry = [](const std::string& name, int word, int64_t time) {
    return SqlRow{{"Name", name}, {"Word", std::to_string(word)}, {"Time", std::to_string(time)}};
  };
  const auto answer = [this](const std::string& body, const std::string& lastModified) {
    FixtureWeatherServer::Answer fixed;
    fixed.body = body;
    fixed.lastModified = lastModified;
    server.SetAnswer(fixed);
  };
  int64_t observedAt = 0;
  // Readings obtained ten minutes before the fetch (the service's fallback).
  answer(R"([{"Name":"temp","Value":21.5}])", "Tue, 14 Nov 2023 22:03:20 GMT");
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A", kWeatherTimeoutMs, WeatherStoreLimits(), &observedAt));
  EXPECT_EQ(observedAt, kNow - 600);
  // The same answer again, later: the row keeps its time, History its one row.
  clock.Set(kNow + 30);
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A", kWeatherTimeoutMs, WeatherStoreLimits(), &observedAt));
  EXPECT_EQ(observedAt, kNow - 600);
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "temp", "K1A", 215, kNow - 600)));
  EXPECT_THAT(history(), ElementsAre(entry("temp", 215, kNow - 600)));

  // A Last-Modified ahead of the fetch, or one that cannot be read, is the
  // fetch time.
  answer(R"([{"Name":"temp","Value":22.0}])", "Tue, 14 Nov 2023 23:13:20 GMT");
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A", kWeatherTimeoutMs, WeatherStoreLimits(), &observedAt));
  EXPECT_EQ(observedAt, kNow + 30);
  clock.Set(kNow + 60);
  answer(R"([{"Name":"temp","Value":22.5}])", "yesterday");
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), ElementsAre(Reading(0, "temp", "K1A", 225, kNow + 60)));
  EXPECT_THAT(history(), ElementsAre(entry("temp", 215, kNow - 600), entry("temp", 220, kNow + 30),
                                     entry("temp", 225, kNow + 60)));
}

// An answer of count readings named prefix0, prefix1, ... each of value 1.
std::string NamedReadings(const std::string& prefix, int count) {
  std::string body = "[";
  for (int i = 0; i < count; ++i) {
    body += (i == 0 ? "" : ",") + std::string(R"({"Name":")") + prefix + std::to_string(i) + R"(","Value":1})";
  }
  return body + "]";
}

TEST_F(WeatherFetchTest, AKnownCodeGainsAtMostEightNamesPerAnswerAndANewCodeNeedsRoom) {
  Answer(NamedReadings("a", 20));
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), SizeIs(20)) << "a new code's first answer brings all its names";
  // The 20 known names are updated; of the 12 new ones, 8 are added.
  Answer(NamedReadings("a", 32));
  log.Clear();
  ASSERT_TRUE(FetchWeather(database.Database(), "K1A"));
  EXPECT_THAT(DataRows(), SizeIs(28));
  EXPECT_EQ(database.Rows("SELECT * FROM Data WHERE Name IN ('a27', 'a28')").size(), 1u);
  EXPECT_TRUE(
      log.Contains("FYI: The answer for [K1A] holds more new names than the [8] a known code may add; [4] "
                   "readings skipped\n"));

  // With one code (besides "0") stored and room for one, a new code stores
  // nothing; a known one is stored as ever.
  database.AddRow(100, "info", "0", 1, kNow);
  WeatherStoreLimits limits;
  limits.maxPostalCodes = 1;
  Answer(NamedReadings("b", 2));
  EXPECT_FALSE(FetchWeather(database.Database(), "M5V", kWeatherTimeoutMs, limits));
  EXPECT_THAT(DataRows(), SizeIs(29));
  EXPECT_TRUE(FetchWeather(database.Database(), "K1A", kWeatherTimeoutMs, limits));
  EXPECT_THAT(DataRows(), SizeIs(31));
}

}  // namespace
}  // namespace veld_test
