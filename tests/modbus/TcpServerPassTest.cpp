// TcpServerPassTest.cpp - one server pass under Modbus TCP: header checks,
// unit identifiers, transaction identifiers, connection routing and results.
#include <gtest/gtest.h>

#include "ModbusStack.h"
#include "ScriptedTransport.h"

namespace modbus_test {
namespace {

const Bytes kReadTwoRegisters{0x03, 0x00, 0x0A, 0x00, 0x02};

class TcpServerPass : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(StartStack(MODBUSSTACK_PROTOCOL_TCP), MODBUSSTACK_INIT_READY); }
  static std::vector<SentFrame>& Sent() { return TheScript().sent; }
};

TEST_F(TcpServerPass, AnswersAnUnsupportedFunctionWithException1) {
  Deliver({0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0xFF, 0x07});
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes, (Bytes{0x00, 0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x87, 0x01}));
  // Codes from 0x80 up already carry the exception bit and keep it.
  for (const uint8_t function : {0x00, 0x08, 0x0E, 0x11, 0x2B, 0x83, 0xFF}) {
    Deliver(TcpFrame(2, 0xFF, {function, 0, 0, 0, 1}));
    ModbusStack_Loop();
    EXPECT_EQ(Sent().back().bytes.at(7), static_cast<uint8_t>(function | 0x80));
    EXPECT_EQ(Sent().back().bytes.at(8), 0x01);
  }
}

TEST_F(TcpServerPass, EchoesTheRequestsTransactionId) {
  Deliver(TcpFrame(0x1234, 0xFF, kReadTwoRegisters));
  Deliver(TcpFrame(0x0007, 0xFF, kReadTwoRegisters));
  ModbusStack_Loop();
  ModbusStack_Loop();
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].bytes[0], 0x12);
  EXPECT_EQ(Sent()[0].bytes[1], 0x34);
  EXPECT_EQ(Sent()[1].bytes[0], 0x00);
  EXPECT_EQ(Sent()[1].bytes[1], 0x07);
}

TEST_F(TcpServerPass, IgnoresUnusableHeadersWithResult0) {
  Bytes foreignProtocol = TcpFrame(1, 0xFF, kReadTwoRegisters);
  foreignProtocol[3] = 1;
  Deliver(foreignProtocol);
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_FAILED);
  Deliver({0x00, 0x01, 0x00, 0x00, 0x00});
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_FAILED);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(TheScript().reads.empty());
}

TEST_F(TcpServerPass, IgnoresMessagesWithoutUnitOrFunction) {
  Deliver({0x00, 0x01, 0x00, 0x00, 0x00, 0x01});
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  Deliver({0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0xFF});
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(TcpServerPass, AnswersOnlyUnitIdentifiers0And255) {
  ASSERT_TRUE(ModbusStack_SetSlaveId(1));
  Deliver(TcpFrame(1, 0x01, kReadTwoRegisters));
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  EXPECT_TRUE(Sent().empty()) << "the slave id plays no part in the TCP unit check";
  Deliver(TcpFrame(2, 0x00, kReadTwoRegisters));
  Deliver(TcpFrame(3, 0xFF, kReadTwoRegisters));
  ModbusStack_Loop();
  ModbusStack_Loop();
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].bytes[6], 1) << "responses carry the slave id";
  EXPECT_EQ(Sent()[1].bytes[6], 1);
}

TEST_F(TcpServerPass, AnswersOnlyTheFirstOfTwoRequestsInOneReceive) {
  Bytes both = TcpFrame(1, 0xFF, kReadTwoRegisters);
  const Bytes second = TcpFrame(2, 0xFF, kReadTwoRegisters);
  both.insert(both.end(), second.begin(), second.end());
  Deliver(both);
  ModbusStack_Loop();
  ModbusStack_Loop();
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes[1], 1);
}

TEST_F(TcpServerPass, AnswersTheConnectionTheRequestCameFrom) {
  Deliver(TcpFrame(1, 0xFF, kReadTwoRegisters), 7);
  Deliver(TcpFrame(2, 0xFF, kReadTwoRegisters), 0x12345);
  ModbusStack_Loop();
  ModbusStack_Loop();
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].connectionId, 7);
  EXPECT_EQ(Sent()[1].connectionId, 0x2345) << "16 bits of the identifier are significant";
}

TEST_F(TcpServerPass, ReportsAFailedSendWithResult0) {
  TheScript().sendResult = false;
  Deliver(TcpFrame(1, 0xFF, kReadTwoRegisters));
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_FAILED);
  EXPECT_EQ(Sent().size(), 1u) << "nothing is retried";
}

TEST_F(TcpServerPass, DoesNothingWhenNothingArrived) {
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  EXPECT_TRUE(Sent().empty());
  EXPECT_EQ(TheScript().roomsOffered.size(), 1u) << "the receive callback is called once per pass";
}

TEST_F(TcpServerPass, BuildsTheReadExampleResponse) {
  TheScript().readValues = {1, 2};
  Deliver({0x00, 0x05, 0x00, 0x00, 0x00, 0x06, 0xFF, 0x03, 0x00, 0x0A, 0x00, 0x02});
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  ASSERT_EQ(TheScript().reads.size(), 1u);
  const ValueCall& call = TheScript().reads[0];
  EXPECT_EQ(call.slaveId, 0);
  EXPECT_EQ(call.function, MODBUSSTACK_FC_READ_HOLDING_REGISTERS);
  EXPECT_EQ(call.startingAddress, 10);
  EXPECT_EQ(call.length, 2);
  EXPECT_EQ(call.dataSize, 250);
  EXPECT_EQ(call.values, Bytes(250, 0)) << "the value area is zero-filled";
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes, (Bytes{0x00, 0x05, 0x00, 0x00, 0x00, 0x07, 0x00, 0x03, 0x04, 0x00, 0x01, 0x00, 0x02}));
}

}  // namespace
}  // namespace modbus_test
