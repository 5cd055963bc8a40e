// RouterTest.cpp - the request router over HTTP: static routes, the Accept
// header, query-string parsing, the /db path, actions it does not know,
// the request log line, the server's library settings and
// its threads' priority.
#include <civetweb.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "WebTestFixture.h"

namespace veld_test {
namespace {

std::string AssetFile(const std::string& name) {
  std::ifstream file(std::string(VELD_WEB_ASSETS_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file.good()) << name;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct StaticCase {
  std::string target;
  std::string headerLines;
  std::string asset;
  std::string contentType;
};

using RouterTest = WebTest;

TEST_F(RouterTest, StaticRoutesSendTheCommittedAssetsExactlyWithTheirTypes) {
  const StaticCase cases[] = {
      {"/", "", "index.html", "text/html"},
      {"/", std::string("Accept: ") + kBrowserAccept + "\r\n", "index.html", "text/html"},
      {"/", "Accept: application/json; charset=utf-8\r\n", "index.html", "text/html"},
      {"/", "accept: application/json\r\n", "index.html", "text/html"},
      {"/", "Accept: text/html\r\nAccept: application/json\r\n", "index.html", "text/html"},
      {"/?limit=5&action=add&value=1", "", "index.html", "text/html"},
      {"/index.js", "", "index.js", "application/javascript"},
      {"/index.js?x=1", "", "index.js", "application/javascript"},
      {"/index.js", "Accept: application/json\r\n", "index.js", "application/javascript"},
      {"/index.css", "", "index.css", "text/css"},
      {"/index.css?action=write&id=3&value=9", "Accept: application/json\r\n", "index.css", "text/css"},
  };
  const SqlRows before = Table();
  for (const StaticCase& c : cases) {
    SCOPED_TRACE(c.target + " " + c.headerLines);
    const HttpAnswer answer = Send(GetRequest(c.target, c.headerLines));
    EXPECT_TRUE(answer.closed);
    EXPECT_EQ(answer.head, "HTTP/1.1 200 OK\r\nContent-Type: " + c.contentType + "\r\nConnection: close");
    EXPECT_TRUE(answer.body == AssetFile(c.asset)) << "body of " << answer.body.size() << " bytes";
  }
  EXPECT_EQ(Table(), before) << "a static route carries out no action";
}

TEST_F(RouterTest, FaviconIsNotFoundWithAnEmptyBody) {
  const HttpAnswer answer = GetJson("/favicon.ico");
  EXPECT_TRUE(answer.closed);
  EXPECT_EQ(answer.head, "HTTP/1.1 404 Not found\r\nContent-Type: text/html\r\nConnection: close");
  EXPECT_EQ(answer.body, "");
}

struct AcceptCase {
  std::string headerLines;
  bool json;
  std::string contentType;
};

// Only the first header named exactly "Accept" with a value of exactly
// "application/json" selects JSON; the HTML view carries the value as its
// Content-Type.
TEST_F(RouterTest, OnlyAnExactJsonAcceptSelectsTheJsonView) {
  const AcceptCase cases[] = {
      {"Accept: application/json\r\n", true, kJsonType},
      {"Accept: application/json\r\nAccept: text/html\r\n", true, kJsonType},
      {"Accept: text/html\r\nAccept: application/json\r\n", false, "text/html"},
      {"Accept: application/json; charset=utf-8\r\n", false, "application/json; charset=utf-8"},
      {"Accept: APPLICATION/JSON\r\n", false, "APPLICATION/JSON"},
      {"accept: application/json\r\n", false, ""},
      {"ACCEPT: application/json\r\n", false, ""},
      {"", false, ""},
      {std::string("Accept: ") + kBrowserAccept + "\r\n", false, kBrowserAccept},
  };
  for (const AcceptCase& c : cases) {
    SCOPED_TRACE(c.headerLines);
    const HttpAnswer answer = Send(GetRequest("/rows?limit=2", c.headerLines));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.Header("Content-Type"), c.contentType);
    if (c.json) {
      EXPECT_EQ(OffsetsOf(JsonRows(answer.body)), Range(0, 1));
    } else {
      EXPECT_EQ(answer.body.rfind(kHtmlHeading, 0), 0u) << answer.body;
    }
  }
}

TEST_F(RouterTest, RootWithJsonAcceptIsADataQueryForTheFirst30Rows) {
  const HttpAnswer answer = GetJson("/");
  EXPECT_EQ(answer.head, "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close");
  const SqlRows table = Table();
  EXPECT_EQ(JsonRows(answer.body), SqlRows(table.begin(), table.begin() + 30));
}

struct QueryCase {
  std::string query;
  std::vector<int> offsets;  // empty: the 400 "No results" answer
};

// CivetWeb's mg_get_var reads the parameters: values decoded as forms
// encode them, the first of a name counts, names compared in any case.
TEST_F(RouterTest, QueryValuesAreDecodedAsFormsAndNumbersReadAsAtoiReadsThem) {
  const QueryCase cases[] = {
      {"", Range(0, 29)},
      {"limit=5", Range(0, 4)},
      {"debug&limit=5", Range(0, 4)},
      {"debug", Range(0, 29)},
      {"limit=5&debug", Range(0, 4)},
      {"limit=5&limit=7", Range(0, 4)},
      {"LIMIT=5", Range(0, 4)},
      {"xlimit=5", Range(0, 29)},
      {"limit=abc", {}},
      {"limit=", {}},
      {"limit=%33", Range(0, 2)},
      {"limit=%2B3", Range(0, 2)},
      {"limit=+3x", Range(0, 2)},  // " 3x": atoi skips the blank
      {"limit=3&offset=7", Range(7, 9)},
      {"offset=40", Range(40, 44)},
      {"offset=2abc&limit=2", Range(2, 3)},
      {"limit=-1", Range(0, 44)},
      {"limit=-1&offset=-3", Range(0, 44)},
      {"offset=45", {}},
      {"limit=2&postal=", Range(0, 1)},
      {"limit=2&action=view", Range(0, 1)},
  };
  for (const QueryCase& c : cases) {
    SCOPED_TRACE(c.query);
    const HttpAnswer answer = GetJson("/any/path?" + c.query);
    if (c.offsets.empty()) {
      EXPECT_EQ(answer.status, 400);
      EXPECT_EQ(answer.body, JsonError(400, "No results"));
    } else {
      EXPECT_EQ(answer.status, 200);
      EXPECT_EQ(OffsetsOf(JsonRows(answer.body)), c.offsets);
    }
  }
  EXPECT_TRUE(weather.Requests().empty()) << "an empty postal fetches nothing";
}

TEST_F(RouterTest, DbPathForcesTheHtmlViewAndCarriesOutNoAction) {
  const SqlRows before = Table();
  for (const char* query : {"action=write&id=3&value=9&name=x", "action=add&value=1", "action=delete"}) {
    SCOPED_TRACE(query);
    const HttpAnswer answer = GetJson(std::string("/db?limit=2&") + query);
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.Header("Content-Type"), "text/html");
    EXPECT_EQ(answer.body.rfind(kHtmlHeading, 0), 0u) << answer.body;
    EXPECT_NE(answer.body.find("<td>reading.1</td>"), std::string::npos);
  }
  EXPECT_EQ(Table(), before);
  for (const char* target : {"/DB?action=delete", "/db/?action=delete", "/dbx?action=delete"}) {
    EXPECT_EQ(GetJson(target).status, 400) << target << " is not /db";
  }
}

struct ErrorCase {
  std::string target;
  std::string headerLines;
  std::string contentType;
  std::string body;
};

TEST_F(RouterTest, UnknownActionsAnswer400InTheFormTheAcceptHeaderAsks) {
  const std::string json = JsonError(400, "unknown action");
  const std::string text = TextError(400, "unknown action");
  const ErrorCase cases[] = {
      {"/?action=delete", "Accept: application/json\r\n", kJsonType, json},
      {"/x?action=delete", "", "text/html", text},
      {"/x?action=delete", std::string("Accept: ") + kBrowserAccept + "\r\n", "text/html", text},
      {"/x?action=delete", "Accept: application/json; charset=utf-8\r\n", "text/html", text},
      {"/x?action=Write&id=3&value=9", "Accept: application/json\r\n", kJsonType, json},
      {"/x?action=ADD&value=9", "", "text/html", text},
      {"/x?action=", "Accept: application/json\r\n", kJsonType, json},
  };
  const SqlRows before = Table();
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(c.target + " " + c.headerLines);
    const HttpAnswer answer = Send(GetRequest(c.target, c.headerLines));
    EXPECT_EQ(answer.head, "HTTP/1.1 400 Bad Request\r\nContent-Type: " + c.contentType + "\r\nConnection: close");
    EXPECT_EQ(answer.body, c.body);
  }
  EXPECT_EQ(Table(), before);
}

TEST_F(RouterTest, EachRequestIsLoggedWithItsPathQueryAndAccept) {
  const struct {
    std::string request;
    std::string line;
  } cases[] = {
      {GetRequest("/"), "FYI: HTTP Request: request_uri=[/] query_string=[(null)] Accept=[]\n"},
      {GetRequest("/index.js?x=1", "Accept: */*\r\n"),
       "FYI: HTTP Request: request_uri=[/index.js] query_string=[x=1] Accept=[*/*]\n"},
      {GetRequest("/rows?limit=2&postal=", "Accept: application/json\r\n"),
       "FYI: HTTP Request: request_uri=[/rows] query_string=[limit=2&postal=] Accept=[application/json]\n"},
      {GetRequest("/db?action=delete", "accept: text/plain\r\n"),
       "FYI: HTTP Request: request_uri=[/db] query_string=[action=delete] Accept=[]\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    log.Clear();
    EXPECT_TRUE(Send(c.request).closed);
    const std::string text = log.Text();
    EXPECT_EQ(text.rfind(c.line, 0), 0u) << "the request line comes first:\n" << text;
  }
}

// The server runs with the options it relies on: no keep-alive, short
// time-outs and many workers against slow clients, no files of the library.
TEST_F(RouterTest, ServerRunsWithTheOptionsItReliesOn) {
  const struct {
    const char* name;
    const char* value;
  } options[] = {
      {"num_threads", "256"},         {"enable_keep_alive", "no"},
      {"request_timeout_ms", "2000"}, {"keep_alive_timeout_ms", "2000"},
      {"listen_backlog", "1024"},     {"max_request_size", "16384"},
      {"document_root", ""},          {"listening_ports", "127.0.0.1:0"},
  };
  for (const auto& option : options) {
    const char* value = mg_get_option(server.get(), option.name);
    ASSERT_NE(value, nullptr) << option.name;
    EXPECT_STREQ(value, option.value) << option.name;
  }
  const HttpAnswer answer = Send("GET /index.css HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: keep-alive\r\n\r\n");
  EXPECT_TRUE(answer.closed) << "the connection closes after one answer";
  // A header that never ends is dropped after the request time-out, well
  // within SendRaw's 10 s (the library's own default waits 30 s).
  const HttpAnswer unfinished = Send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n");
  EXPECT_TRUE(unfinished.closed) << "a request without its blank line holds the worker";
  EXPECT_NE(unfinished.status, 200);
}

// The web threads give way to the Modbus loop: each runs ten nice levels
// below the thread that started the server.
TEST_F(RouterTest, WebThreadsRunAtALowerPriorityThanTheProcess) {
  errno = 0;
  const int own = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
  ASSERT_EQ(errno, 0);
  const std::string expected = std::to_string(std::min(own + 10, 19));
  Send("GET /index.css HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");  // the threads are running
  int lowered = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream stat(task.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 19, the nice value, counted after the command name's ")".
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int number = 3; number <= 19 && fields >> field; ++number) {
    }
    lowered += field == expected ? 1 : 0;
  }
  EXPECT_GE(lowered, 50) << "the 50 workers";
}

}  // namespace
}  // namespace veld_test
