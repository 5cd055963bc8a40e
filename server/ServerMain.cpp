// ServerMain.cpp - the entry point of veld-weather-server. The program takes
// no arguments: ports, file name and limits are constants.
#include <cstdio>

#include "StartUp.h"
#include "TerminationSignals.h"

namespace {

// The log is written in blocks; the service loop writes it out once the
// server has been quiet for a moment and at least every 100 ms, and before a
// termination signal ends the process. The buffer is our own: given no
// buffer, the C library would keep its own size (one file-system block).
constexpr size_t kLogBufferBytes = 64 * 1024;
char g_logBuffer[kLogBufferBytes];

}  // namespace

int main() {
  std::setvbuf(stdout, g_logBuffer, _IOFBF, kLogBufferBytes);
  InstallTerminationHandlers();
  return RunServer();
}
