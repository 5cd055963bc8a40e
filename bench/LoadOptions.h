// LoadOptions.h - the command line of modbus-load: where to connect, how
// many connections, for how long, and which request each one repeats.
#pragma once

#include <cstdint>
#include <string>

enum class LoadMode { ReadOne, ReadMany, WriteOne, WriteMany };

struct LoadOptions {
  std::string host = "127.0.0.1";
  uint16_t port = 502;
  int connections = 1;
  int seconds = 5;
  LoadMode mode = LoadMode::ReadOne;
  uint16_t startRegister = 20;
  uint8_t unit = 255;
};

// Fills options from argv; on a bad or unknown option writes why to error
// and returns false.
bool ParseLoadOptions(int argc, char** argv, LoadOptions* options, std::string* error);

// The mode's name as given on the command line, e.g. "fc3-125".
const char* LoadModeName(LoadMode mode);

// How many registers one request of the mode reads or writes.
uint16_t LoadModeRegisterCount(LoadMode mode);
