// TransportCallbacks.h - the three transport callbacks handed to
// ModbusStack_Init: send and receive through the process's CTCP and, when
// one is set, the serial line; and the clock in whole seconds.
#pragma once

#include <cstdint>

class RtuSerialLine;

bool SendMessageCallback(uint16_t connectionId, const uint8_t* frame, uint16_t length);
uint16_t GetMessageCallback(uint32_t* connectionId, uint8_t* buffer, uint16_t room);
uint32_t CurrentTimeCallback();

// The serial line the callbacks also serve (its frames first: a bus carries
// one request at a time); null for none. Not owned.
void SetTransportSerialLine(RtuSerialLine* line);
