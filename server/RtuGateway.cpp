// RtuGateway.cpp - cutting RTU requests by their length rule, and the
// conversion between RTU and MBAP frames around the stack.
#include "RtuGateway.h"

#include <cstring>

#include "ModbusBytes.h"
#include "ModbusCrc.h"
#include "ModbusProtocol.h"
#include "ModbusRtuFrameSearch.h"
#include "ModbusStack.h"

namespace {

// The stack's frame layouts: an RTU frame is the address, the PDU and the
// CRC; an MBAP frame the header, the unit identifier and the PDU.
using modbus_stack::kMbapLength;
using modbus_stack::kMbapProtocolId;
using modbus_stack::kMbapTransactionId;
using modbus_stack::kMbapUnitId;
using modbus_stack::kRtuAddress;
using modbus_stack::kRtuCrcSize;
using modbus_stack::WriteBigEndian16;
constexpr uint16_t kRtuPduOffset = kRtuAddress + 1;
constexpr uint16_t kMbapPdu = kMbapUnitId + 1;
// The address, a function code and the CRC.
constexpr uint16_t kMinRtuFrameSize = kRtuPduOffset + 1 + kRtuCrcSize;
// The unit identifier the stack answers for "no sub-device".
constexpr uint8_t kUnitNoSubDevice = 255;
constexpr std::chrono::seconds kCorruptLogInterval{1};

bool IsWriteFunction(uint8_t functionCode) {
  return functionCode == MODBUSSTACK_FC_WRITE_SINGLE_COIL || functionCode == MODBUSSTACK_FC_WRITE_SINGLE_REGISTER ||
         functionCode == MODBUSSTACK_FC_WRITE_MULTIPLE_COILS || functionCode == MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS;
}

}  // namespace

RtuFrameState InspectRtuRequest(const uint8_t* bytes, uint16_t length, uint16_t* frameLength) {
  if (length <= kRtuPduOffset) {
    return RtuFrameState::Incomplete;
  }
  const uint16_t expected = modbus_stack::RtuRequestLength(bytes, length);
  if (expected == 0) {
    return RtuFrameState::Incomplete;  // the byte count is still to come
  }
  *frameLength = expected;
  if (expected > kMaxRtuFrameSize) {
    return RtuFrameState::Corrupt;
  }
  if (length < expected) {
    return RtuFrameState::Incomplete;
  }
  return modbus_stack::HasValidCRC16(bytes, static_cast<uint16_t>(expected - kRtuCrcSize)) ? RtuFrameState::Complete
                                                                                           : RtuFrameState::Corrupt;
}

RtuAddressing ClassifyRtuRequest(uint8_t address, uint8_t functionCode, const UnitIdSet& answered) {
  if (address != kRtuBroadcastAddress && address <= kMaxRtuAddress && answered.Contains(address)) {
    return RtuAddressing::Answer;
  }
  if (address == kRtuBroadcastAddress && IsWriteFunction(functionCode)) {
    return RtuAddressing::CarryOutSilently;
  }
  return RtuAddressing::Ignore;
}

bool AnswersSomeRtuSlave(const UnitIdSet& answered) {
  for (unsigned address = kRtuBroadcastAddress + 1; address <= kMaxRtuAddress; ++address) {
    if (answered.Contains(static_cast<uint8_t>(address))) {
      return true;
    }
  }
  return false;
}

uint16_t RtuGateway::ToStack(const uint8_t* rtu, uint16_t length, uint8_t* mbap, uint16_t room) {
  if (length < kMinRtuFrameSize) {
    return 0;
  }
  const uint16_t pduLength = static_cast<uint16_t>(length - kRtuPduOffset - kRtuCrcSize);
  const uint16_t mbapLength = static_cast<uint16_t>(kMbapPdu + pduLength);
  const uint8_t address = rtu[kRtuAddress];
  const RtuAddressing addressing = ClassifyRtuRequest(address, rtu[kRtuPduOffset], m_addresses);
  if (addressing == RtuAddressing::Ignore || mbapLength > room) {
    return 0;
  }
  m_requestAddress = address;
  m_withholdAnswer = addressing == RtuAddressing::CarryOutSilently;
  ++m_transactionId;
  WriteBigEndian16(mbap + kMbapTransactionId, m_transactionId);
  WriteBigEndian16(mbap + kMbapProtocolId, 0);
  WriteBigEndian16(mbap + kMbapLength, static_cast<uint16_t>(pduLength + 1));  // the unit id and the PDU
  mbap[kMbapUnitId] = kUnitNoSubDevice;
  std::memcpy(mbap + kMbapPdu, rtu + kRtuPduOffset, pduLength);
  return mbapLength;
}

uint16_t RtuGateway::ToWire(const uint8_t* mbap, uint16_t length, uint8_t* rtu, uint16_t room) const {
  if (length <= kMbapPdu) {
    return 0;
  }
  const uint16_t pduLength = static_cast<uint16_t>(length - kMbapPdu);
  const uint16_t rtuLength = static_cast<uint16_t>(kRtuPduOffset + pduLength + kRtuCrcSize);
  if (rtuLength > room) {
    return 0;
  }
  rtu[kRtuAddress] = m_requestAddress;
  std::memcpy(rtu + kRtuPduOffset, mbap + kMbapPdu, pduLength);
  modbus_stack::AppendCRC16(rtu, static_cast<uint16_t>(kRtuPduOffset + pduLength));
  return rtuLength;
}

bool RtuGateway::NoteCorruptFrame(TimePoint now) {
  if (m_corruptLoggedAt && now - *m_corruptLoggedAt < kCorruptLogInterval) {
    return false;
  }
  m_corruptLoggedAt = now;
  return true;
}
