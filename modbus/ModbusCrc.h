// ModbusCrc.h - CRC-16/MODBUS of Modbus RTU frames.
#pragma once

#include <cstdint>

namespace modbus_stack {

// The running CRC as two result bytes. The first goes on the wire first.
struct Crc16 {
  uint8_t first = 0xFF;
  uint8_t second = 0xFF;
};

// Feeds one byte into a running CRC.
void UpdateCRC16(Crc16* crc, uint8_t byte);

// CRC of count bytes, as a value whose low-order byte is the one sent first
// (0x0A84 for 01 03 00 00 00 01, which goes on the wire as 84 0A).
uint16_t CalculateCRC16(const uint8_t* bytes, uint16_t count);

// Writes the CRC of the count bytes at bytes[count] and bytes[count + 1].
void AppendCRC16(uint8_t* bytes, uint16_t count);

// True when the two bytes after the first count bytes are their CRC.
bool HasValidCRC16(const uint8_t* bytes, uint16_t count);

}  // namespace modbus_stack
