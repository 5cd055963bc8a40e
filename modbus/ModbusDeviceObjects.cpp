// ModbusDeviceObjects.cpp - storing the device identification objects in the
// fixed pool of the stack's state (no heap) and finding them again.
#include "ModbusDeviceObjects.h"

#include <cstring>

#include "ModbusProtocol.h"
#include "ModbusStack.h"
#include "ModbusState.h"

namespace modbus_stack {
namespace {

// Record fields: object id, value length, then the value.
constexpr uint16_t kRecordId = 0;
constexpr uint16_t kRecordLength = 1;
constexpr uint16_t kRecordValue = kDeviceObjectHeaderSize;

bool IsValidObjectId(uint8_t id) { return id <= kLastRegularObject || id >= kFirstExtendedObject; }

uint16_t RecordSize(uint16_t position) {
  return static_cast<uint16_t>(kRecordValue + g_stack.deviceObjects.pool[position + kRecordLength]);
}

// Position of the first record whose id is not below id (used when there is
// none): where the object stands, or where it would be inserted.
uint16_t RecordPosition(uint8_t id) {
  const DeviceObjects& objects = g_stack.deviceObjects;
  uint16_t position = 0;
  while (position < objects.used && objects.pool[position + kRecordId] < id) {
    position = static_cast<uint16_t>(position + RecordSize(position));
  }
  return position;
}

bool HoldsRecordAt(uint16_t position, uint8_t id) {
  return position < g_stack.deviceObjects.used && g_stack.deviceObjects.pool[position + kRecordId] == id;
}

}  // namespace

bool FindDeviceObject(uint8_t id, DeviceObject* object) {
  const uint16_t position = RecordPosition(id);
  if (HoldsRecordAt(position, id)) {
    const uint8_t* record = g_stack.deviceObjects.pool + position;
    *object = DeviceObject{id, record[kRecordLength], record + kRecordValue};
    return true;
  }
  if (id <= kLastBasicObject) {
    *object = DeviceObject{id, 0, nullptr};
    return true;
  }
  return false;
}

bool HasExtendedObjects() {
  const uint16_t position = RecordPosition(kFirstExtendedObject);
  return position < g_stack.deviceObjects.used;
}

}  // namespace modbus_stack

using namespace modbus_stack;

extern "C" VELD_MODBUS_API bool ModbusStack_SetDeviceIdentification(uint8_t objectId, const char* value,
                                                                    uint8_t length) {
  if (!IsValidObjectId(objectId) || length > kMaxDeviceObjectLength || (value == nullptr && length != 0)) {
    return false;
  }
  DeviceObjects& objects = g_stack.deviceObjects;
  const uint16_t position = RecordPosition(objectId);
  const uint16_t oldSize = HoldsRecordAt(position, objectId) ? RecordSize(position) : 0;
  const uint16_t newSize = length == 0 ? 0 : static_cast<uint16_t>(kRecordValue + length);
  if (objects.used - oldSize + newSize > kDeviceObjectsRoom) {
    return false;
  }
  // Move the records behind into place, then write the new record between.
  const uint16_t tail = static_cast<uint16_t>(objects.used - position - oldSize);
  std::memmove(objects.pool + position + newSize, objects.pool + position + oldSize, tail);
  objects.used = static_cast<uint16_t>(objects.used - oldSize + newSize);
  if (newSize != 0) {
    objects.pool[position + kRecordId] = objectId;
    objects.pool[position + kRecordLength] = length;
    std::memcpy(objects.pool + position + kRecordValue, value, length);
  }
  return true;
}
