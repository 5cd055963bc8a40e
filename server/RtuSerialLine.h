// RtuSerialLine.h - the Modbus RTU slave on a serial line (RS-485 or
// RS-232). A frame ends after 3.5 character times of silence; a frame with a
// gap of more than 1.5 character times inside it, or with a wrong CRC, is
// dropped and counted. Whole frames go to the stack as MBAP through an
// RtuGateway, and the stack's answers are written back as RTU.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "RtuGateway.h"
#include "SerialPort.h"
#include "ServerMetrics.h"

class RtuSerialLine {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  // The connection id the stack knows the serial line by; Modbus TCP
  // connections have 1 to 65535.
  static constexpr uint32_t kConnectionId = 0;

  // Serves on the open port under the slave addresses given; counts into metrics (null:
  // nothing is counted). The character time is 11 bits at the settings'
  // rate; above 19200 baud the fixed 750 us and 1750 us of Modbus over serial
  // line are used for 1.5 and 3.5 character times.
  RtuSerialLine(SerialPort port, const SerialLineSettings& settings, const UnitIdSet& addresses,
                ServerMetrics* metrics);
  ~RtuSerialLine();
  RtuSerialLine(const RtuSerialLine&) = delete;
  RtuSerialLine& operator=(const RtuSerialLine&) = delete;

  bool IsOpen() const { return m_port.has_value(); }
  // The descriptor to wait on; -1 once the line is closed.
  int Descriptor() const { return m_port ? m_port->Descriptor() : -1; }

  // Takes what the service loop's wait found at now: bytes to read, the
  // device gone (hang-up or error: the line is logged and closed), or
  // silence, which ends the frame being received once it has lasted 3.5
  // character times since its last byte.
  void Observe(bool readable, bool failed, TimePoint now);

  // How long from now until silence would end the frame being received;
  // nothing when no frame is being received.
  std::optional<std::chrono::microseconds> UntilFrameEnd(TimePoint now) const;

  // Whether a whole, CRC-checked frame waits for the stack.
  bool HasFrame() const { return m_readyLength != 0; }

  // Hands the waiting frame to the stack as MBAP (RtuGateway::ToStack) and
  // counts it as a request; 0 when none waits or it is for another slave.
  uint16_t GetMessage(uint8_t* buffer, uint16_t room);

  // Writes the stack's MBAP answer as RTU and waits until it has left;
  // nothing is written for a broadcast. False, logged, when the device
  // fails.
  bool SendMessage(const uint8_t* mbap, uint16_t length);

 private:
  // Reads what arrived; false when there was nothing to read.
  bool Receive(TimePoint now);
  void NoteQuiet(TimePoint now);
  // Ends the frame being received: kept for the stack, or dropped and
  // counted.
  void EndFrame(TimePoint now);
  // Starts afresh: the bytes received so far belong to no frame.
  void ForgetFrame();
  void Close(const char* why);

  std::optional<SerialPort> m_port;
  std::string m_device;
  RtuGateway m_gateway;
  ServerMetrics* m_metrics;
  std::chrono::microseconds m_gapLimit;
  std::chrono::microseconds m_frameEndSilence;

  uint8_t m_receiving[kMaxRtuFrameSize] = {};
  uint16_t m_receivingLength = 0;
  bool m_overrun = false;
  bool m_gapInside = false;
  TimePoint m_lastByteAt{};
  // The longest silence seen since the last byte while the loop watched.
  std::chrono::steady_clock::duration m_quietFor{};

  uint8_t m_ready[kMaxRtuFrameSize] = {};
  uint16_t m_readyLength = 0;
};
