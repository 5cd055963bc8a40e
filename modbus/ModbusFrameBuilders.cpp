// ModbusFrameBuilders.cpp - building request, response and exception frames.
#include "ModbusFrameBuilders.h"

#include <cstring>

#include "ModbusBytes.h"
#include "ModbusFraming.h"
#include "ModbusProtocol.h"

namespace modbus_stack {
namespace {

// Writes unit, function and a 16-bit field pair (address and quantity or
// value) from the frame's start; returns the position after them.
uint16_t WriteHeadAndPair(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t first, uint16_t second,
                          uint8_t* frame) {
  uint16_t position = FrameStart(protocol);
  frame[position++] = unit;
  frame[position++] = function;
  WriteBigEndian16(frame + position, first);
  WriteBigEndian16(frame + position + 2, second);
  return static_cast<uint16_t>(position + 4);
}

}  // namespace

bool IsSupportedFunction(uint8_t function) { return MaxQuantity(function) != 0 || function == kEncapsulatedInterface; }

bool IsBitFunction(uint8_t function) {
  return function == kReadCoils || function == kReadDiscreteInputs || function == kWriteMultipleCoils;
}

uint16_t MaxQuantity(uint8_t function) {
  switch (function) {
    case kReadCoils:
    case kReadDiscreteInputs:
      return kMaxReadBits;
    case kReadHoldingRegisters:
    case kReadInputRegisters:
      return kMaxReadRegisters;
    case kWriteSingleCoil:
    case kWriteSingleRegister:
      return 1;
    case kWriteMultipleCoils:
      return kMaxWriteCoils;
    case kWriteMultipleRegisters:
      return kMaxWriteRegisters;
    case kReadWriteMultipleRegisters:
      return kMaxReadWriteReadRegisters;
    default:
      return 0;
  }
}

uint16_t DataSize(uint8_t function, uint16_t quantity) {
  return IsBitFunction(function) ? static_cast<uint16_t>((quantity + 7u) / 8u) : static_cast<uint16_t>(2u * quantity);
}

uint16_t BuildExceptionResponse(uint32_t protocol, uint8_t unit, uint8_t function, uint8_t exceptionCode,
                                uint8_t* frame) {
  if (frame == nullptr) {
    return 0;
  }
  uint16_t position = FrameStart(protocol);
  frame[position++] = unit;
  frame[position++] = static_cast<uint8_t>(function | kExceptionFlag);  // 0x80-0xFF keep their code
  frame[position + kExceptionCodeOffset] = exceptionCode;
  return FinishFrame(protocol, frame, static_cast<uint16_t>(position + 1));
}

uint16_t BuildReadResponse(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t quantity, const uint16_t* values,
                           uint16_t valuesSize, uint8_t* frame) {
  const bool readsData =
      (function >= kReadCoils && function <= kReadInputRegisters) || function == kReadWriteMultipleRegisters;
  if (frame == nullptr || !readsData || quantity > MaxQuantity(function)) {
    return 0;
  }
  const uint16_t byteCount = DataSize(function, quantity);
  if (byteCount > valuesSize) {
    return 0;
  }
  uint16_t position = FrameStart(protocol);
  frame[position++] = unit;
  frame[position++] = function;
  frame[position + kResponseByteCountOffset] = static_cast<uint8_t>(byteCount);
  uint8_t* data = frame + position + kResponseDataOffset;
  if (IsBitFunction(function)) {
    std::memcpy(data, values, byteCount);
  } else {
    for (uint16_t i = 0; i < quantity; ++i) {
      WriteBigEndian16(data + 2 * i, values[i]);
    }
  }
  return FinishFrame(protocol, frame, static_cast<uint16_t>(position + kResponseDataOffset + byteCount));
}

uint16_t BuildReadRequest(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t startingAddress,
                          uint16_t quantity, uint8_t* frame) {
  return FinishFrame(protocol, frame, WriteHeadAndPair(protocol, unit, function, startingAddress, quantity, frame));
}

uint16_t BuildDeviceIdentificationRequest(uint32_t protocol, uint8_t unit, uint8_t code, uint8_t objectId,
                                          uint8_t* frame) {
  uint16_t position = FrameStart(protocol);
  frame[position++] = unit;
  frame[position++] = kEncapsulatedInterface;
  frame[position + kMeiTypeOffset] = kMeiReadDeviceIdentification;
  frame[position + kReadDeviceIdCodeOffset] = code;
  frame[position + kObjectIdOffset] = objectId;
  return FinishFrame(protocol, frame, static_cast<uint16_t>(position + kDeviceIdRequestSize));
}

uint16_t BuildWriteRequest(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t startingAddress,
                           uint16_t quantity, const uint16_t* values, uint16_t valuesSize, uint8_t* frame) {
  if (frame == nullptr || values == nullptr) {
    return 0;
  }
  switch (function) {
    case kWriteSingleCoil:
    case kWriteSingleRegister: {
      if (quantity != 1 || valuesSize < 2) {
        return 0;
      }
      const uint16_t end = WriteHeadAndPair(protocol, unit, function, startingAddress, values[0], frame);
      return FinishFrame(protocol, frame, end);
    }
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters: {
      const uint16_t byteCount = DataSize(function, quantity);
      if (quantity > MaxQuantity(function) || byteCount > valuesSize) {
        return 0;
      }
      uint16_t position = WriteHeadAndPair(protocol, unit, function, startingAddress, quantity, frame);
      frame[position++] = static_cast<uint8_t>(byteCount);
      if (function == kWriteMultipleCoils) {
        std::memcpy(frame + position, values, byteCount);
      } else {
        for (uint16_t i = 0; i < quantity; ++i) {
          WriteBigEndian16(frame + position + 2 * i, values[i]);
        }
      }
      return FinishFrame(protocol, frame, static_cast<uint16_t>(position + byteCount));
    }
    default:
      return 0;
  }
}

uint16_t BuildWriteResponse(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t startingAddress,
                            uint16_t quantity, const uint16_t* values, uint8_t* frame) {
  if (frame == nullptr) {
    return 0;
  }
  switch (function) {
    case kWriteSingleCoil:
    case kWriteSingleRegister:
      return BuildWriteRequest(protocol, unit, function, startingAddress, 1, values, 2, frame);
    case kWriteMultipleCoils:
    case kWriteMultipleRegisters:
      if (quantity > MaxQuantity(function)) {
        return 0;
      }
      return FinishFrame(protocol, frame, WriteHeadAndPair(protocol, unit, function, startingAddress, quantity, frame));
    default:
      return 0;
  }
}

}  // namespace modbus_stack
