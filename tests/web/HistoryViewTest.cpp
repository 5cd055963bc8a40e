// HistoryViewTest.cpp - GET /history over HTTP: the answer's shape and
// scaling, which rows it takes (code, window, weather names), the bounds of
// its parameters, thinning, and a fetch's readings showing up in it.
#include <rapidjson/document.h>

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

TEST_F(HistoryViewTest, ALongSeriesIsThinnedEvenlyKeepingItsEnds) {
  database.Run(
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 4999) INSERT INTO History "
      "SELECT 'W1L', 'clouds', i % 100, " +
      std::to_string(kNow - 5000) + " + i FROM n");
  rapidjson::Document document;
  document.Parse(Get("/history?postal=W1L").body.c_str());
  ASSERT_TRUE(document.IsObject());
  const auto& points = document["series"]["clouds"]["points"];
  ASSERT_EQ(points.Size(), 2000u);
  EXPECT_EQ(points[0][0].GetInt64(), kNow - 5000);
  EXPECT_EQ(points[1999][0].GetInt64(), kNow - 1);
  for (rapidjson::SizeType i = 1; i < points.Size(); ++i) {
    const int64_t step = points[i][0].GetInt64() - points[i - 1][0].GetInt64();
    ASSERT_TRUE(step == 2 || step == 3) << "step " << step << " at " << i;
  }
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
