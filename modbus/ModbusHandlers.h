// ModbusHandlers.h - the server's function code handlers. Each checks one
// request against the stack's limits, calls the host's value callback and
// builds the response or exception response.
#pragma once

#include <cstdint>

namespace modbus_stack {

// One received request, as the server pass hands it to a handler.
struct Request {
  uint8_t unit;         // unit identifier (TCP) or address (RTU) it carried
  uint8_t function;     // its function code
  const uint8_t* data;  // the bytes after the function code
  uint16_t dataLength;  // how many of them arrived (the RTU CRC excluded)
};

// Each handler builds its answer in frame (kMaxFrameSize bytes) and returns
// its length, or 0 when the request is too short to hold its fixed fields
// and gets no answer.
uint16_t HandleReadRequest(const Request& request, uint8_t* frame);           // 1, 2, 3, 4
uint16_t HandleSingleWriteRequest(const Request& request, uint8_t* frame);    // 5, 6
uint16_t HandleMultipleWriteRequest(const Request& request, uint8_t* frame);  // 15, 16
uint16_t HandleReadWriteRequest(const Request& request, uint8_t* frame);      // 23
// 43 (ModbusDeviceIdentification.cpp): MEI type 14 only.
uint16_t HandleDeviceIdentificationRequest(const Request& request, uint8_t* frame);

}  // namespace modbus_stack
