// ModbusProtocol.h - named constants of the Modbus wire format and of the
// stack's own limits. Every byte offset and protocol limit the stack uses is
// named here, next to the frame field it bounds.
#pragma once

#include <cstdint>

#include "ModbusStack.h"

namespace modbus_stack {

// Framings chosen by ModbusStack_Init; kProtocolNone until it succeeds.
constexpr uint32_t kProtocolNone = 0;
constexpr uint32_t kProtocolRtu = MODBUSSTACK_PROTOCOL_RTU;
constexpr uint32_t kProtocolTcp = MODBUSSTACK_PROTOCOL_TCP;

// Function codes (Modbus Application Protocol, section 6), typed as they
// travel in a frame.
constexpr uint8_t kReadCoils = MODBUSSTACK_FC_READ_COILS;
constexpr uint8_t kReadDiscreteInputs = MODBUSSTACK_FC_READ_DISCRETE_INPUTS;
constexpr uint8_t kReadHoldingRegisters = MODBUSSTACK_FC_READ_HOLDING_REGISTERS;
constexpr uint8_t kReadInputRegisters = MODBUSSTACK_FC_READ_INPUT_REGISTERS;
constexpr uint8_t kWriteSingleCoil = MODBUSSTACK_FC_WRITE_SINGLE_COIL;
constexpr uint8_t kWriteSingleRegister = MODBUSSTACK_FC_WRITE_SINGLE_REGISTER;
constexpr uint8_t kWriteMultipleCoils = MODBUSSTACK_FC_WRITE_MULTIPLE_COILS;
constexpr uint8_t kWriteMultipleRegisters = MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS;
constexpr uint8_t kReadWriteMultipleRegisters = MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS;
constexpr uint8_t kEncapsulatedInterface = MODBUSSTACK_FC_ENCAPSULATED_INTERFACE;

// An exception response carries the function code with this bit set.
constexpr uint8_t kExceptionFlag = 0x80;

// Exception codes the stack produces itself.
constexpr uint8_t kIllegalFunction = MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION;
constexpr uint8_t kIllegalDataAddress = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS;
constexpr uint8_t kIllegalDataValue = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE;
constexpr uint8_t kServerDeviceFailure = MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE;

// MBAP header of a Modbus TCP frame: byte offsets of its fields.
constexpr uint16_t kMbapTransactionId = 0;
constexpr uint16_t kMbapProtocolId = 2;
constexpr uint16_t kMbapLength = 4;
constexpr uint16_t kMbapUnitId = 6;
// Bytes in front of the unit identifier; the length field counts the rest.
constexpr uint16_t kMbapFixedSize = 6;

// Modbus RTU frame: the address leads, the CRC-16 trails (low byte first).
constexpr uint16_t kRtuAddress = 0;
constexpr uint16_t kRtuCrcSize = 2;

// A PDU is at most 253 bytes (Modbus Application Protocol, section 4.1), so a
// TCP frame is at most 6 + 1 (unit identifier) + 253 = 260 bytes and an RTU
// frame at most 1 + 253 + 2 = 256 bytes.
constexpr uint16_t kMaxPduSize = 253;
constexpr uint16_t kMaxFrameSize = kMbapFixedSize + 1 + kMaxPduSize;

// The receive buffer holds one whole frame of either framing.
constexpr uint16_t kReceiveBufferSize = kMaxFrameSize;

// Byte offsets inside a request PDU's data, counted from the byte after the
// function code.
constexpr uint16_t kStartingAddressOffset = 0;  // also the address of 5, 6
constexpr uint16_t kQuantityOffset = 2;         // quantity of 1-4, 15, 16
constexpr uint16_t kSingleValueOffset = 2;      // value of 5, 6
constexpr uint16_t kByteCountOffset = 4;        // byte count of 15, 16
constexpr uint16_t kWriteDataOffset = 5;        // first data byte of 15, 16
// Fixed fields a request needs before it can be handled.
constexpr uint16_t kAddressAndQuantitySize = 4;   // 1-4: address, quantity
constexpr uint16_t kAddressAndValueSize = 4;      // 5, 6: address, value
constexpr uint16_t kMultipleWriteHeaderSize = 5;  // 15, 16: address, quantity, byte count

// Read/write multiple registers (23): byte offsets of its request fields.
constexpr uint16_t kReadWriteReadAddressOffset = 0;
constexpr uint16_t kReadWriteReadQuantityOffset = 2;
constexpr uint16_t kReadWriteWriteAddressOffset = 4;
constexpr uint16_t kReadWriteWriteQuantityOffset = 6;
constexpr uint16_t kReadWriteByteCountOffset = 8;
constexpr uint16_t kReadWriteDataOffset = 9;
constexpr uint16_t kReadWriteHeaderSize = 9;  // the four fields and the byte count

// Read Device Identification (43, MEI type 14): request fields, the fixed
// fields of its response, the read device id codes and the object ranges.
constexpr uint8_t kMeiReadDeviceIdentification = MODBUSSTACK_MEI_READ_DEVICE_IDENTIFICATION;
constexpr uint16_t kMeiTypeOffset = 0;
constexpr uint16_t kReadDeviceIdCodeOffset = 1;
constexpr uint16_t kObjectIdOffset = 2;
constexpr uint16_t kDeviceIdRequestSize = 3;
// MEI type, read device id code, conformity level, more follows, next object
// id, number of objects; MEI type and code stand where the request has them.
constexpr uint16_t kDeviceIdResponseHeaderSize = 6;
constexpr uint16_t kDeviceIdConformityOffset = 2;
constexpr uint16_t kDeviceIdMoreFollowsOffset = 3;
constexpr uint16_t kDeviceIdNextObjectOffset = 4;
constexpr uint16_t kDeviceIdObjectCountOffset = 5;
constexpr uint16_t kDeviceObjectHeaderSize = 2;  // object id, object length
constexpr uint8_t kDeviceIdBasic = MODBUSSTACK_DEVICE_ID_BASIC;
constexpr uint8_t kDeviceIdRegular = MODBUSSTACK_DEVICE_ID_REGULAR;
constexpr uint8_t kDeviceIdSpecific = MODBUSSTACK_DEVICE_ID_SPECIFIC;
constexpr uint8_t kLastBasicObject = MODBUSSTACK_OBJECT_MAJOR_MINOR_REVISION;
constexpr uint8_t kLastRegularObject = MODBUSSTACK_OBJECT_USER_APPLICATION_NAME;
constexpr uint8_t kFirstExtendedObject = MODBUSSTACK_OBJECT_FIRST_EXTENDED;
constexpr uint8_t kLastObject = 0xFF;
constexpr uint8_t kConformityRegular = 0x82;   // basic and regular, stream and individual access
constexpr uint8_t kConformityExtended = 0x83;  // extended objects as well
constexpr uint8_t kMoreFollows = 0xFF;
// One value fills a PDU with the function code and the fixed fields.
constexpr uint16_t kMaxDeviceObjectLength = MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH;
static_assert(1 + kDeviceIdResponseHeaderSize + kDeviceObjectHeaderSize + kMaxDeviceObjectLength == kMaxPduSize);
constexpr uint16_t kDeviceObjectsRoom = MODBUSSTACK_DEVICE_OBJECTS_ROOM;

// Byte offsets inside a response PDU's data.
constexpr uint16_t kResponseByteCountOffset = 0;  // 1-4: byte count
constexpr uint16_t kResponseDataOffset = 1;       // 1-4: first data byte
constexpr uint16_t kExceptionCodeOffset = 0;      // exception response: its code

// Quantity limits: each keeps the PDU within 253 bytes.
constexpr uint16_t kMaxReadBits = 2000;                // 1, 2: byte count 250
constexpr uint16_t kMaxReadRegisters = 125;            // 3, 4: byte count 250
constexpr uint16_t kMaxWriteCoils = 1968;              // 15: byte count 246
constexpr uint16_t kMaxWriteRegisters = 123;           // 16: byte count 246
constexpr uint16_t kMaxReadWriteReadRegisters = 125;   // 23: response byte count 250
constexpr uint16_t kMaxReadWriteWriteRegisters = 121;  // 23: request byte count 242

// Work areas of a server pass.
constexpr uint16_t kValueAreaSize = 250;  // 2000 bits or 125 registers
constexpr uint16_t kWriteAreaSize = 256;  // any one-byte byte count (0-255)

// Server side RTU frame search: start positions examined per pass, and the
// smallest frame worth examining (address, function code, CRC).
constexpr uint16_t kMaxRequestSearchPositions = 100;
constexpr uint16_t kMinRtuFrameSize = 4;
// RTU request sizes: 1-6 and 43 are fixed; 15, 16 and 23 carry a byte count.
constexpr uint16_t kRtuFixedRequestSize = 8;       // address, fc, 4 data bytes, CRC
constexpr uint16_t kRtuMultipleWriteOverhead = 9;  // address, fc, 5 header bytes, CRC
constexpr uint16_t kRtuReadWriteOverhead = 13;     // address, fc, 9 header bytes, CRC
constexpr uint16_t kRtuDeviceIdRequestSize = 7;    // address, fc, MEI type, code, object id, CRC

// Client side: how long to wait for a reply, in units of the time callback.
constexpr uint16_t kDefaultTimeout = 3;

}  // namespace modbus_stack
