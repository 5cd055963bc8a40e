// RtuOptions.h - the settings of Modbus RTU: the framing of the TCP
// listener's connections and the serial line (device, baud rate, parity,
// stop bits), each checked by a setter that says why a value
// is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "RtuGateway.h"

struct RtuSettings {
  ModbusFraming framing = ModbusFraming::kTcp;
  // The serial line's device; empty: no serial line.
  std::string device;
  uint32_t baud = 19200;
  // 'E'ven, 'O'dd or 'N'one.
  char parity = 'E';
  // 1 or 2; when not given, 2 without parity (the character stays 11 bits
  // long, as Modbus over serial line asks) and 1 with it.
  std::optional<int> stopBits;

  int StopBits() const { return stopBits.value_or(parity == 'N' ? 2 : 1); }
};

// Each stores the value in settings, or returns why it cannot (empty when it
// took it).
std::string SetModbusFraming(const std::string& value, RtuSettings& settings);
std::string SetRtuDevice(const std::string& value, RtuSettings& settings);
std::string SetRtuBaud(const std::string& value, RtuSettings& settings);
std::string SetRtuParity(const std::string& value, RtuSettings& settings);
std::string SetRtuStopBits(const std::string& value, RtuSettings& settings);
