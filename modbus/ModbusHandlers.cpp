// ModbusHandlers.cpp - reads, single writes, multiple writes and read/write
// requests. Exception responses carry the stack's slave id, except the one
// reporting a read callback's refusal, which carries the request's own unit
// identifier.
#include "ModbusHandlers.h"

#include <cstring>

#include "ModbusBytes.h"
#include "ModbusFrameBuilders.h"
#include "ModbusProtocol.h"
#include "ModbusState.h"

namespace modbus_stack {
namespace {

uint16_t Exception(const Request& request, uint8_t code, uint8_t* frame) {
  return BuildExceptionResponse(g_stack.protocol, g_stack.slaveId, request.function, code, frame);
}

// A refusal is answered with the callback's code; a callback that refused
// without naming a code has failed, which is exception 4.
uint8_t RefusalCode(uint8_t exceptionCode) { return exceptionCode != 0 ? exceptionCode : kServerDeviceFailure; }

// The answer after a write callback has run.
uint16_t AnswerWrite(const Request& request, bool accepted, uint8_t exceptionCode, uint16_t startingAddress,
                     uint16_t quantity, const uint16_t* values, uint8_t* frame) {
  if (!accepted) {
    return Exception(request, RefusalCode(exceptionCode), frame);
  }
  const uint16_t length =
      BuildWriteResponse(g_stack.protocol, g_stack.slaveId, request.function, startingAddress, quantity, values, frame);
  return length != 0 ? length : Exception(request, kServerDeviceFailure, frame);
}

// Calls the read callback and answers with its values or its refusal.
uint16_t AnswerRead(const Request& request, uint16_t startingAddress, uint16_t quantity, uint8_t* frame) {
  uint16_t values[kValueAreaSize / 2] = {};
  uint8_t exceptionCode = 0;
  if (!g_stack.getValue(g_stack.slaveId, request.function, startingAddress, quantity, values, kValueAreaSize,
                        &exceptionCode)) {
    return BuildExceptionResponse(g_stack.protocol, request.unit, request.function, RefusalCode(exceptionCode), frame);
  }
  const uint16_t length =
      BuildReadResponse(g_stack.protocol, g_stack.slaveId, request.function, quantity, values, kValueAreaSize, frame);
  return length != 0 ? length : Exception(request, kServerDeviceFailure, frame);
}

}  // namespace

uint16_t HandleReadRequest(const Request& request, uint8_t* frame) {
  if (g_stack.getValue == nullptr) {
    return Exception(request, kIllegalFunction, frame);
  }
  if (request.dataLength < kAddressAndQuantitySize) {
    return 0;
  }
  const uint16_t startingAddress = ReadBigEndian16(request.data + kStartingAddressOffset);
  const uint16_t quantity = ReadBigEndian16(request.data + kQuantityOffset);
  if (quantity > MaxQuantity(request.function)) {
    return Exception(request, kIllegalDataValue, frame);
  }
  return AnswerRead(request, startingAddress, quantity, frame);
}

uint16_t HandleSingleWriteRequest(const Request& request, uint8_t* frame) {
  if (g_stack.setValue == nullptr) {
    return Exception(request, kIllegalFunction, frame);
  }
  if (request.dataLength < kAddressAndValueSize) {
    return 0;
  }
  const uint16_t address = ReadBigEndian16(request.data + kStartingAddressOffset);
  uint16_t value = ReadBigEndian16(request.data + kSingleValueOffset);
  uint8_t exceptionCode = 0;
  const bool accepted =
      g_stack.setValue(g_stack.slaveId, request.function, address, 1, &value, sizeof value, &exceptionCode);
  return AnswerWrite(request, accepted, exceptionCode, address, 1, &value, frame);
}

uint16_t HandleMultipleWriteRequest(const Request& request, uint8_t* frame) {
  if (g_stack.setValue == nullptr) {
    return Exception(request, kIllegalFunction, frame);
  }
  if (request.dataLength < kMultipleWriteHeaderSize) {
    return 0;
  }
  const bool registers = request.function == kWriteMultipleRegisters;
  const uint16_t startingAddress = ReadBigEndian16(request.data + kStartingAddressOffset);
  const uint16_t quantity = ReadBigEndian16(request.data + kQuantityOffset);
  const uint8_t byteCount = request.data[kByteCountOffset];
  const uint8_t* const data = request.data + kWriteDataOffset;
  // The byte count must cover the quantity: coils missing from the data
  // would reach the callback as bits nobody sent.
  if (kMultipleWriteHeaderSize + byteCount > request.dataLength || quantity > MaxQuantity(request.function) ||
      byteCount < DataSize(request.function, quantity)) {
    return Exception(request, kIllegalDataValue, frame);
  }
  // Coils are passed on as the packed bytes of the request; registers are
  // converted to host order, and the callback gets exactly quantity of them.
  uint16_t writeArea[kWriteAreaSize / 2] = {};
  uint16_t dataSize = byteCount;
  if (registers) {
    for (uint16_t i = 0; i < quantity; ++i) {
      writeArea[i] = ReadBigEndian16(data + 2 * i);
    }
    dataSize = static_cast<uint16_t>(2u * quantity);
  } else {
    std::memcpy(writeArea, data, byteCount);
  }
  uint8_t exceptionCode = 0;
  const bool accepted = g_stack.setValue(g_stack.slaveId, request.function, startingAddress, quantity, writeArea,
                                         dataSize, &exceptionCode);
  return AnswerWrite(request, accepted, exceptionCode, startingAddress, quantity, writeArea, frame);
}

uint16_t HandleReadWriteRequest(const Request& request, uint8_t* frame) {
  if (g_stack.getValue == nullptr || g_stack.setValue == nullptr) {
    return Exception(request, kIllegalFunction, frame);
  }
  if (request.dataLength < kReadWriteHeaderSize) {
    return 0;
  }
  const uint16_t readAddress = ReadBigEndian16(request.data + kReadWriteReadAddressOffset);
  const uint16_t readQuantity = ReadBigEndian16(request.data + kReadWriteReadQuantityOffset);
  const uint16_t writeAddress = ReadBigEndian16(request.data + kReadWriteWriteAddressOffset);
  const uint16_t writeQuantity = ReadBigEndian16(request.data + kReadWriteWriteQuantityOffset);
  const uint8_t byteCount = request.data[kReadWriteByteCountOffset];
  if (readQuantity == 0 || readQuantity > kMaxReadWriteReadRegisters || writeQuantity == 0 ||
      writeQuantity > kMaxReadWriteWriteRegisters || byteCount != 2u * writeQuantity ||
      kReadWriteHeaderSize + byteCount > request.dataLength) {
    return Exception(request, kIllegalDataValue, frame);
  }
  // The write is carried out before the read, so the read sees its values.
  uint16_t writeArea[kMaxReadWriteWriteRegisters] = {};
  for (uint16_t i = 0; i < writeQuantity; ++i) {
    writeArea[i] = ReadBigEndian16(request.data + kReadWriteDataOffset + 2 * i);
  }
  uint8_t exceptionCode = 0;
  if (!g_stack.setValue(g_stack.slaveId, request.function, writeAddress, writeQuantity, writeArea, byteCount,
                        &exceptionCode)) {
    return Exception(request, RefusalCode(exceptionCode), frame);
  }
  return AnswerRead(request, readAddress, readQuantity, frame);
}

}  // namespace modbus_stack
