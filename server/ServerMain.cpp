// ServerMain.cpp - the entry point of veld-weather-server. The program takes
// no arguments: ports, file name and limits are constants.
#include <cstdio>

#include "StartUp.h"

int main() {
  // One line at a time, so the log can be followed as it is written.
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  return RunServer();
}
