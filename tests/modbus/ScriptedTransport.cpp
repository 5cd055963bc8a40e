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

// Frames are built at their final size and filled in place. Appending the
// PDU to a vector holding only the header made the insert reallocate, and
// GCC at -O2 followed its copy of the elements after the insertion point
// (there are none) as a read past the old buffer (-Wstringop-overread).
Bytes TcpFrame(uint16_t transactionId, uint8_t unit, const Bytes& pdu) {
  constexpr size_t kHeaderAndUnit = 7;
  const auto length = static_cast<uint16_t>(pdu.size() + 1);
  Bytes frame(kHeaderAndUnit + pdu.size());
  frame[0] = static_cast<uint8_t>(transactionId >> 8);
  frame[1] = static_cast<uint8_t>(transactionId & 0xFF);
  frame[4] = static_cast<uint8_t>(length >> 8);
  frame[5] = static_cast<uint8_t>(length & 0xFF);
  frame[6] = unit;
  std::copy(pdu.begin(), pdu.end(), frame.begin() + kHeaderAndUnit);
  return frame;
}

Bytes RtuFrame(uint8_t address, const Bytes& pdu) {
  constexpr size_t kCrcSize = 2;
  Bytes frame(1 + pdu.size() + kCrcSize);
  frame[0] = address;
  std::copy(pdu.begin(), pdu.end(), frame.begin() + 1);
  // Bit-by-bit CRC-16/MODBUS, independent of the stack's table method.
  const size_t crcAt = frame.size() - kCrcSize;
  uint16_t crc = 0xFFFF;
  for (size_t i = 0; i < crcAt; ++i) {
    crc ^= frame[i];
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
  }
  frame[crcAt] = static_cast<uint8_t>(crc & 0xFF);
  frame[crcAt + 1] = static_cast<uint8_t>(crc >> 8);
  return frame;
}

}  // namespace modbus_test
