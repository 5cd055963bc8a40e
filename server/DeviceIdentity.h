// DeviceIdentity.h - what the server reports to Read Device Identification
// (Modbus function 43/14): vendor, product code, revision and product name.
#pragma once

// Gives the stack the server's identification objects, through the stack's
// entry points (filled before). Returns false, after a warning, when the
// stack refused one.
bool GiveStackDeviceIdentity();
