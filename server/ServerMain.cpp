// ServerMain.cpp - the entry point of veld-weather-server. The program takes
// no arguments: ports, file name and limits are constants.
#include <cstdio>

#include "StartUp.h"
#include "TerminationSignals.h"

namespace {

// The log is written in blocks; the service loop writes it out whenever it
// waits and at least every 100 ms, and before a termination signal ends
// the process.
constexpr size_t kLogBufferBytes = 64 * 1024;

}  // namespace

int main() {
  std::setvbuf(stdout, nullptr, _IOFBF, kLogBufferBytes);
  InstallTerminationHandlers();
  return RunServer();
}
