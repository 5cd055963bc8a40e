// CommandLineTest.cpp - the service's options, its configuration file and
// its request log lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "CommandLine.h"
#include "RequestLog.h"

namespace weather_service {
namespace {

// A configuration file of the given text, removed with this object.
class ConfigFileOnDisk {
 public:
  explicit ConfigFileOnDisk(const std::string& text)
      : path_(
            (std::filesystem::temp_directory_path() / ("veld-config-" + std::to_string(getpid()) + ".conf")).string()) {
    std::ofstream(path_) << text;
  }
  ~ConfigFileOnDisk() { std::filesystem::remove(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

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

TEST(ConfigFile, TakesKeyValueLinesAndTheCommandLineWins) {
  const ConfigFileOnDisk file(
      "\xEF\xBB\xBF; comments, blank lines, a repeated key and a value with blanks\n"
      "\n"
      "  # indented comment\n"
      "listen = 127.0.0.1:18082\n"
      "provider = open-meteo ; the real weather\n"
      "cache-dir = /var/cache/my \"weather\", kept whole\n"
      "readings-cache-seconds = 5\n"
      "  readings-cache-seconds : 7\n");
  const ParsedCommandLine parsed = ParseCommandLine({"--config", file.Path(), "--listen", "127.0.0.1:18083"});
  EXPECT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.listen, "127.0.0.1:18083");
  EXPECT_EQ(parsed.options.provider, Provider::kOpenMeteo);
  EXPECT_EQ(parsed.options.openMeteo.cacheFolder, "/var/cache/my \"weather\", kept whole");
  EXPECT_EQ(parsed.options.openMeteo.readingsMaxAge, std::chrono::seconds(7));
}

TEST(ConfigFile, RefusesABadLineByItsNumberEvenWhenTheCommandLineSetsTheKey) {
  const std::vector<std::pair<std::string, std::string>> wrong = {
      {"; fine\n[service]\nlisten = 127.0.0.1:18082\n", ":2: "},
      {"listen = 127.0.0.1:18082\n\nprovider\n", ":3: "},
      {"listen = 127.0.0.1:18082\nport = 8081\n", ":2: unknown key 'port'"},
      {"help = true\n", ":1: unknown key 'help'"},
      {"listen = 127.0.0.1:18082\n  open-meteo\n", ":2: "},
      {"listen = localhost:8081\nlisten = 127.0.0.1:18082\n", ":1: "},
  };
  for (const auto& [text, where] : wrong) {
    const ConfigFileOnDisk file(text);
    const std::string error = ParseCommandLine({"--config", file.Path(), "--listen", "127.0.0.1:18083"}).error;
    EXPECT_EQ(error.rfind(file.Path() + where, 0), 0u) << error;
  }
  EXPECT_EQ(ParseCommandLine({"--config", "/nonexistent/veld.conf"}).error.rfind("/nonexistent/veld.conf: ", 0), 0u);
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
