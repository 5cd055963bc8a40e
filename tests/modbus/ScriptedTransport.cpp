// ScriptedTransport.cpp - the scripted callbacks behind the stack's tests.
#include "ScriptedTransport.h"

#include <algorithm>
#include <cstring>

#include "ModbusState.h"

namespace modbus_test {

Script& TheScript() {
  static Script script;
  return script;
}

uint32_t StartStack(uint32_t protocol) {
  TheScript() = Script{};
  // Back to the power-on state, slave id included, which no public call resets.
  modbus_stack::g_stack = modbus_stack::StackState{};
  const uint32_t result = ModbusStack_Init(protocol, ScriptedSend, ScriptedReceive, ScriptedClock);
  ModbusStack_RegisterGetValue(ScriptedGetValue);
  ModbusStack_RegisterSetValue(ScriptedSetValue);
  return result;
}

void Deliver(const Bytes& bytes, uint32_t connectionId) { TheScript().chunks.push_back({connectionId, bytes}); }

bool ScriptedSend(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  TheScript().sent.push_back({connectionId, Bytes(frame, frame + length)});
  return TheScript().sendResult;
}

uint16_t ScriptedReceive(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  Script& script = TheScript();
  script.roomsOffered.push_back(room);
  if (script.chunks.empty() && script.onIdleReceive) {
    script.onIdleReceive();
  }
  if (script.chunks.empty()) {
    script.clock += script.clockStep;  // time passes while nothing arrives
    return 0;
  }
  ScriptedChunk& chunk = script.chunks.front();
  const size_t count = std::min<size_t>(room, chunk.bytes.size());
  std::memcpy(buffer, chunk.bytes.data(), count);
  *connectionId = chunk.connectionId;
  chunk.bytes.erase(chunk.bytes.begin(), chunk.bytes.begin() + static_cast<long>(count));
  if (chunk.bytes.empty()) {
    script.chunks.pop_front();
  }
  return static_cast<uint16_t>(count);
}

uint32_t ScriptedClock() { return TheScript().clock; }

bool ScriptedGetValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                      uint16_t dataSize, uint8_t* exceptionCode) {
  Script& script = TheScript();
  const Bytes before(reinterpret_cast<const uint8_t*>(values), reinterpret_cast<const uint8_t*>(values) + dataSize);
  script.reads.push_back({slaveId, function, startingAddress, length, dataSize, before});
  if (!script.readResult) {
    *exceptionCode = script.refusalCode;
    return false;
  }
  std::copy(script.readValues.begin(), script.readValues.end(), values);
  if (!script.readBytes.empty()) {
    std::memcpy(values, script.readBytes.data(), script.readBytes.size());
  }
  return true;
}

bool ScriptedSetValue(uint8_t slaveId, uint8_t function, uint16_t startingAddress, uint16_t length, uint16_t* values,
                      uint16_t dataSize, uint8_t* exceptionCode) {
  Script& script = TheScript();
  const auto* bytes = reinterpret_cast<const uint8_t*>(values);
  script.writes.push_back({slaveId, function, startingAddress, length, dataSize, Bytes(bytes, bytes + dataSize)});
  if (!script.writeResult) {
    *exceptionCode = script.refusalCode;
    return false;
  }
  if (script.overwriteWrittenValue != 0) {
    values[0] = script.overwriteWrittenValue;
  }
  return true;
}

Bytes TcpFrame(uint16_t transactionId, uint8_t unit, const Bytes& pdu) {
  const auto length = static_cast<uint16_t>(pdu.size() + 1);
  Bytes frame{static_cast<uint8_t>(transactionId >> 8), static_cast<uint8_t>(transactionId & 0xFF), 0,   0,
              static_cast<uint8_t>(length >> 8),        static_cast<uint8_t>(length & 0xFF),        unit};
  frame.insert(frame.end(), pdu.begin(), pdu.end());
  return frame;
}

Bytes RtuFrame(uint8_t address, const Bytes& pdu) {
  // Bit-by-bit CRC-16/MODBUS, independent of the stack's table method.
  Bytes frame{address};
  frame.insert(frame.end(), pdu.begin(), pdu.end());
  uint16_t crc = 0xFFFF;
  for (const uint8_t byte : frame) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
  }
  frame.push_back(static_cast<uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<uint8_t>(crc >> 8));
  return frame;
}

}  // namespace modbus_test
