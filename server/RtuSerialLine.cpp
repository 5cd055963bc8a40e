// RtuSerialLine.cpp - cutting frames by silence, checking them, and the
// exchange with the stack on the serial line.
#include "RtuSerialLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "ConsoleLog.h"
#include "ModbusCrc.h"

namespace {

// A character on the line: start bit, 8 data bits, parity or a second stop
// bit, stop bit.
constexpr int64_t kBitsPerCharacter = 11;
// Above this rate the silences are fixed instead of following the rate.
constexpr uint32_t kFixedTimingAbove = 19200;
constexpr std::chrono::microseconds kFixedGapLimit{750};
constexpr std::chrono::microseconds kFixedFrameEndSilence{1750};
// Address, function code, CRC.
constexpr uint16_t kMinRtuFrameSize = 4;
constexpr uint16_t kRtuCrcSize = 2;
// The function code in the MBAP frame handed to the stack and in its answer,
// and the exception code after it.
constexpr uint16_t kMbapFunctionCode = 7;
constexpr uint16_t kMbapExceptionCode = 8;
constexpr uint8_t kExceptionFlag = 0x80;

// Character times (tenths) as a duration at baud.
std::chrono::microseconds CharacterTimes(uint32_t baud, int64_t tenths) {
  return std::chrono::microseconds(kBitsPerCharacter * 1000000 * tenths / (10 * static_cast<int64_t>(baud)));
}

}  // namespace

RtuSerialLine::RtuSerialLine(SerialPort port, const SerialLineSettings& settings, const UnitIdSet& addresses,
                             ServerMetrics* metrics)
    : m_port(std::move(port)),
      m_device(settings.device),
      m_gateway(addresses),
      m_metrics(metrics),
      m_gapLimit(settings.baud > kFixedTimingAbove ? kFixedGapLimit : CharacterTimes(settings.baud, 15)),
      m_frameEndSilence(settings.baud > kFixedTimingAbove ? kFixedFrameEndSilence : CharacterTimes(settings.baud, 35)) {
  if (m_metrics != nullptr) {
    m_metrics->rtuLineConfigured.store(true, std::memory_order_relaxed);
    m_metrics->rtuLineOpen.store(true, std::memory_order_relaxed);
  }
}

RtuSerialLine::~RtuSerialLine() {
  if (m_metrics != nullptr) {
    m_metrics->rtuLineOpen.store(false, std::memory_order_relaxed);
  }
}

void RtuSerialLine::Observe(bool readable, bool failed, TimePoint now) {
  if (!m_port) {
    return;
  }
  if (readable && Receive(now)) {
    return;
  }
  // A device that hung up (a USB adapter unplugged) stays readable with
  // nothing to read: it is closed rather than polled again at once forever.
  if (failed) {
    Close("the device reports a hang-up or an error");
    return;
  }
  NoteQuiet(now);
}

std::optional<std::chrono::microseconds> RtuSerialLine::UntilFrameEnd(TimePoint now) const {
  if (m_receivingLength == 0) {
    return std::nullopt;
  }
  const auto left = std::chrono::duration_cast<std::chrono::microseconds>(m_lastByteAt + m_frameEndSilence - now);
  return std::max(left, std::chrono::microseconds(0));
}

bool RtuSerialLine::Receive(TimePoint now) {
  uint8_t bytes[kMaxRtuFrameSize];
  const long count = m_port->Read(bytes, sizeof bytes);
  if (count < 0) {
    Close(std::strerror(errno));
    return true;
  }
  if (count == 0) {
    return false;
  }
  if (m_receivingLength != 0 && m_quietFor > m_gapLimit) {
    m_gapInside = true;
  }
  const uint16_t room = static_cast<uint16_t>(sizeof m_receiving - m_receivingLength);
  const uint16_t taken = static_cast<uint16_t>(std::min<long>(count, room));
  std::memcpy(m_receiving + m_receivingLength, bytes, taken);
  m_receivingLength = static_cast<uint16_t>(m_receivingLength + taken);
  m_overrun = m_overrun || taken < count;
  m_lastByteAt = now;
  m_quietFor = {};
  return true;
}

void RtuSerialLine::NoteQuiet(TimePoint now) {
  if (m_receivingLength == 0) {
    return;
  }
  m_quietFor = std::max(m_quietFor, now - m_lastByteAt);
  if (m_quietFor >= m_frameEndSilence) {
    EndFrame(now);
  }
}

void RtuSerialLine::EndFrame(TimePoint now) {
  const bool damaged = m_gapInside || m_overrun || m_receivingLength < kMinRtuFrameSize;
  const bool crcRight =
      !damaged && modbus_stack::HasValidCRC16(m_receiving, static_cast<uint16_t>(m_receivingLength - kRtuCrcSize));
  if (crcRight && m_readyLength == 0) {
    std::memcpy(m_ready, m_receiving, m_receivingLength);
    m_readyLength = m_receivingLength;
  } else if (!damaged && !crcRight) {
    if (m_metrics != nullptr) {
      Increment(m_metrics->rtuCrcErrors);
    }
    if (m_gateway.NoteCorruptFrame(now)) {
      LogWarning("RtuSerialLine - Dropped an RTU frame with a wrong CRC. device=[%s]\n", m_device.c_str());
    }
  } else if (m_metrics != nullptr) {
    Increment(m_metrics->rtuFramesDropped);
  }
  ForgetFrame();
}

void RtuSerialLine::ForgetFrame() {
  m_receivingLength = 0;
  m_overrun = false;
  m_gapInside = false;
  m_quietFor = {};
}

uint16_t RtuSerialLine::GetMessage(uint8_t* buffer, uint16_t room) {
  if (m_readyLength == 0) {
    return 0;
  }
  const uint16_t length = m_gateway.ToStack(m_ready, m_readyLength, buffer, room);
  m_readyLength = 0;
  if (length > kMbapFunctionCode && m_metrics != nullptr) {
    m_metrics->NoteRequest(buffer[kMbapFunctionCode]);
  }
  return length;
}

bool RtuSerialLine::SendMessage(const uint8_t* mbap, uint16_t length) {
  if (m_gateway.WithholdsAnswer()) {
    return true;  // a broadcast is carried out, never answered
  }
  uint8_t frame[kMaxRtuFrameSize];
  const uint16_t frameLength = m_gateway.ToWire(mbap, length, frame, sizeof frame);
  if (!m_port || frameLength == 0) {
    LogError("Error: SendMessage failed.\n");
    return false;
  }
  if (!m_port->WriteAll(frame, frameLength)) {
    LogError("Error: Can not write to the serial device [%s]: %s\n", m_device.c_str(), std::strerror(errno));
    return false;
  }
  // Adapters that hear their own transmission (RS-485 with the receiver
  // left on) hand the answer back; taken for a request, it would be
  // answered in turn. No request can have begun before the answer ended.
  m_port->DiscardReceived();
  ForgetFrame();
  if (m_metrics != nullptr) {
    const bool isException = (mbap[kMbapFunctionCode] & kExceptionFlag) != 0;
    m_metrics->NoteResponse(isException, length > kMbapExceptionCode ? mbap[kMbapExceptionCode] : 0);
  }
  return true;
}

void RtuSerialLine::Close(const char* why) {
  LogError("Error: The serial device [%s] failed and is closed: %s\n", m_device.c_str(), why);
  m_port.reset();
  ForgetFrame();
  m_readyLength = 0;
  if (m_metrics != nullptr) {
    m_metrics->rtuLineOpen.store(false, std::memory_order_relaxed);
  }
}
