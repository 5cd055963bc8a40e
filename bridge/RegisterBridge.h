// RegisterBridge.h - the Modbus stack's value callbacks: register address N
// is the Data row whose ModbusOffset is N. Holding and input registers are
// the same rows; registers 0 to 19 are the protected info registers.
#pragma once

#include <cstdint>

#include "InfoRows.h"
#include "ModbusStack.h"

// What a register reads as when its row cannot be read.
constexpr uint16_t kUnreadableRegisterValue = 0x0BAD;
// Registers below this hold the info rows and cannot be written over Modbus.
constexpr uint16_t kFirstWritableRegister = kInfoRowCount;

// Reads (function 3 or 4) length registers from startingAddress, refreshing
// stale rows from the weather service; each postal code is fetched at most
// once per request. Other functions: exception 1.
bool GetModbusValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t dataSize, uint8_t* exceptionCode);

// Writes (function 6 or 16) the values into the rows, all or nothing, in one
// transaction. Exception 2 for a start below 20 or a register without a row,
// 4 when the database fails, 1 for other functions.
bool SetModbusValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                    uint16_t dataSize, uint8_t* exceptionCode);
