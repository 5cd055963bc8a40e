// WeatherServiceProcessTest.cpp - the veld-weather-service program end to end:
// started on a free loopback port, asked over HTTP with curl, stopped with
// SIGTERM. Every wait is bounded; a service left running is killed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>

#include "ReadingsJson.h"
#include "WeatherModel.h"

namespace weather_service {
namespace {

using Clock = std::chrono::steady_clock;
const char kStartLine[] = "FYI: veld-weather-service serving";

int64_t CurrentUnixMinute() {
  return std::chrono::duration_cast<std::chrono::minutes>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// A port nothing listens on now: bound on 127.0.0.1 by the system, released.
int FreeLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
                     getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
  close(fd);
  return bound ? ntohs(address.sin_port) : 0;
}

struct Reply {
  int status = 0;
  std::string contentType;
  std::string body;
};

class WeatherServiceProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    outputPath_ = ::testing::TempDir() + "veld-weather-service-" + std::to_string(getpid()) + ".log";
    // The port may be taken between our probe and the service's bind: the
    // service then exits at once, and another port is tried.
    bool serving = false;
    for (int attempt = 0; attempt < 3 && !serving; ++attempt) serving = Start() && Serving();
    ASSERT_TRUE(serving) << "the service did not come up; it wrote:\n" << Output();
  }

  void TearDown() override {
    if (pid_ > 0 && !WaitForExit(std::chrono::seconds(0))) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    std::remove(outputPath_.c_str());
  }

  bool Start() {
    port_ = FreeLoopbackPort();
    status_.reset();
    const std::string listen = "127.0.0.1:" + std::to_string(port_);
    const char* argv[] = {VELD_WEATHER_SERVICE_PATH, "--listen", listen.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const bool spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (!spawned) pid_ = -1;
    return spawned;
  }

  // True once the start line is out, which the service writes after it has
  // bound its port and set its handlers; false if it exits or five seconds pass.
  bool Serving() {
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (!WaitForExit(std::chrono::seconds(0)) && Clock::now() < deadline) {
      if (Output().find(kStartLine) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }

  // The wait status once the service has ended, waiting at most timeout.
  std::optional<int> WaitForExit(Clock::duration timeout) {
    const auto deadline = Clock::now() + timeout;
    int status = 0;
    while (!status_) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
      } else if (Clock::now() >= deadline) {
        break;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    return status_;
  }

  // SIGTERM, then the wait status within ten seconds (CivetWeb takes about two
  // to stop its threads).
  std::optional<int> Stop() {
    kill(pid_, SIGTERM);
    return WaitForExit(std::chrono::seconds(10));
  }

  std::string Output() const {
    std::ifstream file(outputPath_);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  // GET target with curl, bounded to five seconds; the body, then a line with
  // the status and the content type.
  Reply Get(const std::string& target) const {
    const std::string command =
        "curl -s --max-time 5 -H 'Accept:application/json' -w '\\n%{http_code} %{content_type}' "
        "'http://127.0.0.1:" +
        std::to_string(port_) + target + "'";
    std::string output;
    const std::unique_ptr<FILE, int (*)(FILE*)> curl(popen(command.c_str(), "r"), pclose);
    char buffer[512];
    for (size_t got; curl && (got = std::fread(buffer, 1, sizeof buffer, curl.get())) > 0;) output.append(buffer, got);
    Reply reply;
    const size_t lastLine = output.rfind('\n');
    if (lastLine == std::string::npos) return reply;
    std::istringstream(output.substr(lastLine + 1)) >> reply.status >> reply.contentType;
    reply.body = output.substr(0, lastLine);
    return reply;
  }

  // Whether body is the code's readings for a minute from first to last.
  static bool IsReadingsOf(const std::string& body, const std::string& code, int64_t first, int64_t last) {
    for (int64_t minute = first; minute <= last; ++minute) {
      if (body == ReadingsJson(ReadingsFor(code, minute))) return true;
    }
    return false;
  }

  std::string outputPath_;
  int port_ = 0;
  pid_t pid_ = -1;
  std::optional<int> status_;
};

TEST_F(WeatherServiceProcess, ValidCodesGetTheirReadingsAsJson) {
  const int64_t first = CurrentUnixMinute();
  const Reply zip = Get("/api?postalCode=10001");
  const Reply canadian = Get("/api?postalCode=K1A%200B1");
  const Reply lowerCase = Get("/api?postalCode=k1a0b1");
  const int64_t last = CurrentUnixMinute();

  for (const Reply& reply : {zip, canadian, lowerCase}) {
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "application/json");
  }
  EXPECT_TRUE(IsReadingsOf(zip.body, "10001", first, last)) << zip.body;
  EXPECT_TRUE(IsReadingsOf(canadian.body, "K1A0B1", first, last)) << canadian.body;
  EXPECT_TRUE(IsReadingsOf(lowerCase.body, "K1A0B1", first, last)) << lowerCase.body;
}

TEST_F(WeatherServiceProcess, InvalidCodesAndOtherPathsGet404WithEmptyArray) {
  for (const char* target : {"/api?postalCode=1234", "/api?postalCode=", "/api", "/weather?postalCode=10001"}) {
    const Reply reply = Get(target);
    EXPECT_EQ(reply.status, 404) << target;
    EXPECT_EQ(reply.body, "[]") << target;
  }
}

TEST_F(WeatherServiceProcess, LogsEachRequestAndExitsWithZeroOnSigterm) {
  Get("/api?postalCode=10001");
  Get("/api?postalCode=K1A%200B1");
  Get("/nowhere");
  // CivetWeb ends its requests, and so writes their log lines, before exiting.
  const std::optional<int> status = Stop();
  ASSERT_TRUE(status.has_value()) << "still running ten seconds after SIGTERM";
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status << "\n" << Output();

  std::istringstream output(Output());
  std::string line;
  ASSERT_TRUE(std::getline(output, line));
  EXPECT_EQ(line.rfind(kStartLine, 0), 0u) << line;
  std::vector<std::string> requestLines;
  while (std::getline(output, line)) {
    if (line.find(" -> ") != std::string::npos) requestLines.push_back(line);
  }
  const std::vector<std::string> expected = {"FYI: GET /api?postalCode=10001 -> 200",
                                             "FYI: GET /api?postalCode=K1A%200B1 -> 200", "FYI: GET /nowhere -> 404"};
  EXPECT_EQ(requestLines, expected) << Output();
}

}  // namespace
}  // namespace weather_service
