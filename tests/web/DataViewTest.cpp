// DataViewTest.cpp - the data view over HTTP: the JSON and HTML forms, the
// address columns, paging links, empty pages, and the postal filter with the
// weather fetch that comes before it.
#include "WebTestFixture.h"

namespace veld_test {
namespace {

using DataViewTest = WebTest;

std::string Links(const std::string& limit, const std::string& previous, const std::string& next) {
  return "<br /><br /><a href='?'>Home</a> | <a href='?limit=" + limit + "&offset=" + previous +
         "'>Previous</a> | <a href='?limit=" + limit + "&offset=" + next + "'>Next</a> ";
}

std::vector<int> Join(std::vector<int> first, const std::vector<int>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

TEST_F(DataViewTest, JsonViewWritesEveryColumnAsAStringInNameOrder) {
  database.Run("UPDATE Data SET Value = NULL WHERE ModbusOffset = 21");
  const HttpAnswer answer = GetJson("/?limit=2&offset=20");
  EXPECT_EQ(answer.head, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close");
  EXPECT_EQ(answer.body,
            R"([{"Code":"V1L","LastUpdated":"1600000020","ModbusOffset":"20","Name":"reading.20","Value":"20"},)"
            R"({"Code":"V1L","LastUpdated":"1600000021","ModbusOffset":"21","Name":"reading.21"}])");
}

TEST_F(DataViewTest, HtmlViewIsATableWithTwoAddressColumnsAndPagingLinks) {
  const HttpAnswer answer = Get("/db?limit=1&offset=7");
  EXPECT_EQ(answer.head, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close");
  EXPECT_EQ(answer.body, std::string(kHtmlHeading) +
                             "<table border='1'><tr><th>Code</th><th>LastUpdated</th><th>ModbusOffset</th>"
                             "<th>Name</th><th>Value</th><th>PDU Modbus Address</th><th>APU Modbus Address</th></tr>"
                             "<tr><td>0</td><td>1600000007</td><td>7</td><td>reading.7</td><td>7</td>"
                             "<td>40008</td><td>400008</td></tr></table>" +
                             Links("1", "6", "8"));
}

TEST_F(DataViewTest, PagingLinksKeepTheLimitAndStepTheOffsetByIt) {
  const struct {
    std::string query;
    std::string limit, previous, next;
  } cases[] = {
      {"", "30", "0", "30"},
      {"offset=10", "30", "0", "40"},
      {"offset=40&limit=30", "30", "10", "70"},
      {"limit=5&offset=5", "5", "0", "10"},
      {"limit=5&offset=6", "5", "1", "11"},
      {"limit=0&offset=10", "0", "10", "10"},
      {"limit=-1", "-1", "1", "-1"},
      {"postal=v1l&limit=5&offset=10", "5", "5", "15"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    const std::string body = GetWithAccept("/page?" + c.query, kBrowserAccept).body;
    const std::string links = Links(c.limit, c.previous, c.next);
    ASSERT_GE(body.size(), links.size());
    EXPECT_EQ(body.substr(body.size() - links.size()), links);
  }
}

TEST_F(DataViewTest, AnEmptyPageIsNoResultsInHtmlAndA400ErrorInJson) {
  const auto expectEmpty = [this](const std::string& query, const std::string& links) {
    SCOPED_TRACE(query);
    const HttpAnswer json = GetJson("/?" + query);
    EXPECT_EQ(json.head, "HTTP/1.1 400 Bad Request\r\nContent-Type: application/json\r\nConnection: close");
    EXPECT_EQ(json.body, JsonError(400, "No results"));
    const HttpAnswer html = GetJson("/db?" + query);
    EXPECT_EQ(html.head, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close");
    EXPECT_EQ(html.body, kHtmlHeading + std::string("No Results") + links);
  };
  expectEmpty("offset=45", Links("30", "15", "75"));
  expectEmpty("limit=0", Links("0", "0", "0"));
  expectEmpty("limit=5&offset=1000", Links("5", "995", "1005"));
  database.Run("DELETE FROM Data");
  expectEmpty("", Links("30", "0", "30"));
}

TEST_F(DataViewTest, PostalFetchesTheWeatherThenListsTheCodesBeginningWithItInAnyCase) {
  SetWeatherAnswer(kTwoReadings);
  const HttpAnswer answer = GetJson("/?postal=v1l&limit=-1");
  ASSERT_EQ(weather.Requests().size(), 1u);
  EXPECT_EQ(weather.Requests()[0].target, "/api?postalCode=v1l");
  EXPECT_EQ(weather.Requests()[0].accept, std::vector<std::string>{kJsonType});
  EXPECT_EQ(answer.status, 200);
  const SqlRows rows = JsonRows(answer.body);
  EXPECT_EQ(OffsetsOf(rows), Join(Range(20, 34), {45, 46})) << "V1L, v1l 3a5 and the fetched v1l rows";
  ASSERT_EQ(rows.size(), 17u);
  EXPECT_EQ(rows[15], RowAt(45));
  EXPECT_EQ(rows[15].at("Code"), "v1l");
  EXPECT_EQ(rows[15].at("Name"), "temp");
  EXPECT_EQ(rows[15].at("Value"), "215");
  EXPECT_EQ(rows[16].at("Name"), "humidity");

  // Decoded once: the readings are stored under the code with its blank,
  // and the filter compares that code.
  const SqlRows decoded = JsonRows(GetJson("/?postal=V1L%203A5&limit=-1").body);
  EXPECT_EQ(weather.Requests().back().target, "/api?postalCode=V1L%203A5");
  EXPECT_EQ(RowAt(47).at("Code"), "V1L 3A5");
  EXPECT_EQ(RowAt(48).at("Code"), "V1L 3A5");
  EXPECT_EQ(OffsetsOf(decoded), Join(Range(30, 34), {47, 48}));

  // As a form sends it, "+" for the blank: the same code.
  const SqlRows plus = JsonRows(GetJson("/?postal=V1L+3A5&limit=-1").body);
  EXPECT_EQ(weather.Requests().back().target, "/api?postalCode=V1L%203A5");
  EXPECT_EQ(OffsetsOf(plus), Join(Range(30, 34), {47, 48})) << "the rows of V1L 3A5, updated";
}

TEST_F(DataViewTest, PostalIsFormDecodedOnceAndEncodedAgainForTheFetch) {
  const struct {
    std::string postal;
    std::string fetched;
  } cases[] = {
      {"V1L%203A5", "V1L%203A5"}, {"v1l", "v1l"},           {"%", "%25"},
      {"%2541", "%2541"},         {"V1L+3A5", "V1L%203A5"}, {"V1L%2B3A5", "V1L%2B3A5"},
      {"%zz1", "%25zz1"},         {"%4", "%254"},           {"K1A%200B1%26x", "K1A%200B1%26x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.postal);
    GetJson("/?limit=1&postal=" + c.postal);
    ASSERT_FALSE(weather.Requests().empty());
    EXPECT_EQ(weather.Requests().back().target, "/api?postalCode=" + c.fetched);
  }
}

TEST_F(DataViewTest, PostalPercentAndUnderscoreKeepTheirWildcardMeaning) {
  const struct {
    std::string postal;
    std::vector<int> offsets;  // empty: the 400 "No results" answer
  } cases[] = {
      {"%", Range(0, 44)},
      {"%25", Range(0, 44)},
      {"_1L", Join(Range(20, 34), Range(40, 44))},
      {"V_L", Range(20, 34)},
      {"9%1", Range(35, 39)},
      {"%253a5", Range(30, 34)},
      {"v1l%203", Range(30, 34)},
      {"1L", {}},
      {"V1L3", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.postal);
    const HttpAnswer answer = GetJson("/?limit=-1&postal=" + c.postal);
    if (c.offsets.empty()) {
      EXPECT_EQ(answer.status, 400);
      EXPECT_EQ(answer.body, JsonError(400, "No results"));
    } else {
      EXPECT_EQ(OffsetsOf(JsonRows(answer.body)), c.offsets);
    }
  }
  EXPECT_EQ(weather.Requests().size(), std::size(cases)) << "every filter fetches first";
  EXPECT_EQ(Table().size(), static_cast<size_t>(kSeededRows)) << "the failed fetches stored nothing";
}

}  // namespace
}  // namespace veld_test
