/* HeaderFromC.c - proves that the public header compiles as C, that its
 * functions link with C linkage and that its named numbers are C constant
 * expressions with the values the manual gives them. */
#include <stddef.h>

#include "ModbusStack.h"

_Static_assert(MODBUSSTACK_PROTOCOL_RTU == 1 && MODBUSSTACK_PROTOCOL_TCP == 2, "framings");
_Static_assert(MODBUSSTACK_INIT_READY == 1 && MODBUSSTACK_INIT_BAD_PROTOCOL == 2, "init results");
_Static_assert(MODBUSSTACK_LOOP_FAILED == 0 && MODBUSSTACK_LOOP_OK == 1 && MODBUSSTACK_LOOP_NO_TRANSPORT == 3,
               "loop results");
_Static_assert(MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION == 0 && MODBUSSTACK_CLIENT_ACCEPTED == 1 &&
                   MODBUSSTACK_CLIENT_INVALID_ARGUMENTS == 2 && MODBUSSTACK_CLIENT_NO_TRANSPORT == 3 &&
                   MODBUSSTACK_CLIENT_TIMED_OUT == 4 && MODBUSSTACK_CLIENT_UNUSABLE_REPLY == 5 &&
                   MODBUSSTACK_CLIENT_EXCEPTION == 6,
               "client results");
_Static_assert(MODBUSSTACK_FC_READ_COILS == 1 && MODBUSSTACK_FC_READ_DISCRETE_INPUTS == 2 &&
                   MODBUSSTACK_FC_READ_HOLDING_REGISTERS == 3 && MODBUSSTACK_FC_READ_INPUT_REGISTERS == 4 &&
                   MODBUSSTACK_FC_WRITE_SINGLE_COIL == 5 && MODBUSSTACK_FC_WRITE_SINGLE_REGISTER == 6 &&
                   MODBUSSTACK_FC_WRITE_MULTIPLE_COILS == 15 && MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS == 16 &&
                   MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS == 23 && MODBUSSTACK_FC_ENCAPSULATED_INTERFACE == 43,
               "function codes");
_Static_assert(MODBUSSTACK_MEI_READ_DEVICE_IDENTIFICATION == 14 && MODBUSSTACK_DEVICE_ID_BASIC == 1 &&
                   MODBUSSTACK_DEVICE_ID_REGULAR == 2 && MODBUSSTACK_DEVICE_ID_EXTENDED == 3 &&
                   MODBUSSTACK_DEVICE_ID_SPECIFIC == 4 && MODBUSSTACK_OBJECT_VENDOR_NAME == 0 &&
                   MODBUSSTACK_OBJECT_USER_APPLICATION_NAME == 6 && MODBUSSTACK_OBJECT_FIRST_EXTENDED == 0x80 &&
                   MODBUSSTACK_DEVICE_OBJECT_MAX_LENGTH == 244 && MODBUSSTACK_DEVICE_OBJECTS_ROOM == 512,
               "device identification");
_Static_assert(MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION == 1 && MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS == 2 &&
                   MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE == 3 && MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE == 4,
               "exception codes");

static bool RefuseAll(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                      uint16_t dataSize, uint8_t* exceptionCode) {
  (void)slaveId;
  (void)function;
  (void)startingAddress;
  (void)length;
  (void)values;
  (void)dataSize;
  *exceptionCode = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS;
  return false;
}

/* Returns the version as major * 1000 + minor * 100 + patch * 10 + build,
 * or a negative number when a call from C misbehaves. */
int VersionSeenFromC(void) {
  GetModbusValueFunction get = RefuseAll;
  SetModbusValueFunction set = RefuseAll;
  if (ModbusStack_Init(3, NULL, NULL, NULL) != MODBUSSTACK_INIT_BAD_PROTOCOL ||
      ModbusStack_Loop() != MODBUSSTACK_LOOP_NO_TRANSPORT) {
    return -1;
  }
  if (ModbusStack_RegisterGetValue(get) != 1 || ModbusStack_RegisterSetValue(set) != 1) {
    return -2;
  }
  /* 0x07 is reserved: refused, and nothing is stored. */
  if (ModbusStack_SetDeviceIdentification(0x07, "x", 1)) {
    return -3;
  }
  return (int)(ModbusStack_GetAPIMajorVersion() * 1000 + ModbusStack_GetAPIMinorVersion() * 100 +
               ModbusStack_GetAPIPatchVersion() * 10 + ModbusStack_GetAPIBuildVersion());
}
