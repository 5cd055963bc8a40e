// ModbusDeviceObjects.h - the device identification objects the host sets
// through ModbusStack_SetDeviceIdentification, looked up by object id for
// Read Device Identification.
#pragma once

#include <cstdint>

namespace modbus_stack {

// One object as the server reports it; value points into the stack's state
// and stays valid until the objects are changed.
struct DeviceObject {
  uint8_t id;
  uint8_t length;
  const uint8_t* value;
};

// Finds an object the server reports: a set object, or one of the mandatory
// basic objects 0x00-0x02, which reads as empty while not set.
bool FindDeviceObject(uint8_t id, DeviceObject* object);

// True when an extended object (0x80-0xFF) is set.
bool HasExtendedObjects();

}  // namespace modbus_stack
