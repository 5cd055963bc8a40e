// fuzz_client_reply - one client call of the stack answered by fuzzed replies.
//
// Input layout:
//   byte 0    flags: bit 0 framing (0 RTU, 1 TCP); bits 1-3 the call (0-3
//             read with function 1-4, 4-7 write with function 5, 6, 15,
//             16); bit 4 take the function code from byte 1 instead;
//             bit 5 (RTU) seal every chunk with its CRC; bit 6 put the
//             read data area at an odd address
//   byte 1    function code used when bit 4 is set
//   byte 2    unit identifier
//   bytes 3-4 starting address, 5-6 quantity (big-endian)
//   bytes 7-8 read: size of the data area, modulo 301; write: fill byte of
//             the values (byte 7)
//   rest      chunks, each a length byte followed by that many bytes (the last
//             one may be cut short); the receive callback hands out one chunk
//             per call, then nothing.
// The clock advances by one per reading, so every call ends.
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "ModbusStack.h"
#include "ModbusState.h"

using namespace veld_fuzz;

namespace {

constexpr uint16_t kConnection = 0xBEEF;
constexpr uint16_t kMaxDataSize = 300;
constexpr size_t kGuardSize = 32;
constexpr uint8_t kUntouchedCode = 0xEE;

struct Session {
  uint32_t protocol = MODBUSSTACK_PROTOCOL_RTU;
  bool sealChunks = false;
  uint8_t unit = 0;
  uint8_t function = 0;
  ChunkFeed feed;
  uint32_t clock = 0;
  int sends = 0;
  uint8_t reply[kMaxFrame] = {};  // TCP: the first non-empty delivery
  uint16_t replyLength = 0;
};

Session s;

uint8_t GuardByte(size_t i) { return static_cast<uint8_t>(0x9E ^ (i * 31)); }

uint16_t Receive(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  Require(room >= 1 && room <= kMaxFrame, "receive callback offered room outside 1..260");
  Require(connectionId != nullptr && *connectionId == 0, "connection id slot not cleared to 0");
  const uint16_t length = s.feed.Next(buffer, room, s.protocol == MODBUSSTACK_PROTOCOL_RTU && s.sealChunks);
  if (length == 0) {
    return 0;
  }
  *connectionId = 7;
  if (s.replyLength == 0) {
    std::memcpy(s.reply, buffer, length);
    s.replyLength = length;
  }
  return length;
}

bool Send(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  CheckSentFrame(s.protocol, frame, length);
  Require(++s.sends == 1, "client sent more than one request");
  Require(connectionId == kConnection, "request sent to another connection");
  const uint16_t unit = s.protocol == MODBUSSTACK_PROTOCOL_TCP ? 6 : 0;
  Require(frame[unit] == s.unit && frame[unit + 1] == s.function, "request with another unit or function");
  return true;
}

uint32_t Clock() { return s.clock++; }

// Under TCP the reply is known exactly: check what a read stored from it.
void CheckTcpRead(const uint8_t* data, uint16_t dataSize) {
  if (s.reply[7] != s.function) {
    return;  // how a reply of another function is stored is not pinned down
  }
  if (s.function == MODBUSSTACK_FC_ENCAPSULATED_INTERFACE) {
    // Read Device Identification stores its PDU after the function code: at
    // least the six fixed fields (MEI type to the number of objects).
    constexpr uint16_t kFixedFields = 6;
    Require(s.replyLength >= 8 + kFixedFields && dataSize >= kFixedFields &&
                std::memcmp(data, s.reply + 8, kFixedFields) == 0,
            "accepted a device identification reply that does not fit");
    return;
  }
  const uint8_t byteCount = s.reply[8];
  Require(s.replyLength >= 9 + byteCount && byteCount <= dataSize, "accepted a reply that does not fit");
  const bool registers =
      s.function == MODBUSSTACK_FC_READ_HOLDING_REGISTERS || s.function == MODBUSSTACK_FC_READ_INPUT_REGISTERS;
  for (uint16_t i = 0; i < byteCount; ++i) {
    uint8_t expected = s.reply[9 + i];
    if (registers && (i | 1u) < byteCount) {  // a whole register: host order
      const uint16_t value = static_cast<uint16_t>((s.reply[9 + (i & ~1u)] << 8) | s.reply[9 + (i | 1u)]);
      uint8_t host[2];
      std::memcpy(host, &value, sizeof host);
      expected = host[i & 1u];
    }
    Require(data[i] == expected, "read data differs from the reply's");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  modbus_stack::g_stack = modbus_stack::StackState{};
  s = Session{};
  InputReader in(input, size);
  const uint8_t flags = in.Byte();
  const uint8_t rawFunction = in.Byte();
  s.unit = in.Byte();
  const uint16_t address = in.Word();
  const uint16_t quantity = in.Word();
  const uint16_t sizeOrFill = in.Word();
  static constexpr uint8_t kFunctions[8] = {MODBUSSTACK_FC_READ_COILS,
                                            MODBUSSTACK_FC_READ_DISCRETE_INPUTS,
                                            MODBUSSTACK_FC_READ_HOLDING_REGISTERS,
                                            MODBUSSTACK_FC_READ_INPUT_REGISTERS,
                                            MODBUSSTACK_FC_WRITE_SINGLE_COIL,
                                            MODBUSSTACK_FC_WRITE_SINGLE_REGISTER,
                                            MODBUSSTACK_FC_WRITE_MULTIPLE_COILS,
                                            MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS};
  const unsigned call = (flags >> 1) & 0x07;
  const bool write = call >= 4;
  s.function = (flags & 0x10) ? rawFunction : kFunctions[call];
  s.protocol = (flags & 0x01) ? MODBUSSTACK_PROTOCOL_TCP : MODBUSSTACK_PROTOCOL_RTU;
  s.sealChunks = (flags & 0x20) != 0;
  s.feed.Load(&in);
  Require(ModbusStack_Init(s.protocol, Send, Receive, Clock) == MODBUSSTACK_INIT_READY, "init refused a valid framing");

  uint8_t exceptionCode = kUntouchedCode;
  uint32_t result = 0;
  if (!write) {
    // The data area sits between guard bytes the client must leave alone.
    const uint16_t dataSize = static_cast<uint16_t>(sizeOrFill % (kMaxDataSize + 1));
    // It need not be aligned, so it is sometimes placed at an odd address.
    alignas(2) uint8_t arena[kGuardSize + 1 + kMaxDataSize + kGuardSize];
    for (size_t i = 0; i < sizeof arena; ++i) {
      arena[i] = GuardByte(i);
    }
    const size_t start = kGuardSize + ((flags & 0x40) ? 1 : 0);
    uint8_t* const data = arena + start;
    result =
        ModbusStack_ReadRegisters(kConnection, s.unit, s.function, address, quantity, data, dataSize, &exceptionCode);
    for (size_t i = 0; i < sizeof arena; ++i) {
      if (i < start || i >= start + dataSize) {
        Require(arena[i] == GuardByte(i), "client wrote outside its data area");
      }
    }
    Require(result >= MODBUSSTACK_CLIENT_ACCEPTED && result <= MODBUSSTACK_CLIENT_EXCEPTION,
            "read result outside 1..6");
    if (result == MODBUSSTACK_CLIENT_ACCEPTED && s.protocol == MODBUSSTACK_PROTOCOL_TCP) {
      CheckTcpRead(data, dataSize);
    }
  } else {
    // Exactly the bytes the call may read (none beyond 2048 for a quantity
    // it must refuse anyway), so ASan flags any read beyond them.
    const uint16_t capped = quantity < 1024 ? quantity : 1024;
    size_t valueBytes = 0;
    if (s.function == MODBUSSTACK_FC_WRITE_SINGLE_COIL || s.function == MODBUSSTACK_FC_WRITE_SINGLE_REGISTER) {
      valueBytes = 2;
    } else if (s.function == MODBUSSTACK_FC_WRITE_MULTIPLE_COILS && quantity <= 1968) {
      valueBytes = (quantity + 7u) / 8u;
    } else if (s.function == MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS) {
      valueBytes = 2u * capped;
    }
    std::vector<uint8_t> storage(valueBytes, static_cast<uint8_t>(sizeOrFill >> 8));
    static uint16_t empty[1];
    const uint16_t* values = valueBytes != 0 ? reinterpret_cast<const uint16_t*>(storage.data()) : empty;
    result = ModbusStack_WriteRegisters(kConnection, s.unit, s.function, address, values, quantity, &exceptionCode);
    const bool known =
        s.function == MODBUSSTACK_FC_WRITE_SINGLE_COIL || s.function == MODBUSSTACK_FC_WRITE_SINGLE_REGISTER ||
        s.function == MODBUSSTACK_FC_WRITE_MULTIPLE_COILS || s.function == MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS;
    Require(result <= MODBUSSTACK_CLIENT_EXCEPTION, "write result outside 0..6");
    Require((result == MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION) == !known,
            "result 0 exactly for an unknown write function");
  }

  if (result != MODBUSSTACK_CLIENT_EXCEPTION) {
    Require(exceptionCode == kUntouchedCode, "exception code written without an exception result");
  } else if (s.protocol == MODBUSSTACK_PROTOCOL_TCP) {
    Require(s.replyLength >= 9 && (s.reply[7] & 0x80) != 0 && exceptionCode == s.reply[8],
            "exception code is not the reply's");
  }
  const bool sent = result == MODBUSSTACK_CLIENT_ACCEPTED || result >= MODBUSSTACK_CLIENT_TIMED_OUT;
  Require(s.sends == (sent ? 1 : 0), "request sent for a refused call, or not sent for an answered one");
  return 0;
}
