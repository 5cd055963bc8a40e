// ModbusRtuFrameSearch.cpp - Modbus RTU has no length field and no frame
// marker that survives a byte stream, so frames are recognised by their
// address, function code, expected length and CRC.
#include "ModbusRtuFrameSearch.h"

#include "ModbusCrc.h"
#include "ModbusFrameBuilders.h"
#include "ModbusFraming.h"
#include "ModbusProtocol.h"
#include "ModbusState.h"

namespace modbus_stack {
namespace {

// Offsets from a candidate frame's start.
constexpr uint16_t kRtuFunctionCode = 1;
constexpr uint16_t kRtuByteCount = 6;            // byte count of 15 and 16
constexpr uint16_t kRtuReadWriteByteCount = 10;  // byte count of 23

bool IsAddressedToUs(uint8_t address) { return address == 0 || address == g_stack.slaveId; }

}  // namespace

uint16_t RtuRequestLength(const uint8_t* candidate, uint16_t available) {
  uint16_t countPosition = 0;
  uint16_t overhead = 0;
  switch (candidate[kRtuFunctionCode]) {
    case kEncapsulatedInterface:
      return kRtuDeviceIdRequestSize;
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters:
      countPosition = kRtuByteCount;
      overhead = kRtuMultipleWriteOverhead;
      break;
    case kReadWriteMultipleRegisters:
      countPosition = kRtuReadWriteByteCount;
      overhead = kRtuReadWriteOverhead;
      break;
    default:
      return kRtuFixedRequestSize;
  }
  if (available <= countPosition) {
    return 0;
  }
  return static_cast<uint16_t>(candidate[countPosition] + overhead);
}

uint16_t FindRequestFrame() {
  const uint8_t* const buffer = g_stack.receiveBuffer;
  const uint16_t held = g_stack.receiveLength;
  uint16_t lastExamined = 0;
  for (uint16_t start = 0;; ++start) {
    if (start == kMaxRequestSearchPositions || held - start < kMinRtuFrameSize) {
      ConsumeBytes(lastExamined);
      return 0;
    }
    lastExamined = start;
    const uint8_t function = buffer[start + kRtuFunctionCode];
    if (!IsAddressedToUs(buffer[start + kRtuAddress]) || !IsSupportedFunction(function)) {
      continue;
    }
    const uint16_t frameLength = RtuRequestLength(buffer + start, static_cast<uint16_t>(held - start));
    if (frameLength == 0) {
      return 0;  // the byte count has not arrived yet
    }
    if (frameLength > kReceiveBufferSize) {
      continue;  // could never be held whole: not a frame start
    }
    if (held < start + frameLength) {
      // Await the rest; when it could not fit behind the bytes in front of
      // it, drop those now so that the buffer never jams full.
      if (start + frameLength > kReceiveBufferSize) {
        ConsumeBytes(start);
      }
      return 0;
    }
    if (HasValidCRC16(buffer + start, static_cast<uint16_t>(frameLength - kRtuCrcSize))) {
      ConsumeBytes(start);
      return frameLength;
    }
  }
}

int FindReplyFrame(const uint8_t* bytes, uint16_t count, uint16_t* frameLength) {
  if (bytes == nullptr || count < kMinRtuFrameSize) {
    return -1;
  }
  for (uint16_t start = 0; start + kMinRtuFrameSize <= count; ++start) {
    // Run the CRC forward from start; after each byte, see whether the two
    // bytes that follow are the CRC so far. The last match is the longest.
    Crc16 crc;
    uint16_t longest = 0;
    for (uint16_t end = start; end + kRtuCrcSize <= count; ++end) {
      if (end - start >= kMinRtuFrameSize - kRtuCrcSize && bytes[end] == crc.first && bytes[end + 1] == crc.second) {
        longest = static_cast<uint16_t>(end + kRtuCrcSize - start);
      }
      UpdateCRC16(&crc, bytes[end]);
    }
    if (longest != 0) {
      *frameLength = longest;
      return start;
    }
  }
  return -1;
}

}  // namespace modbus_stack
