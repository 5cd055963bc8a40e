// fuzz_server_pass - drives server passes of the stack with fuzzed traffic.
//
// Input layout:
//   byte 0  flags: bit 0 framing (0 RTU, 1 TCP); bit 1 register the read
//           callback; bit 2 register the write callback; bit 3 flush after
//           each pass; bits 4-5 how value callbacks answer (0, 3 accept;
//           1 refuse with the code of byte 2; 2 refuse without a code);
//           bit 6 (RTU) seal every chunk with its CRC; bit 7 the send
//           callback reports failure
//   byte 1  slave id handed to ModbusStack_SetSlaveId
//   byte 2  exception code stored by a refusing callback
//   byte 3  the byte a read callback fills its values with
//   rest    chunks, each a length byte followed by that many bytes (the last
//           one may be cut short); the receive callback hands out one chunk
//           per call, then nothing.
#include <cstdint>

#include "FuzzSupport.h"
#include "ModbusStack.h"
#include "ModbusState.h"

using namespace veld_fuzz;

namespace {

enum class Answer { kAccept, kRefuseWithCode, kRefuseWithoutCode };

struct Session {
  uint32_t protocol = MODBUSSTACK_PROTOCOL_RTU;
  bool sealChunks = false;
  bool sendSucceeds = true;
  Answer answer = Answer::kAccept;
  uint8_t refusalCode = 0;
  uint8_t fill = 0;
  uint8_t slaveId = 0;
  ChunkFeed feed;
  // What happened during the current pass.
  uint32_t pass = 0;
  uint32_t connectionWritten = 0;
  uint8_t transactionId[2] = {};
  int requestFunction = -1;  // TCP: function code of the message received
  int sends = 0;
  int valueCalls = 0;
  uint8_t calledFunction = 0;
  bool refused = false;
};

Session s;

// A Read Device Identification response (the PDU from unit + 1 on, CRC
// excluded): MEI type 14, a known conformity level, and objects that end
// exactly where the frame does.
void CheckDeviceIdResponse(const uint8_t* pdu, uint16_t length) {
  Require(length >= 8 && pdu[1] == MODBUSSTACK_MEI_READ_DEVICE_IDENTIFICATION, "device identification header");
  Require(pdu[2] >= MODBUSSTACK_DEVICE_ID_BASIC && pdu[2] <= MODBUSSTACK_DEVICE_ID_SPECIFIC, "read device id code");
  Require(pdu[3] == 0x82 || pdu[3] == 0x83, "conformity level not 0x82 or 0x83");
  Require(pdu[4] == 0x00 || pdu[4] == 0xFF, "more follows not 0x00 or 0xFF");
  uint16_t end = 7;
  for (uint8_t i = 0; i < pdu[6]; ++i) {
    Require(end + 2 <= length, "device identification object runs past the frame");
    end = static_cast<uint16_t>(end + 2 + pdu[end + 1]);
  }
  Require(end == length, "device identification objects do not fill the frame");
}

uint16_t Receive(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  Require(room >= 1 && room <= kMaxFrame, "receive callback offered room outside 1..260");
  Require(connectionId != nullptr && *connectionId == 0, "connection id slot not cleared to 0");
  const uint16_t length = s.feed.Next(buffer, room, s.protocol == MODBUSSTACK_PROTOCOL_RTU && s.sealChunks);
  if (length == 0) {
    return 0;
  }
  // Only the low 16 bits of the id are significant; set higher ones too.
  s.connectionWritten = 0xA50000u | (((s.pass + 1) * 40503u) & 0xFFFFu);
  *connectionId = s.connectionWritten;
  s.transactionId[0] = buffer[0];
  s.transactionId[1] = length > 1 ? buffer[1] : 0;
  s.requestFunction = length > 7 ? buffer[7] : -1;
  return length;
}

bool Send(uint16_t connectionId, const uint8_t* frame, uint16_t length) {
  CheckSentFrame(s.protocol, frame, length);
  Require(++s.sends == 1, "more than one frame sent in one pass");
  const uint16_t unit = s.protocol == MODBUSSTACK_PROTOCOL_TCP ? 6 : 0;
  if (s.protocol == MODBUSSTACK_PROTOCOL_TCP) {
    Require(connectionId == static_cast<uint16_t>(s.connectionWritten), "response to another connection");
    Require(frame[0] == s.transactionId[0] && frame[1] == s.transactionId[1],
            "response does not echo the transaction identifier");
  }
  const uint8_t function = frame[unit + 1];
  const bool exception = (function & 0x80) != 0;
  const uint16_t exceptionLength = static_cast<uint16_t>(unit + 3 + (s.protocol == MODBUSSTACK_PROTOCOL_RTU ? 2 : 0));
  if (s.protocol == MODBUSSTACK_PROTOCOL_TCP && s.requestFunction >= 0) {
    Require((function & 0x7F) == (s.requestFunction & 0x7F), "response function differs from the request's");
  }
  if (s.valueCalls == 0 && function == MODBUSSTACK_FC_ENCAPSULATED_INTERFACE) {
    const uint16_t pduLength =
        static_cast<uint16_t>(length - unit - 1 - (s.protocol == MODBUSSTACK_PROTOCOL_RTU ? 2 : 0));
    CheckDeviceIdResponse(frame + unit + 1, pduLength);
  } else if (s.valueCalls == 0) {
    // Nothing was handled, so this can only be an exception: 1 (function,
    // callback missing), 2 (device identification object unknown), 3
    // (quantity, data, read device id code) or 4 (no response built).
    const uint8_t code = frame[unit + 2];
    Require(exception && length == exceptionLength, "answer without a value callback is no exception response");
    const bool objectUnknown = code == MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS &&
                               (function & 0x7F) == MODBUSSTACK_FC_ENCAPSULATED_INTERFACE;
    Require(code == MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION || code == MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE ||
                code == MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE || objectUnknown,
            "stack's own exception code not 1, 3 or 4 (or 2 for 43)");
  } else {
    Require((function & 0x7F) == s.calledFunction, "response function differs from the one handled");
    if (s.refused) {
      const uint8_t expected = s.refusalCode != 0 ? s.refusalCode : MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE;
      Require(exception && length == exceptionLength && frame[unit + 2] == expected,
              "refusal not answered with the callback's exception code");
    } else if (exception) {
      Require(frame[unit + 2] == MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE,
              "accepted request answered with an exception other than 4");
    }
  }
  return s.sendSucceeds;
}

uint32_t Clock() { return s.pass; }

// Common checks of a value callback's call, then its answer.
bool Decide(uint8_t slaveId, uint8_t function, uint8_t* exceptionCode) {
  Require(slaveId == s.slaveId, "value callback got another slave id");
  Require(exceptionCode != nullptr && *exceptionCode == 0, "exception code not 0 on entry");
  // Read/write (23) calls the write callback, then, when it accepted, the
  // read callback; every other request calls one.
  const bool readAfterWrite = function == MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS && s.valueCalls == 1 &&
                              s.calledFunction == function && !s.refused;
  Require(++s.valueCalls == 1 || readAfterWrite, "more than one value callback in one pass");
  s.calledFunction = function;
  switch (s.answer) {
    case Answer::kAccept:
      return true;
    case Answer::kRefuseWithCode:
      *exceptionCode = s.refusalCode;
      break;
    case Answer::kRefuseWithoutCode:
      break;
  }
  s.refused = true;
  return false;
}

bool GetValue(uint8_t slaveId, uint8_t function, uint16_t, uint16_t length, uint16_t* values, uint16_t dataSize,
              uint8_t* exceptionCode) {
  Require((function >= MODBUSSTACK_FC_READ_COILS && function <= MODBUSSTACK_FC_READ_INPUT_REGISTERS) ||
              (function == MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS && s.valueCalls == 1),
          "read callback got a function other than 1-4, or 23 before its write");
  const bool bits = function <= MODBUSSTACK_FC_READ_DISCRETE_INPUTS;
  Require(length <= (bits ? 2000 : 125), "read quantity over its limit reached the callback");
  const uint16_t needed = static_cast<uint16_t>(bits ? (length + 7) / 8 : 2 * length);
  Require(dataSize <= 256 && needed <= dataSize, "read area too small or too large");
  Require(values != nullptr, "read callback got no value area");
  uint8_t* area = reinterpret_cast<uint8_t*>(values);
  for (uint16_t i = 0; i < dataSize; ++i) {
    Require(area[i] == 0, "read area not zero-filled");
    area[i] = s.fill;
  }
  return Decide(slaveId, function, exceptionCode);
}

bool SetValue(uint8_t slaveId, uint8_t function, uint16_t, uint16_t length, uint16_t* values, uint16_t dataSize,
              uint8_t* exceptionCode) {
  Require(dataSize <= 256, "write callback got more than 256 bytes");
  switch (function) {
    case MODBUSSTACK_FC_WRITE_SINGLE_COIL:
    case MODBUSSTACK_FC_WRITE_SINGLE_REGISTER:
      Require(length == 1 && dataSize == 2, "single write with length other than 1 or size other than 2");
      break;
    case MODBUSSTACK_FC_WRITE_MULTIPLE_COILS:
      Require(length <= 1968 && dataSize >= (length + 7) / 8, "coil write over 1968 or short of its coils");
      break;
    case MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS:
      Require(length <= 123 && dataSize == 2 * length, "register write over 123 or size not 2 x length");
      break;
    case MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS:
      Require(length >= 1 && length <= 121 && dataSize == 2 * length,
              "read/write outside 1-121 or size not 2 x length");
      break;
    default:
      Require(false, "write callback got a function other than 5, 6, 15, 16, 23");
  }
  Require(values != nullptr || dataSize == 0, "write callback got no values");
  volatile uint8_t sink = 0;
  const uint8_t* area = reinterpret_cast<const uint8_t*>(values);
  for (uint16_t i = 0; i < dataSize; ++i) {
    sink = static_cast<uint8_t>(sink ^ area[i]);
  }
  return Decide(slaveId, function, exceptionCode);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  modbus_stack::g_stack = modbus_stack::StackState{};  // as at program start
  s = Session{};
  InputReader input(data, size);
  const uint8_t flags = input.Byte();
  const uint8_t slaveId = input.Byte();
  s.refusalCode = input.Byte();
  s.fill = input.Byte();
  s.protocol = (flags & 0x01) ? MODBUSSTACK_PROTOCOL_TCP : MODBUSSTACK_PROTOCOL_RTU;
  s.sealChunks = (flags & 0x40) != 0;
  s.sendSucceeds = (flags & 0x80) == 0;
  const int answer = (flags >> 4) & 0x03;
  s.answer = answer == 1 ? Answer::kRefuseWithCode : answer == 2 ? Answer::kRefuseWithoutCode : Answer::kAccept;
  if (s.answer == Answer::kRefuseWithoutCode) {
    s.refusalCode = 0;
  }
  s.feed.Load(&input);

  // Identification objects (kept across Init) large enough that the regular
  // and extended streams need more than one response, and an extended one
  // for conformity level 0x83.
  static const char kLongValue[150] = {'x'};
  for (const uint8_t id :
       {uint8_t{0x00}, uint8_t{0x01}, uint8_t{0x02}, uint8_t{0x04}, uint8_t{0x80}, uint8_t{0x81}, uint8_t{0x82}}) {
    Require(ModbusStack_SetDeviceIdentification(id, kLongValue, (id & 1) != 0 ? 150 : 20),
            "an identification object refused");
  }
  Require(ModbusStack_Init(s.protocol, Send, Receive, Clock) == MODBUSSTACK_INIT_READY, "init refused a valid framing");
  const bool accepted = slaveId != 0 && slaveId <= (s.protocol == MODBUSSTACK_PROTOCOL_RTU ? 127 : 254);
  Require(ModbusStack_SetSlaveId(slaveId) == accepted, "slave id accepted or refused against its range");
  s.slaveId = accepted ? slaveId : 0;
  if (flags & 0x02) {
    ModbusStack_RegisterGetValue(GetValue);
  }
  if (flags & 0x04) {
    ModbusStack_RegisterSetValue(SetValue);
  }

  // Passes until every chunk is handed out, then a few more for bytes still
  // held. The bound only guards against a pass that never receives.
  const uint32_t maxPasses = static_cast<uint32_t>(4 * s.feed.Count() + 8);
  uint32_t extra = 0;
  for (s.pass = 0; s.pass < maxPasses && extra < 4; ++s.pass) {
    extra += s.feed.Exhausted() ? 1 : 0;
    s.connectionWritten = 0;
    s.requestFunction = -1;
    s.sends = 0;
    s.valueCalls = 0;
    s.refused = false;
    const uint32_t result = ModbusStack_Loop();
    Require(result == MODBUSSTACK_LOOP_FAILED || result == MODBUSSTACK_LOOP_OK, "server pass result outside 0, 1");
    if (s.sends == 1) {
      Require(result == (s.sendSucceeds ? MODBUSSTACK_LOOP_OK : MODBUSSTACK_LOOP_FAILED),
              "pass result does not reflect the send result");
    }
    if (flags & 0x08) {
      ModbusStack_Flush();
    }
  }
  return 0;
}
