// SerialLineStartUp.h - opening the serial line at start-up when a device is
// set, and handing it to the stack's transport callbacks for as long as the
// server runs.
#pragma once

#include <optional>

#include "RtuOptions.h"
#include "RtuSerialLine.h"
#include "ServerMetrics.h"

// Opens and configures the device of rtu into line, answering the slave
// addresses given, logged, when one is set;
// nothing is done when none is. Returns 0, or kExitModbusListenFailed when
// the device cannot be opened or configured ("Error: ..." with the system's
// reason).
int OpenSerialLineIfSet(const RtuSettings& rtu, const UnitIdSet& addresses, ServerMetrics& metrics,
                        std::optional<RtuSerialLine>& line);

// Has the transport callbacks serve the line (when there is one) for as long
// as it lives.
class SerialLineHookup {
 public:
  explicit SerialLineHookup(std::optional<RtuSerialLine>& line);
  ~SerialLineHookup();
  SerialLineHookup(const SerialLineHookup&) = delete;
  SerialLineHookup& operator=(const SerialLineHookup&) = delete;
};
