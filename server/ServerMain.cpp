// ServerMain.cpp - the entry point of veld-weather-server: read the command
// line and configuration file, then start the server. A bad option or file
// ends the program before anything is opened, bound or created.
#include <cstdio>

#include "ServerOptions.h"
#include "StartUp.h"
#include "TerminationSignals.h"
#include "VersionReport.h"

namespace {

// The log is written in blocks; the service loop writes it out once the
// server has been quiet for a moment and at least every 100 ms, and before a
// termination signal ends the process. The buffer is our own: given no
// buffer, the C library would keep its own size (one file-system block).
constexpr size_t kLogBufferBytes = 64 * 1024;
char g_logBuffer[kLogBufferBytes];

}  // namespace

int main(int argc, char** argv) {
  const ServerCommandLine commandLine = ParseServerCommandLine(argc, argv);
  switch (commandLine.action) {
    case StartAction::kShowHelp:
      std::fputs(commandLine.message.c_str(), stdout);
      return 0;
    case StartAction::kShowVersion:
      std::fputs(VersionReport().c_str(), stdout);
      return 0;
    case StartAction::kUsageError:
      std::fprintf(stderr, "veld-weather-server: %s (see --help)\n", commandLine.message.c_str());
      return kExitUsage;
    case StartAction::kRun:
      break;
  }
  std::setvbuf(stdout, g_logBuffer, _IOFBF, kLogBufferBytes);
  InstallTerminationHandlers();
  return RunServer(commandLine.settings);
}
