// WebGuardsTest.cpp - the guards in front of the router over HTTP: GET and
// HEAD only, the cross-site guard of the write and add actions (with the
// requests of curl, scripts and the page itself still served), the allowed
// host names, and HTTP digest authentication with libcurl as the client.
#include <civetweb.h>
#include <curl/curl.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "WebGuards.h"
#include "WebTestFixture.h"

namespace veld_test {
namespace {

using WebGuardsTest = WebTest;

const char* const kWrite = "/?action=write&id=4&value=77";

// GET of target with a Host header of its own (none when host is empty).
std::string RequestWithHost(const std::string& target, const std::string& host, const std::string& headerLines) {
  return "GET " + target + " HTTP/1.1\r\n" + (host.empty() ? "" : "Host: " + host + "\r\n") +
         "Accept: application/json\r\n" + headerLines + "\r\n";
}

std::string MachineName() {
  char name[HOST_NAME_MAX + 1] = "";
  EXPECT_EQ(gethostname(name, sizeof name), 0);
  return name;
}

TEST_F(WebGuardsTest, MethodsOtherThanGetAndHeadAre405OnEveryRouteAndChangeNothing) {
  const SqlRows before = Table();
  for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS", "PROPFIND"}) {
    for (const char* target : {"/", "/?limit=2", "/index.js", "/index.css", "/favicon.ico", "/db", "/healthz",
                               "/metrics", "/?action=add&value=9", "/x?action=write&id=4&value=9"}) {
      SCOPED_TRACE(std::string(method) + " " + target);
      const std::string body = "action=add&value=9";
      const HttpAnswer answer = Send(std::string(method) + " " + target +
                                     " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: application/json\r\n"
                                     "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                                     std::to_string(body.size()) + "\r\n\r\n" + body);
      EXPECT_TRUE(answer.closed);
      EXPECT_EQ(answer.head,
                "HTTP/1.1 405 Method Not Allowed\r\nContent-Type: application/json\r\nAllow: GET, HEAD\r\n"
                "Connection: close");
      EXPECT_EQ(answer.body, JsonError(405, "Only GET and HEAD are served"));
    }
  }
  EXPECT_TRUE(log.Contains("Error: HTTP method [PROPFIND] refused: only GET and HEAD are served\n"));
  const HttpAnswer text = Send("DELETE /?action=add&value=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(text.status, 405);
  EXPECT_EQ(text.body, TextError(405, "Only GET and HEAD are served"));
  // A method CivetWeb does not know never reaches the router.
  EXPECT_EQ(Send("BREW /?action=add&value=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").status, 400);
  EXPECT_EQ(Table(), before);
}

TEST_F(WebGuardsTest, HeadAnswersLikeGetWithoutABody) {
  for (const char* target : {"/", "/index.js", "/index.css", "/favicon.ico", "/?limit=2", "/db?limit=2", "/healthz",
                             "/metrics", "/?action=delete", "/?offset=1000"}) {
    for (const char* accept : {"", "Accept: application/json\r\n"}) {
      SCOPED_TRACE(std::string(target) + " " + accept);
      const HttpAnswer get = Send(GetRequest(target, accept));
      const HttpAnswer head =
          Send("HEAD " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + accept + "\r\n");
      EXPECT_TRUE(head.closed);
      EXPECT_EQ(head.head, get.head);
      EXPECT_EQ(head.body, "");
    }
  }
}

struct SiteCase {
  std::string host;  // "*" for 127.0.0.1 and the server's port
  std::string headerLines;
  std::string why;  // empty: the action runs; else what the log line says
};

TEST_F(WebGuardsTest, ActionsFromAnotherSiteOrUnderAForeignHostAre403WithALogLine) {
  const std::string local = "127.0.0.1:" + std::to_string(Port());
  const std::string page = "http://" + local;
  const std::string foreignHost =
      "is not an IP address, localhost, this machine's name or a name of --web-allowed-hosts";
  const SiteCase cases[] = {
      {"*", "Sec-Fetch-Site: cross-site\r\n", "the browser marks the request as Sec-Fetch-Site [cross-site]"},
      {"*", "Sec-Fetch-Site: same-site\r\n", "the browser marks the request as Sec-Fetch-Site [same-site]"},
      {"*", "Origin: http://evil.example\r\n", "Origin [http://evil.example] names another host than Host [*]"},
      {"*", "Origin: null\r\n", "Origin [null] names another host than Host [*]"},
      {"*", "Origin: http://127.0.0.1:1\r\n", "Origin [http://127.0.0.1:1] names another host than Host [*]"},
      {"*", "Origin: http://127.0.0.1\r\n", "Origin [http://127.0.0.1] names another host than Host [*]"},
      {"*", "Referer: http://evil.example/" + local + "/\r\n",
       "Referer [http://evil.example/" + local + "/] names another host than Host [*]"},
      {"*", "Referer: " + page + "@evil.example/\r\n",
       "Referer [" + page + "@evil.example/] names another host than Host [*]"},
      {"evil.example", "", "Host [evil.example] " + foreignHost},
      {"evil.example:" + std::to_string(Port()), "Origin: http://evil.example:" + std::to_string(Port()) + "\r\n",
       "Host [evil.example:" + std::to_string(Port()) + "] " + foreignHost},
      {"127.0.0.1.evil.example", "", "Host [127.0.0.1.evil.example] " + foreignHost},
      {"localhost.evil.example", "", "Host [localhost.evil.example] " + foreignHost},
      {"127.0.0.1:80x", "", "Host [127.0.0.1:80x] " + foreignHost},
      // Forms a URL parser rewrites (to 127.0.0.1, to [::1]) are not taken.
      {"127.1", "", "Host [127.1] " + foreignHost},
      {"[::1%25lo]", "", "Host [[::1%25lo]] " + foreignHost},
      {"*", "Origin: http://127.1:" + std::to_string(Port()) + "\r\n",
       "Origin [http://127.1:" + std::to_string(Port()) + "] names another host than Host [*]"},
      {"", "Origin: " + page + "\r\n", "the request names an Origin or Referer but no Host"},
  };
  const SqlRows before = Table();
  for (const SiteCase& c : cases) {
    const std::string host = c.host == "*" ? local : c.host;
    std::string why = c.why;
    for (size_t at = why.find("[*]"); at != std::string::npos; at = why.find("[*]")) {
      why.replace(at, 3, "[" + local + "]");
    }
    SCOPED_TRACE(host + " " + c.headerLines);
    log.Clear();
    const HttpAnswer answer = Send(RequestWithHost(kWrite, host, c.headerLines));
    EXPECT_EQ(answer.head, "HTTP/1.1 403 Forbidden\r\nContent-Type: application/json\r\nConnection: close");
    EXPECT_EQ(answer.body, JsonError(403, "action refused: " + why));
    EXPECT_TRUE(log.Contains("Error: action=write from [127.0.0.1] refused: " + why + "\n")) << log.Text();
  }
  const HttpAnswer add =
      Send("GET /x?action=add&value=1 HTTP/1.1\r\nHost: " + local + "\r\nSec-Fetch-Site: cross-site\r\n\r\n");
  EXPECT_EQ(add.status, 403);
  EXPECT_EQ(add.body, TextError(403, "action refused: the browser marks the request as Sec-Fetch-Site [cross-site]"));
  EXPECT_EQ(Table(), before);

  // The views are not guarded, only the actions.
  const HttpAnswer view = Send(RequestWithHost("/?limit=2", "evil.example", "Sec-Fetch-Site: cross-site\r\n"));
  EXPECT_EQ(OffsetsOf(JsonRows(view.body)), Range(0, 1));
}

TEST_F(WebGuardsTest, ActionsOfCurlScriptsAndThePageItselfStillRun) {
  const std::string port = std::to_string(Port());
  const std::string local = "127.0.0.1:" + port;
  const SiteCase cases[] = {
      {"127.0.0.1", "", ""},  // the fixture's requests, as curl sends them
      {"", "", ""},           // HTTP/1.1 without a Host
      {local, "Sec-Fetch-Site: same-origin\r\nReferer: http://" + local + "/?limit=20\r\n", ""},
      {local, "Sec-Fetch-Site: same-origin\r\nOrigin: http://" + local + "\r\n", ""},
      {local, "Sec-Fetch-Site: none\r\n", ""},  // the address typed in
      {"localhost:" + port, "Origin: http://LOCALHOST:" + port + "\r\n", ""},
      {"LocalHost.", "", ""},
      {"[::1]:" + port, "Referer: http://[::1]:" + port + "/\r\n", ""},
      {"10.1.2.3", "Origin: http://10.1.2.3:80\r\n", ""},
      {MachineName() + ":" + port, "Origin: http://" + MachineName() + ":" + port + "\r\n", ""},
  };
  int value = 100;
  for (const SiteCase& c : cases) {
    SCOPED_TRACE(c.host + " " + c.headerLines);
    ++value;
    // A browser's request (one with any of these headers) is the page's: it
    // carries the page's header.
    const std::string pageHeader = c.headerLines.empty() ? "" : "X-Veld-Request: page\r\n";
    const HttpAnswer answer =
        Send(RequestWithHost("/?action=write&id=4&value=" + std::to_string(value), c.host, c.headerLines + pageHeader));
    EXPECT_EQ(answer.status, 200) << answer.body;
    EXPECT_EQ(RowAt(4).at("Value"), std::to_string(value));
  }
  const HttpAnswer old = Send("GET /?action=add&value=5 HTTP/1.0\r\nAccept: application/json\r\n\r\n");
  EXPECT_EQ(old.status, 200);
  EXPECT_EQ(RowAt(kSeededRows).at("Value"), "5");
}

TEST_F(WebGuardsTest, AllowedHostNamesTakeTheActionsInAnyCaseWithAnyPort) {
  WebAccess access;
  access.allowedHosts = {"weather.example", "Plant-7.local"};
  Restart(access);
  const std::string port = std::to_string(Port());
  const std::string hosts[] = {"weather.example:" + port, "WEATHER.example", "plant-7.local.", "plant-7.LOCAL:8080"};
  for (const std::string& host : hosts) {
    SCOPED_TRACE(host);
    const std::string origin = "Origin: http://" + host + "\r\nX-Veld-Request: page\r\n";
    EXPECT_EQ(Send(RequestWithHost(kWrite, host, host.back() == '.' ? "" : origin)).status, 200);
  }
  for (const char* host : {"other.example", "weather.example.evil", "example", "plant-7"}) {
    SCOPED_TRACE(host);
    EXPECT_EQ(Send(RequestWithHost(kWrite, host, "")).status, 403);
  }
}

struct CurlAnswer {
  long status = 0;
  std::string body;
};

size_t Collect(char* data, size_t size, size_t count, void* body) {
  static_cast<std::string*>(body)->append(data, size * count);
  return size * count;
}

// GET with libcurl, answering a digest challenge with userPassword.
CurlAnswer CurlGet(const std::string& url, const std::string& userPassword) {
  CurlAnswer answer;
  CURL* curl = curl_easy_init();
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPAUTH, CURLAUTH_DIGEST);
  curl_easy_setopt(curl, CURLOPT_USERPWD, userPassword.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
  if (curl_easy_perform(curl) == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
  }
  curl_easy_cleanup(curl);
  return answer;
}

TEST_F(WebGuardsTest, WithAPasswordFileEveryRouteNeedsDigestAuthentication) {
  const std::filesystem::path file = std::filesystem::path(testing::TempDir()) / "veld-web-auth.htdigest";
  std::filesystem::remove(file);
  ASSERT_EQ(mg_modify_passwords_file(file.c_str(), kWebAuthRealm, "operator", "s3cret"), 1);
  EXPECT_EQ(CheckWebAuthFile(file.string()), "");
  WebAccess access;
  access.authFile = file.string();
  Restart(access);

  const SqlRows before = Table();
  for (const char* target : {"/", "/index.js", "/healthz", "/metrics", "/db", "/?limit=1", "/?action=add&value=9"}) {
    for (const char* method : {"GET", "HEAD", "PUT"}) {
      SCOPED_TRACE(std::string(method) + " " + target);
      const HttpAnswer answer = Send(std::string(method) + " " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
      EXPECT_EQ(answer.status, 401);
      EXPECT_NE(answer.Header("WWW-Authenticate").find("Digest "), std::string::npos) << answer.head;
      EXPECT_NE(answer.Header("WWW-Authenticate").find("realm=\"veld-weather-server\""), std::string::npos);
    }
  }
  const std::string base = "http://127.0.0.1:" + std::to_string(Port());
  EXPECT_EQ(CurlGet(base + "/?action=add&value=9", "operator:wrong").status, 401);
  EXPECT_EQ(CurlGet(base + "/?action=add&value=9", "intruder:s3cret").status, 401);
  EXPECT_TRUE(log.Contains("Error: HTTP digest authentication failed\n"));
  EXPECT_EQ(Table(), before);

  EXPECT_EQ(CurlGet(base + "/healthz", "operator:s3cret").status, 200);
  EXPECT_EQ(CurlGet(base + "/index.css", "operator:s3cret").status, 200);
  const CurlAnswer added = CurlGet(base + "/x?action=add&value=9&name=authorised", "operator:s3cret");
  EXPECT_EQ(added.status, 200) << added.body;
  EXPECT_EQ(RowAt(kSeededRows)["Name"], "authorised");

  // A file that has gone refuses everybody.
  std::filesystem::remove(file);
  EXPECT_EQ(CurlGet(base + "/healthz", "operator:s3cret").status, 401);
  EXPECT_TRUE(log.Contains("Error: Can not read the web password file [" + file.string() + "]"));
}

TEST_F(WebGuardsTest, APasswordFileNeedsAUserOfTheRealm) {
  const std::filesystem::path file = std::filesystem::path(testing::TempDir()) / "veld-web-auth-check.htdigest";
  std::filesystem::remove(file);
  EXPECT_NE(CheckWebAuthFile(file.string()).find("cannot read the password file"), std::string::npos);
  EXPECT_NE(CheckWebAuthFile(testing::TempDir()).find("cannot read the password file"), std::string::npos);
  std::ofstream(file) << "operator:other-realm:0123456789abcdef0123456789abcdef\n";
  EXPECT_NE(CheckWebAuthFile(file.string()).find("has no user of the realm 'veld-weather-server'"), std::string::npos);
  // htdigest's line: user:realm:md5(user:realm:password).
  char hash[33];
  mg_md5(hash, "operator:", kWebAuthRealm, ":s3cret", nullptr);
  std::ofstream(file, std::ios::app) << "operator:" << kWebAuthRealm << ":" << hash << "\n";
  EXPECT_EQ(CheckWebAuthFile(file.string()), "");
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace veld_test
