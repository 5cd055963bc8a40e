// RegisterMapTest.cpp - GET /registers.csv and /registers.json over HTTP:
// every row with its addresses, scale, unit, signedness and last update, and
// CSV fields with commas, quotes and line breaks quoted as RFC 4180 says, text
// that a spreadsheet would take for a formula written as text.
#include <rapidjson/document.h>

#include "WebTestFixture.h"

namespace veld_test {
namespace {

class RegisterMapTest : public WebTest {
 protected:
  // Beside the seeded rows: a signed reading with a comma and quotes in its
  // code, an unsigned one, and a row past the 5-digit range without a time.
  void AddRows() const {
    database.AddRow(45, "temp", "a,\"b\"", 65366, kNow);
    database.AddRow(46, "humidity", "V1L", 71, kNow);
    database.Run("INSERT INTO Data VALUES (10000, 'say \"hi\"' || char(10) || 'there', '0', 5, NULL)");
  }
};

const char* const kCsvHeader =
    "pdu_address,address_5digit,address_6digit,postal_code,name,scale,unit,signed,last_updated,last_updated_utc\r\n";

TEST_F(RegisterMapTest, CsvListsEveryRegisterWithAHeaderAndQuotesWhereNeeded) {
  AddRows();
  const HttpAnswer answer = Get("/registers.csv");
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.Header("Content-Type"), "text/csv; charset=utf-8");
  const std::string first =
      std::string(kCsvHeader) + "0,40001,400001,0,reading.0,1,,false,1600000000,2020-09-13T12:26:40Z\r\n";
  EXPECT_EQ(answer.body.substr(0, first.size()), first);
  const std::string last =
      "44,40045,400045,W1L,reading.44,1,,false,1600000044,2020-09-13T12:27:24Z\r\n"
      "45,40046,400046,\"a,\"\"b\"\"\",temp,0.1,\u00B0C,true,1700000000,2023-11-14T22:13:20Z\r\n"
      "46,40047,400047,V1L,humidity,1,%,false,1700000000,2023-11-14T22:13:20Z\r\n"
      "10000,,410001,0,\"say \"\"hi\"\"\nthere\",1,,false,,\r\n";
  ASSERT_GE(answer.body.size(), last.size());
  EXPECT_EQ(answer.body.substr(answer.body.size() - last.size()), last);
  size_t lines = 0;
  for (size_t at = answer.body.find("\r\n"); at != std::string::npos; at = answer.body.find("\r\n", at + 2)) {
    ++lines;
  }
  EXPECT_EQ(lines, 1u + kSeededRows + 3);
}

TEST_F(RegisterMapTest, JsonIsAnArrayOfTheSameColumns) {
  AddRows();
  const HttpAnswer answer = Get("/registers.json");
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.Header("Content-Type"), kJsonType);
  rapidjson::Document document;
  document.Parse(answer.body.c_str());
  ASSERT_TRUE(document.IsArray()) << answer.body;
  ASSERT_EQ(document.Size(), static_cast<rapidjson::SizeType>(kSeededRows + 3));
  const auto& temp = document[45];
  EXPECT_EQ(temp["pdu_address"].GetInt(), 45);
  EXPECT_EQ(temp["address_5digit"].GetInt(), 40046);
  EXPECT_EQ(temp["address_6digit"].GetInt(), 400046);
  EXPECT_STREQ(temp["postal_code"].GetString(), "a,\"b\"");
  EXPECT_STREQ(temp["name"].GetString(), "temp");
  EXPECT_DOUBLE_EQ(temp["scale"].GetDouble(), 0.1);
  EXPECT_STREQ(temp["unit"].GetString(), "\u00B0C");
  EXPECT_TRUE(temp["signed"].GetBool());
  EXPECT_EQ(temp["last_updated"].GetInt64(), kNow);
  EXPECT_STREQ(temp["last_updated_utc"].GetString(), "2023-11-14T22:13:20Z");
  const auto& info = document[0];
  EXPECT_EQ(info["scale"].GetInt(), 1);
  EXPECT_STREQ(info["unit"].GetString(), "");
  EXPECT_FALSE(info["signed"].GetBool());
  const auto& far = document[47];
  EXPECT_EQ(far["pdu_address"].GetInt(), 10000);
  EXPECT_TRUE(far["address_5digit"].IsNull());
  EXPECT_EQ(far["address_6digit"].GetInt(), 410001);
  EXPECT_STREQ(far["name"].GetString(), "say \"hi\"\nthere");
  EXPECT_TRUE(far["last_updated"].IsNull());
  EXPECT_TRUE(far["last_updated_utc"].IsNull());
}

TEST_F(RegisterMapTest, CsvTextThatASpreadsheetWouldRunIsWrittenAsText) {
  database.AddRow(45, "=HYPERLINK(\"http://evil.example\")", "+V1L", 1, kNow);
  database.AddRow(46, "-1", "@x", 2, kNow);
  database.AddRow(47, "\tname", "\rcode", 3, kNow);
  database.AddRow(48, "a=b", "V1L", 65535, kNow);
  const HttpAnswer csv = Get("/registers.csv");
  const std::string rows =
      "45,40046,400046,'+V1L,\"'=HYPERLINK(\"\"http://evil.example\"\")\",1,,false,1700000000,2023-11-14T22:13:20Z\r\n"
      "46,40047,400047,'@x,'-1,1,,false,1700000000,2023-11-14T22:13:20Z\r\n"
      "47,40048,400048,\"'\rcode\",'\tname,1,,false,1700000000,2023-11-14T22:13:20Z\r\n"
      "48,40049,400049,V1L,a=b,1,,false,1700000000,2023-11-14T22:13:20Z\r\n";
  ASSERT_GE(csv.body.size(), rows.size());
  EXPECT_EQ(csv.body.substr(csv.body.size() - rows.size()), rows);
  // The JSON map keeps the text as stored.
  rapidjson::Document document;
  document.Parse(Get("/registers.json").body.c_str());
  ASSERT_TRUE(document.IsArray());
  ASSERT_EQ(document.Size(), static_cast<rapidjson::SizeType>(kSeededRows + 4));
  EXPECT_STREQ(document[45]["name"].GetString(), "=HYPERLINK(\"http://evil.example\")");
  EXPECT_STREQ(document[46]["postal_code"].GetString(), "@x");
}

}  // namespace
}  // namespace veld_test
