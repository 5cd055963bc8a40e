// LoadOptions.cpp - parsing modbus-load's "--name value" options, each
// checked against its range.
#include "LoadOptions.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr long kMaxConnections = 1000;
constexpr long kMaxSeconds = 3600;

struct ModeName {
  LoadMode mode;
  const char* name;
  uint16_t registers;
};

constexpr ModeName kModes[] = {
    {LoadMode::ReadOne, "fc3-1", 1},
    {LoadMode::ReadMany, "fc3-125", 125},
    {LoadMode::WriteOne, "fc6-1", 1},
    {LoadMode::WriteMany, "fc16-10", 10},
};

bool ParseNumber(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < low || parsed > high) {
    return false;
  }
  *value = parsed;
  return true;
}

bool ParseMode(const char* text, LoadMode* mode) {
  for (const ModeName& candidate : kModes) {
    if (std::strcmp(candidate.name, text) == 0) {
      *mode = candidate.mode;
      return true;
    }
  }
  return false;
}

}  // namespace

const char* LoadModeName(LoadMode mode) {
  for (const ModeName& candidate : kModes) {
    if (candidate.mode == mode) {
      return candidate.name;
    }
  }
  return "?";
}

uint16_t LoadModeRegisterCount(LoadMode mode) {
  for (const ModeName& candidate : kModes) {
    if (candidate.mode == mode) {
      return candidate.registers;
    }
  }
  return 0;
}

bool ParseLoadOptions(int argc, char** argv, LoadOptions* options, std::string* error) {
  for (int i = 1; i < argc; i += 2) {
    const std::string name = argv[i];
    if (i + 1 >= argc) {
      *error = "option " + name + " needs a value";
      return false;
    }
    const char* value = argv[i + 1];
    long number = 0;
    bool ok = true;
    if (name == "--host") {
      options->host = value;
    } else if (name == "--port") {
      ok = ParseNumber(value, 1, 65535, &number);
      options->port = static_cast<uint16_t>(number);
    } else if (name == "--connections") {
      ok = ParseNumber(value, 1, kMaxConnections, &number);
      options->connections = static_cast<int>(number);
    } else if (name == "--seconds") {
      ok = ParseNumber(value, 1, kMaxSeconds, &number);
      options->seconds = static_cast<int>(number);
    } else if (name == "--mode") {
      ok = ParseMode(value, &options->mode);
    } else if (name == "--start-register") {
      ok = ParseNumber(value, 0, 65535, &number);
      options->startRegister = static_cast<uint16_t>(number);
    } else if (name == "--unit") {
      ok = ParseNumber(value, 0, 255, &number);
      options->unit = static_cast<uint8_t>(number);
    } else {
      *error = "unknown option " + name;
      return false;
    }
    if (!ok) {
      *error = "bad value for " + name + ": " + value;
      return false;
    }
  }
  return true;
}
