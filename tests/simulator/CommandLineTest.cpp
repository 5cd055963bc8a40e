// CommandLineTest.cpp - the service's options and its request log lines.
#include <gtest/gtest.h>

#include "CommandLine.h"
#include "RequestLog.h"

namespace weather_service {
namespace {

TEST(CommandLine, ListensOnLoopbackPort8081ByDefault) {
  const ParsedCommandLine parsed = ParseCommandLine({});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.listen, "127.0.0.1:8081");
  EXPECT_FALSE(parsed.options.showHelp);
}

TEST(CommandLine, TakesListenAddressHelpAndVersion) {
  const ParsedCommandLine parsed = ParseCommandLine({"--listen", "127.0.0.1:18081", "--version"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.listen, "127.0.0.1:18081");
  EXPECT_TRUE(parsed.options.showVersion);
  EXPECT_TRUE(ParseCommandLine({"--listen", "127.0.0.1:18081", "--help"}).options.showHelp);
  EXPECT_EQ(ParseCommandLine({"--listen=0.0.0.0:65535"}).options.listen, "0.0.0.0:65535");
}

TEST(CommandLine, RejectsMalformedListenAddressesAndUnknownArguments) {
  const std::vector<std::vector<std::string>> wrong = {
      {"--listen"},
      {"--listen", "127.0.0.1"},
      {"--listen", "127.0.0.1:"},
      {"--listen", ":8081"},
      {"--listen", "127.0.0.1:0"},
      {"--listen", "127.0.0.1:65536"},
      {"--listen", "localhost:8081"},
      {"--listen", "127.0.0.1:80a"},
      {"--port", "8081"},
  };
  for (const auto& arguments : wrong) {
    EXPECT_NE(ParseCommandLine(arguments).error, "") << arguments.back();
  }
}

TEST(CommandLine, TakesAPlaceLimitFromOneToAMillion) {
  EXPECT_EQ(ParseCommandLine({}).options.openMeteo.maxPlaces, 10000u);
  EXPECT_EQ(ParseCommandLine({"--max-places", "2"}).options.openMeteo.maxPlaces, 2u);
  for (const char* wrong : {"0", "-1", "1000001", "10k", ""}) {
    EXPECT_NE(ParseCommandLine({"--max-places", wrong}).error, "") << wrong;
  }
}

TEST(RequestLog, OneLineWithMethodTargetAndStatus) {
  EXPECT_EQ(RequestLogLine("GET", "/api", "postalCode=10001", 200), "FYI: GET /api?postalCode=10001 -> 200");
  EXPECT_EQ(RequestLogLine("GET", "/", "", 404), "FYI: GET / -> 404");
}

TEST(RequestLog, EscapesBytesThatWouldBreakTheLine) {
  EXPECT_EQ(RequestLogLine("GET", "/a\nb\r", "x=\x1B\xC3\x84", 404), "FYI: GET /a%0Ab%0D?x=%1B%C3%84 -> 404");
}

}  // namespace
}  // namespace weather_service
