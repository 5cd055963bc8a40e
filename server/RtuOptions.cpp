// RtuOptions.cpp - checking and storing the RTU settings.
#include "RtuOptions.h"

#include "SerialPort.h"
#include "WholeNumber.h"

std::string SetModbusFraming(const std::string& value, RtuSettings& settings) {
  if (value == "tcp") {
    settings.framing = ModbusFraming::kTcp;
  } else if (value == "rtu-over-tcp") {
    settings.framing = ModbusFraming::kRtuOverTcp;
  } else {
    return "'" + value + "' is not tcp or rtu-over-tcp";
  }
  return std::string();
}

std::string SetRtuDevice(const std::string& value, RtuSettings& settings) {
  if (value.empty()) {
    return "the serial device path is empty";
  }
  settings.device = value;
  return std::string();
}

std::string SetRtuBaud(const std::string& value, RtuSettings& settings) {
  const std::optional<int64_t> baud = ParseWholeNumber(value, 1, kMaxSerialBaudRate);
  if (!baud || !IsStandardBaudRate(static_cast<uint32_t>(*baud))) {
    return "'" + value + "' is not a standard baud rate (" + StandardBaudRatesText() + ")";
  }
  settings.baud = static_cast<uint32_t>(*baud);
  return std::string();
}

std::string SetRtuParity(const std::string& value, RtuSettings& settings) {
  if (value != "E" && value != "O" && value != "N") {
    return "'" + value + "' is not E, O or N";
  }
  settings.parity = value[0];
  return std::string();
}

std::string SetRtuStopBits(const std::string& value, RtuSettings& settings) {
  if (value != "1" && value != "2") {
    return "'" + value + "' is not 1 or 2";
  }
  settings.stopBits = value[0] - '0';
  return std::string();
}
