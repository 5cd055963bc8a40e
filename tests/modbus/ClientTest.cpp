// ClientTest.cpp - the client role: the requests it builds, how it waits,
// and how it judges the replies, with a scripted transport and clock.
#include <gtest/gtest.h>

#include <cstring>

#include "ModbusStack.h"
#include "ModbusState.h"
#include "ScriptedTransport.h"

namespace modbus_test {
namespace {

constexpr uint8_t kUntouched = 0xEE;

class Client : public ::testing::Test {
 protected:
  static void Start(uint32_t protocol) {
    ASSERT_EQ(StartStack(protocol), MODBUSSTACK_INIT_READY);
    TheScript().clockStep = 1;  // one time unit per receive that finds nothing
  }
  static std::vector<SentFrame>& Sent() { return TheScript().sent; }
  static uint32_t Read(uint8_t function, uint16_t quantity, uint8_t* data, uint16_t dataSize,
                       uint8_t* exceptionCode = nullptr) {
    return ModbusStack_ReadRegisters(7, 1, function, 0, quantity, data, dataSize, exceptionCode);
  }
  static uint32_t Write(uint8_t function, const uint16_t* values, uint16_t quantity, uint8_t* exceptionCode = nullptr) {
    return ModbusStack_WriteRegisters(7, 1, function, 20, values, quantity, exceptionCode);
  }
};

uint16_t HostValue(const uint8_t* data, size_t index) {
  uint16_t value = 0;
  std::memcpy(&value, data + 2 * index, 2);
  return value;
}

TEST_F(Client, TcpReadSendsTheRequestAndReturnsHostOrderValues) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  Deliver({0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x01, 0x03, 0x04, 0x00, 0x0A, 0x00, 0x0B});
  uint8_t data[4] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 2, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].connectionId, 7);
  EXPECT_EQ(Sent()[0].bytes, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x02}));
  EXPECT_EQ(HostValue(data, 0), 10);
  EXPECT_EQ(HostValue(data, 1), 11);

  // The transaction identifier is shared: the next request goes out with the
  // one the last reply carried.
  Deliver({0x00, 0x41, 0x00, 0x00, 0x00, 0x05, 0x01, 0x03, 0x02, 0x00, 0x0C});
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_INPUT_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Sent()[1].bytes[1], 0x00);
  EXPECT_EQ(HostValue(data, 0), 12);
  Deliver(TcpFrame(0, 1, {0x04, 0x02, 0x00, 0x0D}));
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_INPUT_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Sent()[2].bytes[1], 0x41);
}

TEST_F(Client, RtuRequestsCarryTheCrc) {
  Start(MODBUSSTACK_PROTOCOL_RTU);
  uint8_t data[4] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 2, data, sizeof data), MODBUSSTACK_CLIENT_TIMED_OUT);
  const uint16_t value = 0x1234;
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1), MODBUSSTACK_CLIENT_TIMED_OUT);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].bytes, (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B}));
  EXPECT_EQ(Sent()[1].bytes, (Bytes{0x01, 0x06, 0x00, 0x14, 0x12, 0x34, 0xC4, 0xB9}));
}

TEST_F(Client, MultipleWritesEncodeTheirData) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  const uint16_t registers[2] = {0x0102, 0x0304};
  Deliver(TcpFrame(0, 1, {0x10, 0x00, 0x14, 0x00, 0x02}));
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, registers, 2), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Sent().back().bytes, TcpFrame(0, 1, {0x10, 0x00, 0x14, 0x00, 0x02, 0x04, 0x01, 0x02, 0x03, 0x04}));

  const uint8_t coils[2] = {0xCD, 0x01};
  uint16_t coilArea[1];
  std::memcpy(coilArea, coils, 2);
  Deliver(TcpFrame(0, 1, {0x0F, 0x00, 0x14, 0x00, 0x0A}));
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_COILS, coilArea, 10), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Sent().back().bytes, TcpFrame(0, 1, {0x0F, 0x00, 0x14, 0x00, 0x0A, 0x02, 0xCD, 0x01}));
}

TEST_F(Client, BitReadsReturnThePackedBytes) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  Deliver(TcpFrame(0, 1, {0x02, 0x02, 0xA5, 0x01}));
  uint8_t data[2] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_DISCRETE_INPUTS, 9, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(data[0], 0xA5);
  EXPECT_EQ(data[1], 0x01);
}

TEST_F(Client, ExceptionReplyStoresItsCode) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  Deliver({0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x01, 0x83, 0x02});
  uint8_t data[2] = {};
  uint8_t code = 0;
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data, &code), MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(code, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  Deliver(TcpFrame(0, 1, {0x86, 0x04}));
  const uint16_t value = 1;
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1, &code), MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(code, MODBUSSTACK_EXCEPTION_SERVER_DEVICE_FAILURE);
}

TEST_F(Client, GivesUpAfterThreeTimeUnits) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  uint8_t data[2] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_TIMED_OUT);
  EXPECT_EQ(TheScript().clock, 1000u + 3u);
  EXPECT_EQ(TheScript().roomsOffered.size(), 3u) << "polled until the deadline, not beyond";
}

TEST_F(Client, WaitsForAReplyThatComesLate) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  int idleCalls = 0;
  TheScript().onIdleReceive = [&idleCalls] {
    if (++idleCalls == 2) {
      Deliver(TcpFrame(0, 1, {0x03, 0x02, 0x00, 0x2A}));
    }
  };
  uint8_t data[2] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(HostValue(data, 0), 42);
}

TEST_F(Client, RefusesInvalidArgumentsWithoutSending) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  uint8_t data[4] = {};
  const uint16_t values[124] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 2, data, 3), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS)
      << "two registers do not fit 3 bytes";
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 126, data, 4), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_COILS, 2001, data, 4), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_COILS, 33, data, 4), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS)
      << "33 bits need 5 bytes";
  EXPECT_EQ(Read(MODBUSSTACK_FC_WRITE_SINGLE_COIL, 1, data, 4), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Read(0, 1, data, 4), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, nullptr, 4), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, values, 2), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, values, 124), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, nullptr, 1), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS);
  EXPECT_EQ(Write(7, values, 1), MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION);
  EXPECT_EQ(Write(MODBUSSTACK_FC_READ_INPUT_REGISTERS, values, 1), MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION);
  EXPECT_EQ(Write(17, values, 1), MODBUSSTACK_CLIENT_UNKNOWN_FUNCTION);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(Client, NeedsAllThreeTransportCallbacks) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ScriptedSend, ScriptedReceive, nullptr);
  uint8_t data[2] = {};
  const uint16_t value = 1;
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_NO_TRANSPORT);
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1), MODBUSSTACK_CLIENT_NO_TRANSPORT);
}

TEST_F(Client, WriteChecksTheReplysUnitAndFunctionButReadDoesNot) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  const uint16_t value = 5;
  Deliver(TcpFrame(0, 2, {0x06, 0x00, 0x14, 0x00, 0x05}));
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1), MODBUSSTACK_CLIENT_UNUSABLE_REPLY)
      << "another unit";
  Deliver(TcpFrame(0, 1, {0x05, 0x00, 0x14, 0x00, 0x05}));
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1), MODBUSSTACK_CLIENT_UNUSABLE_REPLY)
      << "another function";

  uint8_t data[2] = {};
  Deliver(TcpFrame(0, 2, {0x03, 0x02, 0x00, 0x05}));
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
}

TEST_F(Client, RejectsUnusableReplies) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  uint8_t data[4] = {};
  Deliver({0x00, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY)
      << "shorter than 6 bytes";
  Deliver({0x00, 0x00, 0x00, 0x01, 0x00, 0x05, 0x01, 0x03, 0x02, 0x00, 0x01});
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY)
      << "protocol identifier 1";
  Deliver({0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x83});
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY)
      << "exception without its code";
  Deliver({0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01});
  const uint16_t value = 1;
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1), MODBUSSTACK_CLIENT_UNUSABLE_REPLY)
      << "no function code";
}

TEST_F(Client, NeverReadsPastTheReplyNorWritesPastTheDataArea) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  uint8_t area[8];
  std::memset(area, kUntouched, sizeof area);
  // Byte count 6 with only 2 data bytes received.
  Deliver(TcpFrame(0, 1, {0x03, 0x06, 0x00, 0x01}));
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, area, 2), MODBUSSTACK_CLIENT_UNUSABLE_REPLY);
  // Byte count 6, all received, but the data area holds 2 bytes.
  Deliver(TcpFrame(0, 1, {0x03, 0x06, 0, 1, 0, 2, 0, 3}));
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, area, 2), MODBUSSTACK_CLIENT_UNUSABLE_REPLY);
  for (const uint8_t byte : area) {
    EXPECT_EQ(byte, kUntouched);
  }
}

TEST_F(Client, RtuReplyIsFoundBehindStrayBytesAndAcrossReceives) {
  Start(MODBUSSTACK_PROTOCOL_RTU);
  const Bytes reply = RtuFrame(1, {0x03, 0x02, 0x00, 0x63});
  Deliver({0x13, 0x37});
  Deliver(Bytes(reply.begin(), reply.begin() + 3));
  Deliver(Bytes(reply.begin() + 3, reply.end()));
  uint8_t data[2] = {};
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 1, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(HostValue(data, 0), 99);
}

TEST_F(Client, RtuByteCountMayNotRunIntoTheCrc) {
  Start(MODBUSSTACK_PROTOCOL_RTU);
  // A valid frame whose byte count claims the CRC bytes as data.
  Deliver(RtuFrame(1, {0x03, 0x04, 0x00, 0x63}));
  uint8_t data[4];
  std::memset(data, kUntouched, sizeof data);
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 2, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY);
  EXPECT_EQ(data[0], kUntouched);
}

TEST_F(Client, DropsBytesHeldBeforeItWaits) {
  Start(MODBUSSTACK_PROTOCOL_RTU);
  // A stale exception reply is still held when the call begins; only what
  // arrives after the request may count as its reply.
  const Bytes stale = RtuFrame(1, {0x86, 0x02});
  std::memcpy(modbus_stack::g_stack.receiveBuffer, stale.data(), stale.size());
  modbus_stack::g_stack.receiveLength = static_cast<uint16_t>(stale.size());
  Deliver(RtuFrame(1, {0x06, 0x00, 0x14, 0x00, 0x01}));
  const uint16_t value = 1;
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, &value, 1), MODBUSSTACK_CLIENT_ACCEPTED);
}

TEST_F(Client, ReadDeviceIdentificationHandsBackTheCheckedObjectList) {
  Start(MODBUSSTACK_PROTOCOL_TCP);
  const auto ask = [](uint16_t objectId, uint16_t code, uint8_t* data, uint16_t dataSize,
                      uint8_t* exception = nullptr) {
    return ModbusStack_ReadRegisters(7, 1, MODBUSSTACK_FC_ENCAPSULATED_INTERFACE, objectId, code, data, dataSize,
                                     exception);
  };
  const Bytes objects{0x0E, 0x02, 0x82, 0xFF, 0x04, 0x02, 0x00, 0x01, 'V', 0x01, 0x02, 'P', 'C'};
  Bytes reply{0x2B};
  reply.insert(reply.end(), objects.begin(), objects.end());
  Deliver(TcpFrame(0, 1, reply));
  uint8_t data[20];
  std::memset(data, kUntouched, sizeof data);
  EXPECT_EQ(ask(0x03, MODBUSSTACK_DEVICE_ID_REGULAR, data, sizeof data), MODBUSSTACK_CLIENT_ACCEPTED);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes, (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x01, 0x2B, 0x0E, 0x02, 0x03}));
  EXPECT_EQ(Bytes(data, data + objects.size()), objects);
  EXPECT_EQ(data[objects.size()], kUntouched);

  // The object list must lie within the reply and the data area.
  reply[reply.size() - 3] = 0x03;  // the last object claims one byte more than came
  Deliver(TcpFrame(0, 1, reply));
  EXPECT_EQ(ask(0, 2, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY);
  reply[reply.size() - 3] = 0x02;
  Deliver(TcpFrame(0, 1, reply));
  EXPECT_EQ(ask(0, 2, data, static_cast<uint16_t>(objects.size() - 1)), MODBUSSTACK_CLIENT_UNUSABLE_REPLY);
  Deliver(TcpFrame(0, 1, {0x2B, 0x0D, 0x02, 0x82, 0x00, 0x00, 0x00}));
  EXPECT_EQ(ask(0, 2, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY) << "another MEI type";
  Deliver(TcpFrame(0, 1, {0x03, 0x02, 0x00, 0x01}));
  EXPECT_EQ(ask(0, 2, data, sizeof data), MODBUSSTACK_CLIENT_UNUSABLE_REPLY) << "another function";
  uint8_t exception = 0;
  Deliver(TcpFrame(0, 1, {0xAB, 0x02}));
  EXPECT_EQ(ask(0x90, 4, data, sizeof data, &exception), MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(exception, 2);

  const size_t sent = Sent().size();
  EXPECT_EQ(ask(0, 5, data, sizeof data), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS) << "read device id code 5";
  EXPECT_EQ(ask(256, 1, data, sizeof data), MODBUSSTACK_CLIENT_INVALID_ARGUMENTS) << "object id 256";
  EXPECT_EQ(Sent().size(), sent);
}

}  // namespace
}  // namespace modbus_test
