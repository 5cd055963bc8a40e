// StackEntryPoints.h - the table through which the host calls the Modbus
// stack's exported functions, filled once at start-up before first use.
#pragma once

#include "ModbusStack.h"

struct StackEntryPoints {
  uint32_t (*GetAPIMajorVersion)(void) = nullptr;
  uint32_t (*GetAPIMinorVersion)(void) = nullptr;
  uint32_t (*GetAPIPatchVersion)(void) = nullptr;
  uint32_t (*GetAPIBuildVersion)(void) = nullptr;
  uint32_t (*Init)(uint32_t, SendMessageFunction, RecvMessageFunction, CurrentTimeFunction) = nullptr;
  uint32_t (*Loop)(void) = nullptr;
  void (*Flush)(void) = nullptr;
  uint32_t (*RegisterSetValue)(SetModbusValueFunction) = nullptr;
  uint32_t (*RegisterGetValue)(GetModbusValueFunction) = nullptr;
  bool (*SetDeviceIdentification)(uint8_t, const char*, uint8_t) = nullptr;
};

// Fills the table with the stack's functions.
void FillStackEntryPoints();

// The filled table.
const StackEntryPoints& TheStackEntryPoints();
