// WebActionsTest.cpp - the write and add actions over HTTP: conversions of
// the value, the optional name, missing parameters and rows, and the one-row
// view they answer with.
#include "WebTestFixture.h"

namespace veld_test {
namespace {

using WebActionsTest = WebTest;

SqlRow Row(int offset, const std::string& name, const std::string& code, const std::string& value, int64_t updated) {
  return {{"Code", code},
          {"LastUpdated", std::to_string(updated)},
          {"ModbusOffset", std::to_string(offset)},
          {"Name", name},
          {"Value", value}};
}

TEST_F(WebActionsTest, WriteStoresTheValueAsAtoiReadsItCutTo16Bits) {
  const struct {
    std::string value;
    std::string stored;
  } cases[] = {
      {"9", "9"}, {"abc", "0"}, {"12.7", "12"}, {"-5", "65531"},    {"70000", "4464"},
      {"", "0"},  {"+3", "3"},  {"0x10", "0"},  {"65535", "65535"}, {"%31", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const HttpAnswer answer = GetJson("/?action=write&id=4&value=" + c.value);
    EXPECT_EQ(answer.status, 200);
    const SqlRow expected = Row(4, "reading.4", "0", c.stored, kNow);
    EXPECT_EQ(RowAt(4), expected);
    EXPECT_EQ(JsonRows(answer.body), SqlRows{expected}) << "the answer is the written row";
  }
}

TEST_F(WebActionsTest, WriteSetsTheDecodedNameOnlyWhenThereIsOne) {
  const struct {
    std::string query;
    std::string name;
  } cases[] = {
      {"&name=Outside%20Temp", "Outside Temp"},
      {"&name=a+b", "a+b"},
      {"&name=%E2%82%AC%2F%25", "\xE2\x82\xAC/%"},
      {"&name=50%", "50%"},
      {"&name=ab%00cd", "ab"},
      {"", "ab"},  // no name: the row keeps the one it has
      {"&name=", "ab"},
      {"&name=%00x", "ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    EXPECT_EQ(GetJson("/?action=write&id=4&value=9" + c.query).status, 200);
    EXPECT_EQ(RowAt(4).at("Name"), c.name);
  }
}

TEST_F(WebActionsTest, MissingParametersAnswer400AndChangeNothing) {
  const std::string message = "Missing required parameters for write.";
  const SqlRows before = Table();
  for (const char* query : {"action=write&id=4", "action=write&value=4", "action=write", "action=write&ID=4&value=4",
                            "action=add", "action=add&id=4&name=x", "action=add&Value=4"}) {
    SCOPED_TRACE(query);
    const HttpAnswer json = GetJson(std::string("/?") + query);
    EXPECT_EQ(json.head, "HTTP/1.1 400 Bad Request\r\nContent-Type: application/json\r\nConnection: close");
    EXPECT_EQ(json.body, JsonError(400, message));
    const HttpAnswer text = GetWithAccept(std::string("/x?") + query, kBrowserAccept);
    EXPECT_EQ(text.head, "HTTP/1.1 400 Bad Request\r\nContent-Type: text/html\r\nConnection: close");
    EXPECT_EQ(text.body, TextError(400, message));
  }
  EXPECT_EQ(Table(), before);
}

TEST_F(WebActionsTest, WriteToAnOffsetWithoutARowIsA500AndAddsNothing) {
  const SqlRows before = Table();
  for (const char* id : {"45", "500", "-1"}) {
    SCOPED_TRACE(id);
    const HttpAnswer json = GetJson(std::string("/?action=write&value=1&id=") + id);
    EXPECT_EQ(json.head, "HTTP/1.1 500 Internal Server Error\r\nContent-Type: application/json\r\nConnection: close");
    EXPECT_EQ(json.body, JsonError(500, "Could not update database with write"));
    const HttpAnswer text = Get(std::string("/x?action=write&value=1&id=") + id);
    EXPECT_EQ(text.status, 500);
    EXPECT_EQ(text.body, TextError(500, "Could not update database with write"));
  }
  EXPECT_EQ(Table(), before);
}

TEST_F(WebActionsTest, AddAppendsARowWithCode0AtTheNextOffsetAndAnswersWithIt) {
  const struct {
    std::string query;
    std::string name;
    std::string value;
  } cases[] = {
      {"action=add&value=3", "no name", "3"},
      {"action=add&value=3&name=Outside%20Temp", "Outside Temp", "3"},
      {"action=add&id=7&value=12.9&name=a+b", "a+b", "12"},
      {"action=add&value=-1&name=", "no name", "65535"},
      {"action=add&value=x", "no name", "0"},
  };
  int offset = kSeededRows;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    const HttpAnswer answer = GetJson("/?" + c.query);
    EXPECT_EQ(answer.status, 200);
    const SqlRow expected = Row(offset, c.name, "0", c.value, kNow);
    EXPECT_EQ(JsonRows(answer.body), SqlRows{expected}) << "a one-element array with the new row";
    EXPECT_EQ(RowAt(offset), expected);
    ++offset;
  }
  EXPECT_EQ(RowAt(7).at("Value"), "7") << "add ignores id";
  EXPECT_EQ(Table().size(), static_cast<size_t>(offset));

  const HttpAnswer page = GetWithAccept("/x?action=add&value=5", kBrowserAccept);
  EXPECT_EQ(page.Header("Content-Type"), kBrowserAccept);
  EXPECT_NE(page.body.find("<td>0</td><td>1700000000</td><td>50</td><td>no name</td><td>5</td><td>40051</td>"),
            std::string::npos)
      << page.body;
}

}  // namespace
}  // namespace veld_test
