// ApiAnswerTest.cpp - the JSON readings array and which requests get it: the
// answer's shape parsed back with RapidJSON, codes decoded from the query,
// and 404 or 405 with [] for everything else.
#include <gtest/gtest.h>
#include <rapidjson/document.h>

#include "ApiAnswer.h"
#include "HttpDate.h"
#include "ReadingsJson.h"
#include "SimulatedProvider.h"
#include "WeatherModel.h"

namespace weather_service {
namespace {

constexpr int64_t kMinute = 28'620'000;  // 2024-06-01 00:00 UTC

// The simulated provider stopped at kMinute.
SimulatedProvider& Simulation() {
  static SimulatedProvider simulation([] { return kMinute; });
  return simulation;
}

TEST(ReadingsJson, IsAnArrayOfSixNamedIntegerReadingsInOrder) {
  const std::string json = ReadingsJson(Readings{-7, 93, 1002, 11, 270, 0});

  rapidjson::Document document;
  ASSERT_FALSE(document.Parse(json.c_str()).HasParseError()) << json;
  ASSERT_TRUE(document.IsArray());
  ASSERT_EQ(document.Size(), 6u);
  const std::pair<const char*, int> expected[] = {{"temp", -7},       {"humidity", 93},  {"pressure", 1002},
                                                  {"wind.speed", 11}, {"wind.deg", 270}, {"clouds", 0}};
  for (rapidjson::SizeType i = 0; i < 6; ++i) {
    const auto& reading = document[i];
    ASSERT_TRUE(reading.IsObject());
    EXPECT_EQ(reading.MemberCount(), 2u);
    ASSERT_TRUE(reading.HasMember("Name") && reading["Name"].IsString()) << json;
    ASSERT_TRUE(reading.HasMember("Value") && reading["Value"].IsInt()) << json;
    EXPECT_STREQ(reading["Name"].GetString(), expected[i].first);
    EXPECT_EQ(reading["Value"].GetInt(), expected[i].second);
  }
}

TEST(ApiAnswer, ValidCodeGetsItsReadingsForTheMinute) {
  const ApiAnswer answer = AnswerRequest("GET", "/api", "postalCode=10001", Simulation());
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.body, ReadingsJson(ReadingsFor("10001", kMinute)));
}

TEST(ApiAnswer, SimulatedReadingsAreObtainedWhenAsked) {
  const auto before = std::chrono::system_clock::now();
  const ApiAnswer answer = AnswerRequest("GET", "/api", "postalCode=10001", Simulation());
  ASSERT_TRUE(answer.obtainedAt.has_value());
  EXPECT_TRUE(before <= *answer.obtainedAt && *answer.obtainedAt <= std::chrono::system_clock::now());
  EXPECT_FALSE(AnswerRequest("GET", "/api", "postalCode=1", Simulation()).obtainedAt.has_value());
}

TEST(HttpDate, IsImfFixdateInGmtWithoutPartsOfASecond) {
  using std::chrono::seconds;
  const std::chrono::system_clock::time_point time{seconds(1796844600) + std::chrono::milliseconds(999)};
  EXPECT_EQ(HttpDate(time), "Wed, 09 Dec 2026 19:30:00 GMT");
  EXPECT_EQ(HttpDate(std::chrono::system_clock::time_point{seconds(951782400)}), "Tue, 29 Feb 2000 00:00:00 GMT");
}

TEST(ApiAnswer, CodeIsDecodedAndNormalisedBeforeUse) {
  const std::string expected = ReadingsJson(ReadingsFor("K1A0B1", kMinute));
  for (const char* query :
       {"postalCode=K1A%200B1", "postalCode=k1a+0b1", "postalCode=k1a0b1", "units=metric&postalCode=%4B1A0B1"}) {
    const ApiAnswer answer = AnswerRequest("GET", "/api", query, Simulation());
    EXPECT_EQ(answer.status, 200) << query;
    EXPECT_EQ(answer.body, expected) << query;
  }
}

TEST(ApiAnswer, MissingOrInvalidCodeGets404WithEmptyArray) {
  const std::string longValue = "postalCode=" + std::string(100, '1');
  for (const std::string query : {"", "postalCode", "postalCode=", "zip=10001", "postalCode=1234",
                                  "postalCode=10001%00", "postalCode=K1A%0A0B1", longValue.c_str()}) {
    const ApiAnswer answer = AnswerRequest("GET", "/api", query, Simulation());
    EXPECT_EQ(answer.status, 404) << query;
    EXPECT_EQ(answer.body, "[]") << query;
  }
}

TEST(ApiAnswer, OtherPathsGet404WithEmptyArray) {
  for (const char* path : {"/", "/api/", "/api/x", "/apis", "/API", "/weather"}) {
    const ApiAnswer answer = AnswerRequest("GET", path, "postalCode=10001", Simulation());
    EXPECT_EQ(answer.status, 404) << path;
    EXPECT_EQ(answer.body, "[]") << path;
  }
}

TEST(ApiAnswer, OtherMethodsGet405) {
  for (const char* method : {"POST", "PUT", "DELETE", "get"}) {
    const ApiAnswer answer = AnswerRequest(method, "/api", "postalCode=10001", Simulation());
    EXPECT_EQ(answer.status, 405) << method;
    EXPECT_EQ(answer.body, "[]") << method;
  }
}

}  // namespace
}  // namespace weather_service
