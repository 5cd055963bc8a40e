// ChangeGuardTest.cpp - the requests that change the table over HTTP: a
// browser's write, add and new-code look-up need the page's header, a page of
// another site gets no CORS allowance to send it, HEAD changes nothing, and
// look-ups of new postal codes stop at --max-postal-codes.
#include <strings.h>

#include "WebGuards.h"
#include "WebTestFixture.h"

namespace veld_test {
namespace {

using ChangeGuardTest = WebTest;

const char* const kBrowserAgent =
    "User-Agent: Mozilla/5.0 (X11; Linux x86_64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0 Safari/537.36\r\n";
const char* const kPageHeader = "X-Veld-Request: page\r\n";

// "GET <target>" under a LAN address as an <img> sends it: a browser's
// User-Agent and Accept, no Origin, Referer or Sec-Fetch-* header. (The page
// itself answers "/" for such an Accept: targets name another path.)
std::string ImageRequest(const std::string& target, const std::string& headerLines = "") {
  return "GET " + target + " HTTP/1.1\r\nHost: 192.168.1.10:8080\r\n" + kBrowserAgent +
         "Accept: image/avif,image/webp,*/*\r\n" + headerLines + "\r\n";
}

bool HasCorsAllowance(const HttpAnswer& answer) {
  for (const auto& header : answer.headers) {
    if (strncasecmp(header.first.c_str(), "Access-Control-Allow-", 21) == 0) {
      return true;
    }
  }
  return false;
}

TEST_F(ChangeGuardTest, BrowserRequestsThatChangeTheTableNeedThePageHeader) {
  SetWeatherAnswer(kTwoReadings);
  const std::string local = "127.0.0.1:" + std::to_string(Port());
  const std::string why = "a browser's request without the header X-Veld-Request that the page sends";
  const struct {
    std::string target;
    std::string action;
  } changes[] = {{"/x?action=write&id=25&value=666", "write"},
                 {"/x?action=add&value=9&name=planted", "add"},
                 {"/x?postal=K1A&limit=5", "view"}};
  // Each of these marks a request as a browser's ("" the image's agent).
  const std::string marks[] = {"", "Sec-Fetch-Mode: no-cors\r\n", "Sec-Fetch-Site: none\r\n",
                               "Referer: http://" + local + "/\r\n", "Origin: http://" + local + "\r\n"};
  const SqlRows before = Table();
  for (const auto& change : changes) {
    for (const std::string& mark : marks) {
      SCOPED_TRACE(change.target + " " + mark);
      log.Clear();
      const HttpAnswer answer = Send(mark.empty() ? ImageRequest(change.target)
                                                  : "GET " + change.target + " HTTP/1.1\r\nHost: " + local +
                                                        "\r\nAccept: application/json\r\n" + mark + "\r\n");
      EXPECT_EQ(answer.status, 403);
      EXPECT_TRUE(log.Contains("action=" + change.action + " from [127.0.0.1] refused: " + why)) << log.Text();
    }
  }
  EXPECT_EQ(Table(), before);
  EXPECT_TRUE(weather.Requests().empty()) << "a refused look-up fetched";

  // A look-up of a code with rows adds none: served to any browser.
  EXPECT_EQ(Send(ImageRequest("/x?postal=V1L")).status, 200);

  // The page's requests carry the header: served.
  EXPECT_EQ(Send(ImageRequest(changes[0].target, kPageHeader)).status, 200);
  EXPECT_EQ(RowAt(25).at("Value"), "666");
  EXPECT_EQ(Send(ImageRequest(changes[1].target, kPageHeader)).status, 200);
  EXPECT_EQ(database.Rows("SELECT * FROM Data WHERE Name = 'planted'").size(), 1u);
  const HttpAnswer lookUp = Send("GET /?postal=K1A HTTP/1.1\r\nHost: " + local +
                                 "\r\nAccept: application/json\r\nSec-Fetch-Site: same-origin\r\nReferer: http://" +
                                 local + "/\r\n" + kPageHeader + "\r\n");
  EXPECT_EQ(lookUp.status, 200);
  EXPECT_EQ(JsonRows(lookUp.body).size(), 2u);

  // curl and scripts carry no browser marks: served without the header.
  const std::string curl = "User-Agent: curl/7.88.1\r\n";
  EXPECT_EQ(Send(GetRequest("/x?action=write&id=26&value=1234", curl)).status, 200);
  EXPECT_EQ(RowAt(26).at("Value"), "1234");
  EXPECT_EQ(Send(GetRequest("/?postal=M5V", curl + "Accept: application/json\r\n")).status, 200);
  EXPECT_EQ(database.Rows("SELECT * FROM Data WHERE Code = 'M5V'").size(), 2u);
}

TEST_F(ChangeGuardTest, APageOfAnotherSiteGetsNoCorsAllowance) {
  const std::string evil = "Origin: http://evil.example\r\n";
  const SqlRows before = Table();
  // The fetch() a page of another site would send after a preflight, and
  // the preflight itself: neither is allowed, both are refused.
  const HttpAnswer fetch = Send(GetRequest(
      "/x?action=write&id=4&value=1", evil + kPageHeader + "Sec-Fetch-Site: cross-site\r\nSec-Fetch-Mode: cors\r\n"));
  EXPECT_EQ(fetch.status, 403);
  EXPECT_FALSE(HasCorsAllowance(fetch)) << fetch.head;
  const HttpAnswer preflight =
      Send("OPTIONS /?action=write&id=4&value=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n" + evil +
           "Access-Control-Request-Method: GET\r\nAccess-Control-Request-Headers: x-veld-request\r\n\r\n");
  EXPECT_EQ(preflight.status, 405);
  EXPECT_FALSE(HasCorsAllowance(preflight)) << preflight.head;
  EXPECT_EQ(Table(), before);
}

TEST_F(ChangeGuardTest, HeadNeverChangesTheTable) {
  SetWeatherAnswer(kTwoReadings);
  const SqlRows before = Table();
  for (const char* target : {"/?action=write&id=4&value=77", "/x?action=add&value=1", "/?postal=K1A"}) {
    SCOPED_TRACE(target);
    const HttpAnswer answer =
        Send("HEAD " + std::string(target) + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: application/json\r\n" +
             kPageHeader + "\r\n");
    EXPECT_TRUE(answer.closed);
    EXPECT_EQ(answer.status, 405);
    EXPECT_EQ(answer.Header("Allow"), "GET");
    EXPECT_EQ(answer.body, "");
  }
  EXPECT_TRUE(log.Contains("Error: action=add from [127.0.0.1] refused: HEAD does not change the table\n"));
  EXPECT_EQ(Table(), before);
  EXPECT_TRUE(weather.Requests().empty());
}

TEST_F(ChangeGuardTest, LookUpsOfNewPostalCodesStopAtTheLimit) {
  // The seeded table holds four codes besides "0".
  WebAccess access;
  access.maxPostalCodes = 5;
  Restart(access);
  SetWeatherAnswer(kTwoReadings);
  EXPECT_EQ(GetJson("/?postal=K1A").status, 200);
  const SqlRows five = Table();
  ASSERT_EQ(five.size(), static_cast<size_t>(kSeededRows) + 2);
  const size_t fetches = weather.Requests().size();

  const HttpAnswer refused = GetJson("/?postal=M5V");
  EXPECT_EQ(refused.status, 429);
  EXPECT_EQ(refused.body, JsonError(429, "No more postal codes can be stored (5 are); look up one of those"));
  EXPECT_TRUE(log.Contains("Error: action=view from [127.0.0.1] refused: a new postal code, and [5] are stored"));
  EXPECT_EQ(weather.Requests().size(), fetches) << "a refused code was fetched";
  EXPECT_EQ(Table(), five);

  // Codes already stored are looked up as before; "0" is not counted.
  EXPECT_EQ(GetJson("/?postal=90001").status, 200);
  EXPECT_EQ(weather.Requests().size(), fetches + 1);
  database.Run("DELETE FROM Data WHERE Code = 'W1L'");
  EXPECT_EQ(GetJson("/?postal=M5V").status, 200);
  EXPECT_EQ(database.Rows("SELECT * FROM Data WHERE Code = 'M5V'").size(), 2u);
}

}  // namespace
}  // namespace veld_test
