// ModbusCrc.cpp - CRC-16/MODBUS by the two 256-entry lookup tables of the
// Modbus serial line protocol (one table per result byte). The tables are
// derived at compile time from the reflected polynomial 0xA001.
#include "ModbusCrc.h"

#include <array>

namespace modbus_stack {
namespace {

constexpr uint16_t kReflectedPolynomial = 0xA001;

// CRC of the single byte `index` run from a zero register, bit by bit.
constexpr uint16_t TableEntry(uint8_t index) {
  uint16_t crc = index;
  for (int bit = 0; bit < 8; ++bit) {
    crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ kReflectedPolynomial) : static_cast<uint16_t>(crc >> 1);
  }
  return crc;
}

// The first table feeds the first result byte (the entry's low byte), the
// second table the second result byte (the entry's high byte).
constexpr std::array<uint8_t, 256> BuildTable(bool highByte) {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    const uint16_t entry = TableEntry(static_cast<uint8_t>(i));
    table[i] = static_cast<uint8_t>(highByte ? entry >> 8 : entry & 0xFF);
  }
  return table;
}

constexpr std::array<uint8_t, 256> kFirstByteTable = BuildTable(false);
constexpr std::array<uint8_t, 256> kSecondByteTable = BuildTable(true);

// Spot checks against the published tables (00 C1 81 40 ... and 00 C0 C1 01 ...).
static_assert(kFirstByteTable[1] == 0xC1 && kFirstByteTable[2] == 0x81 && kFirstByteTable[255] == 0x40);
static_assert(kSecondByteTable[1] == 0xC0 && kSecondByteTable[2] == 0xC1 && kSecondByteTable[255] == 0x40);

}  // namespace

void UpdateCRC16(Crc16* crc, uint8_t byte) {
  const uint8_t index = crc->first ^ byte;
  crc->first = crc->second ^ kFirstByteTable[index];
  crc->second = kSecondByteTable[index];
}

uint16_t CalculateCRC16(const uint8_t* bytes, uint16_t count) {
  Crc16 crc;
  for (uint16_t i = 0; i < count; ++i) {
    UpdateCRC16(&crc, bytes[i]);
  }
  return static_cast<uint16_t>((crc.second << 8) | crc.first);
}

void AppendCRC16(uint8_t* bytes, uint16_t count) {
  const uint16_t crc = CalculateCRC16(bytes, count);
  bytes[count] = static_cast<uint8_t>(crc & 0xFF);
  bytes[count + 1] = static_cast<uint8_t>(crc >> 8);
}

bool HasValidCRC16(const uint8_t* bytes, uint16_t count) {
  const uint16_t crc = CalculateCRC16(bytes, count);
  return bytes[count] == (crc & 0xFF) && bytes[count + 1] == (crc >> 8);
}

}  // namespace modbus_stack
