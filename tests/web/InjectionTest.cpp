// InjectionTest.cpp - what a client sends never changes a statement, and
// never changes the markup or the JSON structure the server writes around
// column names and texts.
#include <algorithm>
#include <cstdio>

#include "WebTestFixture.h"

namespace veld_test {
namespace {

using InjectionTest = WebTest;

struct InjectionCase {
  std::string target;
  int status;
  size_t listed = 0;  // rows a successful view lists
  // The row a successful write or add leaves: offset and the fields it must
  // hold (other rows stay as they were). Offset -1: nothing changes.
  int offset = -1;
  std::string name = "";
  std::string value = "";
  std::string message = "No results";  // of a 400 answer
};

const char* const kBadId = "id must be an integer from 0 to 65535";
const char* const kBadValue = "value must be an integer from -32768 to 65535";

TEST_F(InjectionTest, SqlInClientValuesIsTakenAsPlainValues) {
  const InjectionCase cases[] = {
      {"/?postal=%22%20OR%201=1--", 400},
      {"/?postal=x'%20OR%20'1'='1", 400},
      {"/?postal=%25'%3B%20DROP%20TABLE%20Data%3B--", 400},
      {"/?postal=%22)%3B%20DELETE%20FROM%20Data%3B--", 400},
      {"/?limit=1%20OR%201=1", 200, 1},
      {"/?limit=1;DROP%20TABLE%20Data", 200, 1},
      {"/?offset=0;DELETE%20FROM%20Data", 200, 30},
      {"/?action=write&id=4%20OR%201=1&value=7", 400, 0, -1, "", "", kBadId},
      {"/?action=write&id=4;DELETE%20FROM%20Data&value=7", 400, 0, -1, "", "", kBadId},
      {"/?action=write&id=5&value=8;DROP%20TABLE%20Data", 400, 0, -1, "", "", kBadValue},
      {"/?action=write&id=6&value=1&name=x')%3B%20DROP%20TABLE%20Data%3B--", 200, 1, 6, "x'); DROP TABLE Data;--", "1"},
      {"/?action=write&id=7&value=1&name=x'%20WHERE%201=1%3B--", 200, 1, 7, "x' WHERE 1=1;--", "1"},
      {"/?action=add&value=2&name=x'%2C'y'%2C1%2C1%2C1)%3B%20DROP%20TABLE%20Data%3B--", 200, 1, kSeededRows,
       "x','y',1,1,1); DROP TABLE Data;--", "2"},
  };
  for (const InjectionCase& c : cases) {
    SCOPED_TRACE(c.target);
    SqlRows expected = Table();
    const HttpAnswer answer = GetJson(c.target);
    EXPECT_TRUE(answer.closed);
    EXPECT_EQ(answer.status, c.status);
    if (c.status == 400) {
      EXPECT_EQ(answer.body, JsonError(400, c.message));
    }
    if (c.offset >= 0) {
      if (c.offset == static_cast<int>(expected.size())) {
        expected.push_back({{"Code", "0"}, {"ModbusOffset", std::to_string(c.offset)}});
      }
      SqlRow& row = expected[static_cast<size_t>(c.offset)];
      row["Name"] = c.name;
      row["Value"] = c.value;
      row["LastUpdated"] = std::to_string(kNow);
      EXPECT_EQ(JsonRows(answer.body), SqlRows{row});
    } else if (c.status == 200) {
      EXPECT_EQ(JsonRows(answer.body).size(), c.listed);
    }
    EXPECT_EQ(Table(), expected);
  }
  EXPECT_EQ(database.Rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'Data'").size(), 1u);
}

TEST_F(InjectionTest, MarkupInColumnNamesAndTextsIsEscapedInHtml) {
  database.Run("ALTER TABLE Data ADD COLUMN \"<i>\"\"x\"\"&'y'</i>\" TEXT");
  database.Run("UPDATE Data SET Code = 'A&B\"<>''', \"<i>\"\"x\"\"&'y'</i>\" = '<b>' WHERE ModbusOffset = 0");
  const HttpAnswer answer = Get("/db?limit=1");
  EXPECT_NE(answer.body.find("<th>&lt;i&gt;&quot;x&quot;&amp;&#39;y&#39;&lt;/i&gt;</th>"), std::string::npos)
      << answer.body;
  EXPECT_NE(answer.body.find("<tr><td>&lt;b&gt;</td><td>A&amp;B&quot;&lt;&gt;&#39;</td><td>1600000000</td>"),
            std::string::npos)
      << answer.body;

  const HttpAnswer added = Get("/x?action=add&value=1&name=%3Cscript%3Ealert('x%26y')%3C/script%3E");
  EXPECT_EQ(RowAt(kSeededRows).at("Name"), "<script>alert('x&y')</script>");
  EXPECT_NE(added.body.find("<td>&lt;script&gt;alert(&#39;x&amp;y&#39;)&lt;/script&gt;</td>"), std::string::npos)
      << added.body;
  for (const std::string& body : {answer.body, added.body}) {
    EXPECT_EQ(body.find("<script"), std::string::npos);
    EXPECT_EQ(body.find("<i>"), std::string::npos);
    EXPECT_EQ(body.find("<b>"), std::string::npos);
  }
}

TEST_F(InjectionTest, JsonStaysValidAndCarriesTheExactTexts) {
  database.Run("ALTER TABLE Data ADD COLUMN \"q\"\"\\name\" TEXT");
  database.Run("UPDATE Data SET \"q\"\"\\name\" = 'tab\there' WHERE ModbusOffset = 1");
  const std::string names[] = {
      "</script><script>alert(1)</script>",
      "quote \" and backslash \\",
      std::string("controls \x01\x1f\n\r\t\b\f end"),
      "Z\xC3\xBCrich \xE2\x82\xAC",
  };
  for (const std::string& name : names) {
    std::string encoded;
    for (const unsigned char c : name) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      encoded += hex;
    }
    SCOPED_TRACE(encoded);
    const HttpAnswer added = GetJson("/?action=add&value=1&name=" + encoded);
    const SqlRows rows = JsonRows(added.body);
    ASSERT_EQ(rows.size(), 1u) << added.body;
    EXPECT_EQ(rows[0].at("Name"), name);
  }
  // Bytes that are not UTF-8 cannot travel in JSON text: they arrive as
  // U+FFFD, the rest of the name intact.
  const HttpAnswer broken = GetJson("/?action=add&value=1&name=a%FFb%C3");
  const SqlRows brokenRows = JsonRows(broken.body);
  ASSERT_EQ(brokenRows.size(), 1u) << broken.body;
  EXPECT_EQ(brokenRows[0].at("Name"),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
  database.Run("DELETE FROM Data WHERE Name = 'a' || x'FF' || 'b' || x'C3'");

  const HttpAnswer answer = GetJson("/?limit=-1");
  EXPECT_EQ(JsonRows(answer.body), Table()) << answer.body;
  EXPECT_EQ(std::count_if(answer.body.begin(), answer.body.end(),
                          [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
            0)
      << "raw control characters in the JSON text";
}

}  // namespace
}  // namespace veld_test
