// SerialLineStartUp.cpp - the serial line's start-up step.
#include "SerialLineStartUp.h"

#include <string>
#include <utility>

#include "ConsoleLog.h"
#include "StartUp.h"
#include "TransportCallbacks.h"

int OpenSerialLineIfSet(const RtuSettings& rtu, const UnitIdSet& addresses, ServerMetrics& metrics,
                        std::optional<RtuSerialLine>& line) {
  if (rtu.device.empty()) {
    return 0;
  }
  const SerialLineSettings serial{rtu.device, rtu.baud, rtu.parity, rtu.StopBits()};
  std::string failure;
  std::string rs485Note;
  std::optional<SerialPort> port = SerialPort::Open(serial, &failure, &rs485Note);
  if (!port) {
    LogError("Error: %s\n", failure.c_str());
    return kExitModbusListenFailed;
  }
  LogInfo("FYI: Serial device [%s]: %s\n", rtu.device.c_str(), rs485Note.c_str());
  line.emplace(std::move(*port), serial, addresses, &metrics);
  LogInfo("FYI: Serving Modbus RTU on the serial device [%s], %u baud, 8%c%d, slave address [%s]\n", rtu.device.c_str(),
          rtu.baud, rtu.parity, rtu.StopBits(), addresses.Describe().c_str());
  return 0;
}

SerialLineHookup::SerialLineHookup(std::optional<RtuSerialLine>& line) {
  SetTransportSerialLine(line ? &*line : nullptr);
}

SerialLineHookup::~SerialLineHookup() { SetTransportSerialLine(nullptr); }
