// ScriptedTransport.h - test host for the Modbus stack: the receive callback
// hands out scripted chunks, the send callback records every frame, and the
// clock is a counter the test moves. Value callbacks record their calls and
// answer as the test scripts them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "ModbusStack.h"

namespace modbus_test {

using Bytes = std::vector<uint8_t>;

struct SentFrame {
  uint16_t connectionId;
  Bytes bytes;
};

// One call of a value callback, as the stack made it.
struct ValueCall {
  uint8_t slaveId;
  uint8_t function;
  uint16_t startingAddress;
  uint16_t length;
  uint16_t dataSize;
  Bytes values;  // the value bytes the stack passed in (writes)
};

struct ScriptedChunk {
  uint32_t connectionId;
  Bytes bytes;
};

// The state behind the callbacks; one per process, reset by each test.
struct Script {
  std::deque<ScriptedChunk> chunks;    // what the receive callback will deliver
  std::vector<uint16_t> roomsOffered;  // the room of every receive call
  std::vector<SentFrame> sent;
  bool sendResult = true;
  uint32_t clock = 1000;
  uint32_t clockStep = 0;  // added to the clock by every receive that finds nothing
  // Called on every receive call that finds no scripted chunk; may queue one.
  std::function<void()> onIdleReceive;

  std::vector<ValueCall> reads;
  std::vector<ValueCall> writes;
  // Scripted behaviour of the value callbacks. The read callback stores
  // readValues (host-order registers) or readBytes (packed bits).
  bool readResult = true;
  bool writeResult = true;
  uint8_t refusalCode = 0;
  std::vector<uint16_t> readValues;
  Bytes readBytes;
  uint16_t overwriteWrittenValue = 0;  // nonzero: the write callback stores it
};

Script& TheScript();

// Resets the script and initialises the stack with the scripted callbacks and
// both value callbacks. Returns ModbusStack_Init's result.
uint32_t StartStack(uint32_t protocol);

// Queues bytes for the receive callback.
void Deliver(const Bytes& bytes, uint32_t connectionId = 1);

// The callbacks themselves, for tests that register them selectively.
bool ScriptedSend(uint16_t connectionId, const uint8_t* frame, uint16_t length);
uint16_t ScriptedReceive(uint32_t* connectionId, uint8_t* buffer, uint16_t room);
uint32_t ScriptedClock();
bool ScriptedGetValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                      uint16_t dataSize, uint8_t* exceptionCode);
bool ScriptedSetValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                      uint16_t dataSize, uint8_t* exceptionCode);

// A TCP request: MBAP header with the transaction identifier, then the unit
// identifier and the PDU. The length field is filled in.
Bytes TcpFrame(uint16_t transactionId, uint8_t unit, const Bytes& pdu);
// An RTU frame: address, PDU and the CRC.
Bytes RtuFrame(uint8_t address, const Bytes& pdu);

}  // namespace modbus_test
