// LoadFrames.cpp - building FC3, FC6 and FC16 requests and checking their
// replies byte by byte.
#include "LoadFrames.h"

#include <cstring>

#include "ModbusStack.h"

namespace {

constexpr uint8_t kExceptionBit = 0x80;
// Offsets in a frame: the function code follows the MBAP header.
constexpr size_t kFunction = kMbapSize;
constexpr size_t kPduData = kMbapSize + 1;

uint16_t Read16(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

void Write16(uint8_t* bytes, uint16_t value) {
  bytes[0] = static_cast<uint8_t>(value >> 8);
  bytes[1] = static_cast<uint8_t>(value & 0xFF);
}

bool Fail(std::string* why, const std::string& text) {
  *why = text;
  return false;
}

}  // namespace

size_t BuildLoadRequest(LoadMode mode, uint16_t transactionId, uint8_t unit, uint16_t firstRegister, uint16_t value,
                        uint8_t* out) {
  const uint16_t count = LoadModeRegisterCount(mode);
  size_t length = kPduData;
  Write16(out, transactionId);
  Write16(out + 2, 0);
  out[6] = unit;
  Write16(out + kPduData, firstRegister);
  switch (mode) {
    case LoadMode::ReadOne:
    case LoadMode::ReadMany:
      out[kFunction] = MODBUSSTACK_FC_READ_HOLDING_REGISTERS;
      Write16(out + kPduData + 2, count);
      length = kPduData + 4;
      break;
    case LoadMode::WriteOne:
      out[kFunction] = MODBUSSTACK_FC_WRITE_SINGLE_REGISTER;
      Write16(out + kPduData + 2, value);
      length = kPduData + 4;
      break;
    case LoadMode::WriteMany:
      out[kFunction] = MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS;
      Write16(out + kPduData + 2, count);
      out[kPduData + 4] = static_cast<uint8_t>(2 * count);
      for (uint16_t i = 0; i < count; ++i) {
        Write16(out + kPduData + 5 + 2 * i, static_cast<uint16_t>(value + i));
      }
      length = kPduData + 5 + 2u * count;
      break;
  }
  // The length field counts the unit identifier and the PDU.
  Write16(out + 4, static_cast<uint16_t>(length - 6));
  return length;
}

size_t FrameLengthFromHeader(const uint8_t* header) {
  const size_t lengthField = Read16(header + 4);
  if (lengthField < 2 || 6 + lengthField > kMaxTcpFrame) {
    return 0;
  }
  return 6 + lengthField;
}

bool CheckLoadReply(const uint8_t* request, const uint8_t* reply, size_t replyLength, std::string* why) {
  if (replyLength < kMbapSize + 1 || replyLength != FrameLengthFromHeader(reply)) {
    return Fail(why, "length field does not match the frame");
  }
  if (Read16(reply) != Read16(request)) {
    return Fail(why,
                "transaction id " + std::to_string(Read16(reply)) + " instead of " + std::to_string(Read16(request)));
  }
  if (Read16(reply + 2) != 0) {
    return Fail(why, "protocol id " + std::to_string(Read16(reply + 2)));
  }
  const uint8_t function = request[kFunction];
  if (reply[kFunction] == (function | kExceptionBit)) {
    const int code = replyLength > kPduData ? reply[kPduData] : -1;
    return Fail(why, "exception " + std::to_string(code) + " to function " + std::to_string(function));
  }
  if (reply[kFunction] != function) {
    return Fail(why, "function code " + std::to_string(reply[kFunction]) + " instead of " + std::to_string(function));
  }
  switch (function) {
    case MODBUSSTACK_FC_READ_HOLDING_REGISTERS: {
      const size_t count = Read16(request + kPduData + 2);
      if (replyLength != kPduData + 1 + 2 * count || reply[kPduData] != 2 * count) {
        return Fail(why, "read reply of " + std::to_string(replyLength) + " bytes, byte count " +
                             std::to_string(reply[kPduData]) + ", for " + std::to_string(count) + " registers");
      }
      return true;
    }
    case MODBUSSTACK_FC_WRITE_SINGLE_REGISTER:
    case MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS:
      // FC6 echoes address and value, FC16 address and quantity.
      if (replyLength != kPduData + 4 || std::memcmp(reply + kPduData, request + kPduData, 4) != 0) {
        return Fail(why, "write reply does not echo the request");
      }
      return true;
    default:
      return Fail(why, "unexpected function " + std::to_string(function));
  }
}
