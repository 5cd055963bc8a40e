// DeviceIdentity.cpp - the identification objects the server hands the
// Modbus stack at start-up; the revision is the program's own version, the
// user application name the operator's --device-name.
#include "DeviceIdentity.h"

#include <cstdint>
#include <string>

#include "ConsoleLog.h"
#include "ProgramVersion.h"
#include "StackEntryPoints.h"

namespace {

constexpr char kVendorName[] = "VELD";
constexpr char kProductCode[] = "VELD-MWS";
constexpr char kProductName[] = "VELD Modbus Weather Server";

bool GiveObject(uint8_t objectId, const std::string& value) {
  if (TheStackEntryPoints().SetDeviceIdentification(objectId, value.data(), static_cast<uint8_t>(value.size()))) {
    return true;
  }
  LogWarning("Error: The Modbus Stack refused device identification object %d\n", objectId);
  return false;
}

}  // namespace

bool GiveStackDeviceIdentity(const std::string& deviceName) {
  // All are tried, so that one refusal does not hide the others.
  bool given = GiveObject(MODBUSSTACK_OBJECT_VENDOR_NAME, kVendorName);
  given = GiveObject(MODBUSSTACK_OBJECT_PRODUCT_CODE, kProductCode) && given;
  given = GiveObject(MODBUSSTACK_OBJECT_MAJOR_MINOR_REVISION, ProgramVersionText()) && given;
  given = GiveObject(MODBUSSTACK_OBJECT_PRODUCT_NAME, kProductName) && given;
  if (!deviceName.empty()) {
    given = GiveObject(MODBUSSTACK_OBJECT_USER_APPLICATION_NAME, deviceName) && given;
  }
  return given;
}
