// WebActionsTest.cpp - the write and add actions over HTTP: the values and
// ids they take and refuse, the optional name, missing parameters and rows,
// and the one-row view they answer with.
#include "DataTable.h"
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

TEST_F(WebActionsTest, WriteStoresAWholeNumberNegativeOnesAsTwosComplement) {
  const struct {
    std::string value;
    std::string stored;
  } cases[] = {
      {"9", "9"},          {"0", "0"},    {"65535", "65535"}, {"-1", "65535"},   {"-170", "65366"},
      {"-32768", "32768"}, {"%2B3", "3"}, {"007", "7"},       {"%2D5", "65531"},
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

TEST_F(WebActionsTest, ValuesAndIdsOutsideTheirRangesOrNotWholeNumbersAre400AndStoreNothing) {
  const std::string badValue = "value must be an integer from -32768 to 65535";
  const std::string badId = "id must be an integer from 0 to 65535";
  const struct {
    std::string query;
    std::string message;
  } cases[] = {
      {"action=write&id=4&value=abc", badValue},
      {"action=write&id=4&value=", badValue},
      {"action=write&id=4&value=12.7", badValue},
      {"action=write&id=4&value=70000", badValue},
      {"action=write&id=4&value=65536", badValue},
      {"action=write&id=4&value=-32769", badValue},
      {"action=write&id=4&value=9x", badValue},
      {"action=write&id=4&value=0x10", badValue},
      {"action=write&id=4&value=+3", badValue},  // a form's "+" is a blank
      {"action=write&id=4&value=%2B-3", badValue},
      {"action=write&id=4&value=1%002", badValue},
      {"action=write&id=4&value=99999999999999999999", badValue},
      {"action=write&id=65556&value=1", badId},
      {"action=write&id=-1&value=1", badId},
      {"action=write&id=abc&value=1", badId},
      {"action=write&id=&value=1", badId},
      {"action=write&id=4.0&value=1", badId},
      {"action=write&id=4;x&value=1", badId},
      {"action=add&value=x", badValue},
      {"action=add&value=-40000&name=n", badValue},
      {"action=add&value=3.5", badValue},
  };
  const SqlRows before = Table();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.query);
    const HttpAnswer json = GetJson("/?" + c.query);
    EXPECT_EQ(json.head, "HTTP/1.1 400 Bad Request\r\nContent-Type: application/json\r\nConnection: close");
    EXPECT_EQ(json.body, JsonError(400, c.message));
    const HttpAnswer text = Get("/x?" + c.query);
    EXPECT_EQ(text.status, 400);
    EXPECT_EQ(text.body, TextError(400, c.message));
  }
  EXPECT_EQ(Table(), before);
}

TEST_F(WebActionsTest, WriteSetsTheDecodedNameOnlyWhenThereIsOne) {
  const struct {
    std::string query;
    std::string name;
  } cases[] = {
      {"&name=Outside%20Temp", "Outside Temp"},
      {"&name=a+b", "a b"},
      {"&name=a%2Bb", "a+b"},
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
  for (const char* query : {"action=write&id=4", "action=write&value=4", "action=write", "action=write&idx=4&value=4",
                            "action=add", "action=add&id=4&name=x", "action=add&values=4"}) {
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

TEST_F(WebActionsTest, WriteToAnOffsetWithoutARowIsA404AndAddsNothing) {
  const SqlRows before = Table();
  for (const char* id : {"45", "500", "65535"}) {
    SCOPED_TRACE(id);
    const HttpAnswer json = GetJson(std::string("/?action=write&value=1&id=") + id);
    EXPECT_EQ(json.head, "HTTP/1.1 404 Not found\r\nContent-Type: application/json\r\nConnection: close");
    EXPECT_EQ(json.body, JsonError(404, "No row at this id"));
    const HttpAnswer text = Get(std::string("/x?action=write&value=1&id=") + id);
    EXPECT_EQ(text.status, 404);
  }
  EXPECT_EQ(Table(), before);
}

TEST_F(WebActionsTest, ARenameToANameTheCodeHasAlreadyIsA409) {
  database.Run(kCreateDataUniqueIndexSql);
  // Rows 20 and 21 are both of V1L.
  const HttpAnswer answer = GetJson("/?action=write&id=21&value=1&name=reading.20");
  EXPECT_EQ(answer.status, 409);
  EXPECT_EQ(RowAt(21)["Name"], "reading.21");
}

TEST_F(WebActionsTest, AddAppendsARowWithCode0AtTheNextOffsetAndAnswersWithIt) {
  const struct {
    std::string query;
    std::string name;
    std::string value;
  } cases[] = {
      {"action=add&value=3", "no name", "3"},
      {"action=add&value=3&name=Outside%20Temp", "Outside Temp", "3"},
      {"action=add&id=7&value=12&name=a+b", "a b", "12"},
      {"action=add&value=-1&name=", "no name", "65535"},
      {"action=add&value=-170&name=temp", "temp", "65366"},
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
