// DeviceIdentity.h - what the server reports to Read Device Identification
// (Modbus function 43/14): vendor, product code, revision, product name and,
// when set, the device's name.
#pragma once

#include <string>

// Gives the stack the server's identification objects, through the stack's
// entry points (filled before). Returns false, after a warning, when the
// stack refused one. deviceName becomes UserApplicationName (object 0x06)
// unless it is empty.
bool GiveStackDeviceIdentity(const std::string& deviceName);
