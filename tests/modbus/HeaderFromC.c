/* HeaderFromC.c - proves that the public header compiles as C and that its
 * functions link with C linkage. */
#include <stddef.h>

#include "ModbusStack.h"

static bool RefuseAll(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                      uint16_t dataSize, uint8_t* exceptionCode) {
  (void)slaveId;
  (void)function;
  (void)startingAddress;
  (void)length;
  (void)values;
  (void)dataSize;
  *exceptionCode = 2;
  return false;
}

/* Returns the version as major * 1000 + minor * 100 + patch * 10 + build,
 * or a negative number when a call from C misbehaves. */
int VersionSeenFromC(void) {
  GetModbusValueFunction get = RefuseAll;
  SetModbusValueFunction set = RefuseAll;
  if (ModbusStack_Init(3, NULL, NULL, NULL) != 2 || ModbusStack_Loop() != 3) {
    return -1;
  }
  if (ModbusStack_RegisterGetValue(get) != 1 || ModbusStack_RegisterSetValue(set) != 1) {
    return -2;
  }
  return (int)(ModbusStack_GetAPIMajorVersion() * 1000 + ModbusStack_GetAPIMinorVersion() * 100 +
               ModbusStack_GetAPIPatchVersion() * 10 + ModbusStack_GetAPIBuildVersion());
}
