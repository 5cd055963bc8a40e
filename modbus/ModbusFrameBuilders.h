// ModbusFrameBuilders.h - builders of every frame the stack sends: read and
// write requests (client), read and write responses and exception responses
// (server). Each writes from offset 0 (RTU) or 6 (TCP) and finishes the frame
// with the CRC or the MBAP header. Frame areas must hold kMaxFrameSize bytes.
#pragma once

#include <cstdint>

namespace modbus_stack {

// True for the function codes the stack serves: 1 to 6, 15, 16, 23 and 43.
bool IsSupportedFunction(uint8_t function);
// Largest quantity of a function code's request: for 23 its read quantity;
// 0 for 43 and for an unsupported code.
uint16_t MaxQuantity(uint8_t function);
// True for 1, 2 and 15, whose data are packed bits.
bool IsBitFunction(uint8_t function);
// Data bytes that quantity items of a function take on the wire:
// ceil(quantity / 8) for bits (1, 2, 15), 2 x quantity for registers.
uint16_t DataSize(uint8_t function, uint16_t quantity);

// unit, function + 0x80, code. Returns the frame length, or 0 without a frame.
uint16_t BuildExceptionResponse(uint32_t protocol, uint8_t unit, uint8_t function, uint8_t exceptionCode,
                                uint8_t* frame);

// unit, function, byte count, data. Register values are host order in
// values and go out big-endian; bit reads copy their bytes unchanged.
// Also the response of 23, which carries registers read. Returns 0 when
// function is not 1-4 or 23, the quantity is over its limit or the data
// would not fit in valuesSize bytes.
uint16_t BuildReadResponse(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t quantity, const uint16_t* values,
                           uint16_t valuesSize, uint8_t* frame);

// unit, function, starting address, quantity: a read request (1-4).
uint16_t BuildReadRequest(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t startingAddress,
                          uint16_t quantity, uint8_t* frame);

// unit, 43, MEI type 14, read device id code, object id.
uint16_t BuildDeviceIdentificationRequest(uint32_t protocol, uint8_t unit, uint8_t code, uint8_t objectId,
                                          uint8_t* frame);

// A write request: 5, 6 with one value; 15 with quantity, byte count and the
// packed coil bytes of values; 16 with quantity, byte count and the values
// big-endian. valuesSize is the size of values in bytes. Returns 0 when the
// request cannot be built (see the limits in ModbusStack.h).
uint16_t BuildWriteRequest(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t startingAddress,
                           uint16_t quantity, const uint16_t* values, uint16_t valuesSize, uint8_t* frame);

// A write response: 5 and 6 echo address and value (the same frame as the
// request); 15 and 16 carry starting address and quantity.
uint16_t BuildWriteResponse(uint32_t protocol, uint8_t unit, uint8_t function, uint16_t startingAddress,
                            uint16_t quantity, const uint16_t* values, uint8_t* frame);

}  // namespace modbus_stack
