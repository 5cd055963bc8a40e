// ModbusConfig.cpp - the stack's state, its version, initialisation, slave
// id, value callback registration and flushing of the receive buffer.
#include "ModbusProtocol.h"
#include "ModbusStack.h"
#include "ModbusState.h"

namespace modbus_stack {

StackState g_stack;

namespace {

constexpr uint32_t kVersionMajor = 2;
constexpr uint32_t kVersionMinor = 3;
constexpr uint32_t kVersionPatch = 6;
constexpr uint32_t kVersionBuild = 0;

// Largest slave id per framing: RTU addresses stop at 127 here; 255 is the
// TCP "unit not used" identifier.
constexpr uint8_t kMaxRtuSlaveId = 127;
constexpr uint8_t kMaxTcpSlaveId = 254;

}  // namespace
}  // namespace modbus_stack

using namespace modbus_stack;

extern "C" {

VELD_MODBUS_API uint32_t ModbusStack_GetAPIMajorVersion(void) { return kVersionMajor; }
VELD_MODBUS_API uint32_t ModbusStack_GetAPIMinorVersion(void) { return kVersionMinor; }
VELD_MODBUS_API uint32_t ModbusStack_GetAPIPatchVersion(void) { return kVersionPatch; }
VELD_MODBUS_API uint32_t ModbusStack_GetAPIBuildVersion(void) { return kVersionBuild; }

VELD_MODBUS_API uint32_t ModbusStack_Init(uint32_t protocol, SendMessageFunction send, RecvMessageFunction recv,
                                          CurrentTimeFunction currentTime) {
  // The slave id and the identification objects describe the device, not
  // the transport, so a new framing keeps them.
  const uint8_t slaveId = g_stack.slaveId;
  const DeviceObjects deviceObjects = g_stack.deviceObjects;
  g_stack = StackState{};
  g_stack.slaveId = slaveId;
  g_stack.deviceObjects = deviceObjects;
  if (protocol != kProtocolRtu && protocol != kProtocolTcp) {
    return MODBUSSTACK_INIT_BAD_PROTOCOL;
  }
  g_stack.protocol = protocol;
  g_stack.send = send;
  g_stack.receive = recv;
  g_stack.currentTime = currentTime;
  return MODBUSSTACK_INIT_READY;
}

VELD_MODBUS_API bool ModbusStack_SetSlaveId(uint8_t slaveId) {
  if (slaveId == 0) {
    return false;
  }
  if ((g_stack.protocol == kProtocolRtu && slaveId > kMaxRtuSlaveId) ||
      (g_stack.protocol == kProtocolTcp && slaveId > kMaxTcpSlaveId)) {
    return false;
  }
  g_stack.slaveId = slaveId;
  return true;
}

VELD_MODBUS_API uint32_t ModbusStack_RegisterGetValue(GetModbusValueFunction callback) {
  g_stack.getValue = callback;
  return 1;
}

VELD_MODBUS_API uint32_t ModbusStack_RegisterSetValue(SetModbusValueFunction callback) {
  g_stack.setValue = callback;
  return 1;
}

VELD_MODBUS_API void ModbusStack_Flush(void) { g_stack.receiveLength = 0; }

}  // extern "C"
