// HistoryViewTest.cpp - GET /history over HTTP: the answer's shape and
// scaling, which rows it takes (code, window, weather names), the bounds of
// its parameters, thinning, and a fetch's readings showing up in it.
#include <rapidjson/document.h>

#include "HistoryTable.h"
#include "WebTestFixture.h"

namespace veld_test {
namespace {

using HistoryViewTest = WebTest;

constexpr int64_t kHour = 3600;

void AddHistory(const TemporaryDatabase& database, const std::string& code, const std::string& name, int word,
                int64_t time) {
  database.Run("INSERT INTO History (PostalCode, Name, Word, Time) VALUES ('" + code + "', '" + name + "', " +
               std::to_string(word) + ", " + std::to_string(time) + ")");
}

TEST_F(HistoryViewTest, AnswersEachWeatherNameOfTheCodeScaledAndOldestFirst) {
  AddHistory(database, "V1L 3A5", "temp", 215, kNow - 60);
  AddHistory(database, "v1l 3a5", "temp", 65366, kNow - 120);  // codes match whatever their case
  AddHistory(database, "V1L 3A5", "humidity", 71, kNow - 60);
  AddHistory(database, "V1L 3A5", "wind.speed", 34, kNow - 60);
  AddHistory(database, "V1L 3A5", "pressure", 1013, kNow);
  AddHistory(database, "V1L 3A5", "reading.1", 7, kNow);                // no unit: left out
  AddHistory(database, "V1L 3A5", "temp", 100, kNow - 24 * kHour - 1);  // before the window
  AddHistory(database, "V1L", "temp", 300, kNow);                       // another code
  const HttpAnswer answer = Get("/history?postal=V1L+3a5");
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.Header("Content-Type"), kJsonType);
  EXPECT_EQ(answer.body, R"({"postal":"V1L 3a5","hours":24,"series":{)"
                         R"("humidity":{"unit":"%","points":[[1699999940,71]]},)"
                         R"("pressure":{"unit":"hPa","points":[[1700000000,1013]]},)"
                         R"("temp":{"unit":")"
                         "\u00B0"
                         R"(C","points":[[1699999880,-17.0],[1699999940,21.5]]},)"
                         R"("wind.speed":{"unit":"m/s","points":[[1699999940,3.4]]}}})");
  // A code without readings has no series.
  EXPECT_EQ(Get("/history?postal=X0X&hours=1").body, R"({"postal":"X0X","hours":1,"series":{}})");
}

TEST_F(HistoryViewTest, HoursChoosesTheWindowFromOneToAWeekAndPostalIsRequired) {
  AddHistory(database, "90001", "humidity", 50, kNow - 168 * kHour);
  AddHistory(database, "90001", "humidity", 60, kNow - kHour);
  const auto points = [this](const std::string& query) {
    rapidjson::Document document;
    document.Parse(Get("/history?postal=90001" + query).body.c_str());
    return document.IsObject() ? static_cast<int>(document["series"]["humidity"]["points"].Size()) : -1;
  };
  EXPECT_EQ(points("&hours=1"), 1);
  EXPECT_EQ(points("&hours=168"), 2);
  EXPECT_EQ(points(""), 1);
  const std::string hoursError = JsonError(400, "hours must be a whole number from 1 to 168");
  for (const char* hours : {"0", "169", "-1", "1.5", "abc", "", "2x", "99999999999999999999"}) {
    SCOPED_TRACE(hours);
    const HttpAnswer answer = Get(std::string("/history?postal=90001&hours=") + hours);
    EXPECT_EQ(answer.status, 400);
    EXPECT_EQ(answer.Header("Content-Type"), kJsonType);
    EXPECT_EQ(answer.body, hoursError);
  }
  for (const char* query : {"", "?hours=5", "?postal=", "?postal=&hours=5"}) {
    SCOPED_TRACE(query);
    EXPECT_EQ(Get(std::string("/history") + query).body, JsonError(400, "postal is required"));
  }
  EXPECT_EQ(Get("/history?postal=" + std::string(300, 'A')).body, JsonError(400, "postal is too long"));
}

// 'clouds' every second for 5000 s; 'humidity' every 10 s from 679 s on,
// its first (679) and last (4989) at times no evenly spread instant picks.
TEST_F(HistoryViewTest, ALongSeriesIsThinnedEvenlyKeepingEachNamesEnds) {
  const std::string start = std::to_string(kNow - 5000);
  database.Run(
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4999) INSERT INTO History "
      "SELECT 'W1L', 'clouds', i % 100, " +
      start + " + i FROM n UNION ALL SELECT 'W1L', 'humidity', 50, " + start + " + i FROM n WHERE i % 10 = 9 " +
      "AND i BETWEEN 679 AND 4989");
  rapidjson::Document document;
  document.Parse(Get("/history?postal=W1L").body.c_str());
  ASSERT_TRUE(document.IsObject());
  const auto& clouds = document["series"]["clouds"]["points"];
  ASSERT_LE(clouds.Size(), 2000u);
  ASSERT_GE(clouds.Size(), 1990u);
  EXPECT_EQ(clouds[0][0].GetInt64(), kNow - 5000);
  EXPECT_EQ(clouds[clouds.Size() - 1][0].GetInt64(), kNow - 1);
  for (rapidjson::SizeType i = 1; i < clouds.Size(); ++i) {
    const int64_t step = clouds[i][0].GetInt64() - clouds[i - 1][0].GetInt64();
    ASSERT_TRUE(step == 2 || step == 3) << "step " << step << " at " << i;
  }
  const auto& humidity = document["series"]["humidity"]["points"];
  ASSERT_GT(humidity.Size(), 2u);
  EXPECT_EQ(humidity[0][0].GetInt64(), kNow - 5000 + 679);
  EXPECT_EQ(humidity[humidity.Size() - 1][0].GetInt64(), kNow - 5000 + 4989);
  for (rapidjson::SizeType i = 1; i < humidity.Size(); ++i) {
    ASSERT_GT(humidity[i][0].GetInt64(), humidity[i - 1][0].GetInt64()) << "oldest first, at " << i;
  }
}

// The thinned read stays bounded only while SQLite seeks through the index
// on (PostalCode, Time) instead of passing over the table.
TEST_F(HistoryViewTest, TheThinnedReadSeeksThroughTheCodeAndTimeIndex) {
  const SqlRows plan = database.Rows(std::string("EXPLAIN QUERY PLAN ") + kReadThinnedHistorySql);
  int indexed = 0;
  for (const SqlRow& step : plan) {
    const std::string& detail = step.at("detail");
    EXPECT_NE(detail.rfind("SCAN History", 0), 0u) << detail;
    indexed += detail.find("HistoryByCodeAndTime") != std::string::npos ? 1 : 0;
  }
  EXPECT_GE(indexed, 5);
}

TEST_F(HistoryViewTest, AFetchedReadingIsInTheHistoryAsThePageShowsIt) {
  SetWeatherAnswer(R"([{"Name": "temp", "Value": -17.0}, {"Name": "humidity", "Value": "64"}])");
  ASSERT_EQ(GetJson("/?postal=K1A%200B1").status, 200);
  EXPECT_EQ(Get("/history?postal=k1a+0b1").body, R"({"postal":"k1a 0b1","hours":24,"series":{)"
                                                 R"("humidity":{"unit":"%","points":[[1700000000,64]]},)"
                                                 R"("temp":{"unit":")"
                                                 "\u00B0"
                                                 R"(C","points":[[1700000000,-17.0]]}}})");
}

}  // namespace
}  // namespace veld_test
