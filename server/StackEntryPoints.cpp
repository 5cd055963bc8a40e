// StackEntryPoints.cpp - the stack's functions, reached through one table.
#include "StackEntryPoints.h"

namespace {

StackEntryPoints g_entryPoints;

}  // namespace

void FillStackEntryPoints() {
  g_entryPoints.GetAPIMajorVersion = ModbusStack_GetAPIMajorVersion;
  g_entryPoints.GetAPIMinorVersion = ModbusStack_GetAPIMinorVersion;
  g_entryPoints.GetAPIPatchVersion = ModbusStack_GetAPIPatchVersion;
  g_entryPoints.GetAPIBuildVersion = ModbusStack_GetAPIBuildVersion;
  g_entryPoints.Init = ModbusStack_Init;
  g_entryPoints.Loop = ModbusStack_Loop;
  g_entryPoints.Flush = ModbusStack_Flush;
  g_entryPoints.RegisterSetValue = ModbusStack_RegisterSetValue;
  g_entryPoints.RegisterGetValue = ModbusStack_RegisterGetValue;
  g_entryPoints.SetDeviceIdentification = ModbusStack_SetDeviceIdentification;
}

const StackEntryPoints& TheStackEntryPoints() { return g_entryPoints; }
