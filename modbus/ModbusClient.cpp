// ModbusClient.cpp - the client role: send one read, write or Read Device
// Identification request, poll for its reply until the deadline, check the
// reply and hand back its data.
#include <cstring>

#include "ModbusBytes.h"
#include "ModbusFrameBuilders.h"
#include "ModbusFraming.h"
#include "ModbusProtocol.h"
#include "ModbusRtuFrameSearch.h"
#include "ModbusStack.h"
#include "ModbusState.h"

namespace modbus_stack {
namespace {

// Offsets from a reply's unit identifier.
constexpr uint16_t kReplyFunction = 1;
constexpr uint16_t kReplyByteCount = 2;
constexpr uint16_t kReplyExceptionCode = 2;
constexpr uint16_t kReplyData = 3;

// Where a received reply stands in the receive buffer: its unit identifier
// and the end of its PDU (the RTU CRC excluded).
struct Reply {
  uint16_t unitPosition;
  uint16_t end;
};

bool HasTransport() { return g_stack.send != nullptr && g_stack.receive != nullptr && g_stack.currentTime != nullptr; }

// Polls the receive callback until a reply is held or the deadline passes.
// Returns MODBUSSTACK_CLIENT_ACCEPTED with the reply located, or
// MODBUSSTACK_CLIENT_TIMED_OUT or MODBUSSTACK_CLIENT_UNUSABLE_REPLY.
uint32_t AwaitReply(Reply* reply) {
  g_stack.receiveLength = 0;
  const uint32_t deadline = g_stack.currentTime() + g_stack.timeout;
  for (;;) {
    if (g_stack.currentTime() >= deadline) {
      return MODBUSSTACK_CLIENT_TIMED_OUT;
    }
    uint32_t connectionId = 0;
    const uint16_t arrived = ReceiveIntoBuffer(&connectionId);
    if (arrived == 0) {
      continue;  // nothing new; under RTU the held bytes were searched already
    }
    if (g_stack.protocol == kProtocolTcp) {
      reply->unitPosition = ParseMbapHeader(g_stack.receiveBuffer, g_stack.receiveLength);
      reply->end = g_stack.receiveLength;
      return reply->unitPosition == 0 ? MODBUSSTACK_CLIENT_UNUSABLE_REPLY : MODBUSSTACK_CLIENT_ACCEPTED;
    }
    uint16_t frameLength = 0;
    const int start = FindReplyFrame(g_stack.receiveBuffer, g_stack.receiveLength, &frameLength);
    if (start >= 0) {
      ConsumeBytes(static_cast<uint16_t>(start));
      reply->unitPosition = kRtuAddress;
      reply->end = static_cast<uint16_t>(frameLength - kRtuCrcSize);
      return MODBUSSTACK_CLIENT_ACCEPTED;
    }
  }
}

// Judges a reply's function code: an exception reply stores its code, a reply
// too short for its function code or exception code is unusable, anything
// else is accepted and goes on to the caller's checks.
uint32_t JudgeReplyFunction(const Reply& reply, uint8_t* exceptionCode) {
  const uint16_t functionPosition = static_cast<uint16_t>(reply.unitPosition + kReplyFunction);
  if (functionPosition >= reply.end) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  if (g_stack.receiveBuffer[functionPosition] <= kExceptionFlag) {
    return MODBUSSTACK_CLIENT_ACCEPTED;
  }
  const uint16_t codePosition = static_cast<uint16_t>(reply.unitPosition + kReplyExceptionCode);
  if (codePosition >= reply.end) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  if (exceptionCode != nullptr) {
    *exceptionCode = g_stack.receiveBuffer[codePosition];
  }
  return MODBUSSTACK_CLIENT_EXCEPTION;
}

// Sends the request, waits for its reply and judges its function code.
uint32_t Transact(uint16_t connectionId, const uint8_t* frame, uint16_t frameLength, Reply* reply,
                  uint8_t* exceptionCode) {
  g_stack.send(connectionId, frame, frameLength);  // a lost send shows as a time-out
  const uint32_t result = AwaitReply(reply);
  return result == MODBUSSTACK_CLIENT_ACCEPTED ? JudgeReplyFunction(*reply, exceptionCode) : result;
}

// Checks that a Read Device Identification reply is one, and that its
// objects lie within the bytes received and within dataSize; then copies its
// PDU after the function code into data.
uint32_t TakeDeviceIdentification(const Reply& reply, uint8_t* data, uint16_t dataSize) {
  const uint8_t* const buffer = g_stack.receiveBuffer;
  const uint16_t start = static_cast<uint16_t>(reply.unitPosition + kReplyFunction + 1);
  if (buffer[reply.unitPosition + kReplyFunction] != kEncapsulatedInterface ||
      start + kDeviceIdResponseHeaderSize > reply.end ||
      buffer[start + kMeiTypeOffset] != kMeiReadDeviceIdentification) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  uint16_t end = static_cast<uint16_t>(start + kDeviceIdResponseHeaderSize);
  for (uint8_t i = 0; i < buffer[start + kDeviceIdObjectCountOffset]; ++i) {
    if (end + kDeviceObjectHeaderSize > reply.end) {
      return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
    }
    end = static_cast<uint16_t>(end + kDeviceObjectHeaderSize + buffer[end + 1]);
  }
  if (end > reply.end || end - start > dataSize) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  std::memcpy(data, buffer + start, static_cast<size_t>(end - start));
  return MODBUSSTACK_CLIENT_ACCEPTED;
}

// Read Device Identification through ModbusStack_ReadRegisters: the object
// id comes as the starting address, the read device id code as the quantity.
uint32_t ReadDeviceIdentification(uint16_t connectionId, uint8_t unit, uint16_t objectId, uint16_t code, uint8_t* data,
                                  uint16_t dataSize, uint8_t* exceptionCode) {
  if (objectId > kLastObject || code < kDeviceIdBasic || code > kDeviceIdSpecific) {
    return MODBUSSTACK_CLIENT_INVALID_ARGUMENTS;
  }
  uint8_t frame[kMaxFrameSize];
  const uint16_t frameLength = BuildDeviceIdentificationRequest(g_stack.protocol, unit, static_cast<uint8_t>(code),
                                                                static_cast<uint8_t>(objectId), frame);
  Reply reply{};
  const uint32_t result = Transact(connectionId, frame, frameLength, &reply, exceptionCode);
  return result == MODBUSSTACK_CLIENT_ACCEPTED ? TakeDeviceIdentification(reply, data, dataSize) : result;
}

}  // namespace
}  // namespace modbus_stack

using namespace modbus_stack;

extern "C" VELD_MODBUS_API uint32_t ModbusStack_ReadRegisters(uint16_t connectionId, uint8_t unit, uint8_t function,
                                                              uint16_t startingAddress, uint16_t quantity,
                                                              uint8_t* data, uint16_t dataSize,
                                                              uint8_t* exceptionCode) {
  if (!HasTransport()) {
    return MODBUSSTACK_CLIENT_NO_TRANSPORT;
  }
  if (data != nullptr && function == kEncapsulatedInterface) {
    return ReadDeviceIdentification(connectionId, unit, startingAddress, quantity, data, dataSize, exceptionCode);
  }
  if (data == nullptr || function < kReadCoils || function > kReadInputRegisters || quantity > MaxQuantity(function) ||
      DataSize(function, quantity) > dataSize) {
    return MODBUSSTACK_CLIENT_INVALID_ARGUMENTS;
  }
  uint8_t frame[kMaxFrameSize];
  const uint16_t frameLength = BuildReadRequest(g_stack.protocol, unit, function, startingAddress, quantity, frame);
  Reply reply{};
  const uint32_t result = Transact(connectionId, frame, frameLength, &reply, exceptionCode);
  if (result != MODBUSSTACK_CLIENT_ACCEPTED) {
    return result;
  }
  const uint8_t* const buffer = g_stack.receiveBuffer;
  const uint16_t countPosition = static_cast<uint16_t>(reply.unitPosition + kReplyByteCount);
  if (countPosition >= reply.end) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  const uint8_t byteCount = buffer[countPosition];
  const uint16_t dataPosition = static_cast<uint16_t>(reply.unitPosition + kReplyData);
  if (dataPosition + byteCount > reply.end || byteCount > dataSize) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  const uint8_t replyFunction = buffer[reply.unitPosition + kReplyFunction];
  if (replyFunction == kReadHoldingRegisters || replyFunction == kReadInputRegisters) {
    // Registers go out in host order; odd trailing bytes are copied as sent.
    for (uint16_t i = 0; i + 1 < byteCount; i += 2) {
      const uint16_t value = ReadBigEndian16(buffer + dataPosition + i);
      std::memcpy(data + i, &value, sizeof value);
    }
    if (byteCount % 2 != 0) {
      data[byteCount - 1] = buffer[dataPosition + byteCount - 1];
    }
  } else {
    std::memcpy(data, buffer + dataPosition, byteCount);
  }
  return MODBUSSTACK_CLIENT_ACCEPTED;
}

extern "C" VELD_MODBUS_API uint32_t ModbusStack_WriteRegisters(uint16_t connectionId, uint8_t unit, uint8_t function,
                                                               uint16_t startingAddress, const uint16_t* values,
                                                               uint16_t quantity, uint8_t* exceptionCode) {
  if (!HasTransport()) {
    return MODBUSSTACK_CLIENT_NO_TRANSPORT;
  }
  if (values == nullptr) {
    return MODBUSSTACK_CLIENT_INVALID_ARGUMENTS;
  }
  if (function < kWriteSingleCoil || function > kWriteMultipleRegisters ||
      (function > kWriteSingleRegister && function < kWriteMultipleCoils)) {
    return MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION;
  }
  if ((function == kWriteSingleCoil || function == kWriteSingleRegister) && quantity != 1) {
    return MODBUSSTACK_CLIENT_INVALID_ARGUMENTS;
  }
  uint8_t frame[kMaxFrameSize];
  const uint16_t frameLength = BuildWriteRequest(g_stack.protocol, unit, function, startingAddress, quantity, values,
                                                 static_cast<uint16_t>(2u * quantity), frame);
  if (frameLength == 0) {
    return MODBUSSTACK_CLIENT_INVALID_ARGUMENTS;
  }
  Reply reply{};
  const uint32_t result = Transact(connectionId, frame, frameLength, &reply, exceptionCode);
  if (result != MODBUSSTACK_CLIENT_ACCEPTED) {
    return result;
  }
  const uint8_t* const buffer = g_stack.receiveBuffer;
  if (buffer[reply.unitPosition] != unit || buffer[reply.unitPosition + kReplyFunction] != function) {
    return MODBUSSTACK_CLIENT_UNUSABLE_REPLY;
  }
  return MODBUSSTACK_CLIENT_ACCEPTED;
}
