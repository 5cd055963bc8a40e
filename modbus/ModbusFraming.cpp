// ModbusFraming.cpp - the receive buffer and the frame envelopes shared by
// the server pass and the client functions.
#include "ModbusFraming.h"

#include <cstring>

#include "ModbusBytes.h"
#include "ModbusCrc.h"
#include "ModbusState.h"

namespace modbus_stack {

uint16_t ReceiveIntoBuffer(uint32_t* connectionId) {
  if (g_stack.receive == nullptr) {
    return 0;
  }
  if (g_stack.protocol == kProtocolTcp) {
    g_stack.receiveLength = 0;
  }
  const uint16_t room = static_cast<uint16_t>(kReceiveBufferSize - g_stack.receiveLength);
  if (room == 0) {
    return 0;
  }
  uint16_t received = g_stack.receive(connectionId, g_stack.receiveBuffer + g_stack.receiveLength, room);
  // A callback that claims more than the room it was given breaks its
  // contract; never let that push the buffer length past the buffer.
  if (received > room) {
    received = room;
  }
  g_stack.receiveLength = static_cast<uint16_t>(g_stack.receiveLength + received);
  return received;
}

void ConsumeBytes(uint16_t count) {
  if (count == 0) {
    return;
  }
  if (count >= g_stack.receiveLength) {
    g_stack.receiveLength = 0;
    return;
  }
  g_stack.receiveLength = static_cast<uint16_t>(g_stack.receiveLength - count);
  std::memmove(g_stack.receiveBuffer, g_stack.receiveBuffer + count, g_stack.receiveLength);
}

uint16_t ParseMbapHeader(const uint8_t* bytes, uint16_t count) {
  if (bytes == nullptr || count < kMbapFixedSize) {
    return 0;
  }
  g_stack.transactionId = ReadBigEndian16(bytes + kMbapTransactionId);
  if (ReadBigEndian16(bytes + kMbapProtocolId) != 0) {
    return 0;
  }
  return kMbapUnitId;
}

uint16_t WriteMbapHeader(uint8_t* frame, uint16_t total) {
  if (total < kMbapFixedSize) {
    return 0;
  }
  WriteBigEndian16(frame + kMbapTransactionId, g_stack.transactionId);
  WriteBigEndian16(frame + kMbapProtocolId, 0);
  WriteBigEndian16(frame + kMbapLength, static_cast<uint16_t>(total - kMbapFixedSize));
  return total;
}

uint16_t FrameStart(uint32_t protocol) { return protocol == kProtocolRtu ? kRtuAddress : kMbapUnitId; }

uint16_t FinishFrame(uint32_t protocol, uint8_t* frame, uint16_t length) {
  if (protocol == kProtocolRtu) {
    AppendCRC16(frame, length);
    return static_cast<uint16_t>(length + kRtuCrcSize);
  }
  const uint16_t total = WriteMbapHeader(frame, length);
  g_stack.transactionId = static_cast<uint16_t>(g_stack.transactionId + 1);
  return total;
}

}  // namespace modbus_stack
