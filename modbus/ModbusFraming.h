// ModbusFraming.h - the receive buffer and the frame envelopes: pulling bytes
// through the receive callback, dropping consumed bytes, reading and writing
// the MBAP header, and finishing a frame (MBAP header or CRC).
#pragma once

#include <cstdint>

namespace modbus_stack {

// Calls the receive callback once, appending to the receive buffer. Under TCP
// the buffer is emptied first, because every receive starts a new message.
// Returns the number of bytes that arrived.
uint16_t ReceiveIntoBuffer(uint32_t* connectionId);

// Drops the first count bytes of the receive buffer (all of them when count
// is larger than what is held).
void ConsumeBytes(uint16_t count);

// Checks the MBAP header of a received TCP frame and keeps its transaction
// identifier. Returns the position of the unit identifier (6), or 0 when the
// frame is shorter than 6 bytes or its protocol identifier is not 0.
uint16_t ParseMbapHeader(const uint8_t* bytes, uint16_t count);

// Writes the MBAP header for a frame of total bytes whose unit identifier and
// PDU already stand from offset 6. Returns total, or 0 when total is below 6.
uint16_t WriteMbapHeader(uint8_t* frame, uint16_t total);

// Offset at which a frame's unit identifier (TCP) or address (RTU) goes.
uint16_t FrameStart(uint32_t protocol);

// Finishes a frame whose content stands in the first length bytes: TCP writes
// the MBAP header and advances the transaction identifier; RTU appends the
// CRC. Returns the frame's total length.
uint16_t FinishFrame(uint32_t protocol, uint8_t* frame, uint16_t length);

}  // namespace modbus_stack
