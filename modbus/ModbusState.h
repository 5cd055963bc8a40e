// ModbusState.h - the stack's one module-level instance: the framing chosen,
// the host's callbacks, the slave id, the device identification objects, the
// receive buffer and the transaction identifier shared by the server and the
// client role.
#pragma once

#include <cstdint>

#include "ModbusProtocol.h"
#include "ModbusStack.h"

namespace modbus_stack {

// The device identification objects as records of object id, length and
// value, in ascending object id order, packed from the start of the pool.
struct DeviceObjects {
  uint16_t used = 0;  // bytes of pool holding records
  uint8_t pool[kDeviceObjectsRoom] = {};
};

struct StackState {
  uint32_t protocol = kProtocolNone;
  SendMessageFunction send = nullptr;
  RecvMessageFunction receive = nullptr;
  CurrentTimeFunction currentTime = nullptr;
  GetModbusValueFunction getValue = nullptr;
  SetModbusValueFunction setValue = nullptr;
  uint16_t timeout = kDefaultTimeout;
  uint8_t slaveId = 0;
  DeviceObjects deviceObjects;
  uint16_t receiveLength = 0;  // bytes held in receiveBuffer
  uint8_t receiveBuffer[kReceiveBufferSize] = {};
  uint16_t transactionId = 0;  // last MBAP transaction identifier built or parsed
};

// The stack's state. Only the stack's own files and its tests touch it.
extern StackState g_stack;

}  // namespace modbus_stack
