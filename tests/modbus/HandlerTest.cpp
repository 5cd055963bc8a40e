// HandlerTest.cpp - the function code handlers under Modbus TCP: what each
// value callback is given, the limits and their exceptions, refusals, and
// requests too short for their fields.
#include <gtest/gtest.h>

#include <cstring>

#include "ModbusStack.h"
#include "ScriptedTransport.h"

namespace modbus_test {
namespace {

Bytes Be16(uint16_t value) { return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)}; }

Bytes Pdu(std::initializer_list<Bytes> parts) {
  Bytes pdu;
  for (const Bytes& part : parts) {
    pdu.insert(pdu.end(), part.begin(), part.end());
  }
  return pdu;
}

class Handlers : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(StartStack(MODBUSSTACK_PROTOCOL_TCP), MODBUSSTACK_INIT_READY); }

  // Sends one request with unit identifier 255 and returns the PDU of the
  // answer (the bytes after the unit identifier), or nothing when there was
  // no answer.
  static Bytes Ask(const Bytes& pdu, uint8_t unit = 0xFF) {
    const size_t before = TheScript().sent.size();
    Deliver(TcpFrame(1, unit, pdu));
    EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
    if (TheScript().sent.size() == before) {
      return {};
    }
    const Bytes& frame = TheScript().sent.back().bytes;
    EXPECT_EQ(frame.size() - 6, static_cast<size_t>((frame[4] << 8) | frame[5])) << "MBAP length field";
    return Bytes(frame.begin() + 7, frame.end());
  }
  static uint8_t LastUnit() { return TheScript().sent.back().bytes.at(6); }
};

// ---- Reads --------------------------------------------------------------

TEST_F(Handlers, RegisterReadsAnswerBigEndianValues) {
  TheScript().readValues = {0x1234, 0xABCD};
  EXPECT_EQ(Ask({0x04, 0x00, 0x00, 0x00, 0x02}), (Bytes{0x04, 0x04, 0x12, 0x34, 0xAB, 0xCD}));
  EXPECT_EQ(TheScript().reads.at(0).function, MODBUSSTACK_FC_READ_INPUT_REGISTERS);
}

TEST_F(Handlers, RegisterReadQuantityIsLimitedTo125) {
  EXPECT_EQ(Ask({0x03, 0x00, 0x00, 0x00, 126}), (Bytes{0x83, 0x03}));
  EXPECT_TRUE(TheScript().reads.empty()) << "the callback is not called over the limit";

  const Bytes answer = Ask({0x03, 0x00, 0x00, 0x00, 125});
  ASSERT_EQ(answer.size(), 252u);
  EXPECT_EQ(TheScript().sent.back().bytes.size(), 259u);
  EXPECT_EQ(answer[1], 250);
}

TEST_F(Handlers, BitReadsCopyPackedBytesAndLimitTo2000) {
  TheScript().readBytes = {0xA5, 0x01};
  EXPECT_EQ(Ask({0x01, 0x00, 0x10, 0x00, 0x09}), (Bytes{0x01, 0x02, 0xA5, 0x01}));
  EXPECT_EQ(TheScript().reads.at(0).length, 9);

  const Bytes full = Ask(Pdu({{0x02}, Be16(0), Be16(2000)}));
  ASSERT_GE(full.size(), 2u);
  EXPECT_EQ(full[0], 0x02);
  EXPECT_EQ(full[1], 250);
  EXPECT_EQ(Ask(Pdu({{0x02}, Be16(0), Be16(2001)})), (Bytes{0x82, 0x03}));
}

TEST_F(Handlers, ReadOfZeroItemsIsPassedOn) {
  EXPECT_EQ(Ask({0x03, 0x00, 0x00, 0x00, 0x00}), (Bytes{0x03, 0x00}));
  ASSERT_EQ(TheScript().reads.size(), 1u);
  EXPECT_EQ(TheScript().reads[0].length, 0);
}

TEST_F(Handlers, ReadTooShortForItsFieldsGetsNoAnswer) {
  EXPECT_EQ(Ask({0x03, 0x00, 0x00, 0x00}), Bytes{});
  EXPECT_TRUE(TheScript().reads.empty());
}

TEST_F(Handlers, ReadRefusalCarriesTheRequestsUnitIdentifier) {
  ASSERT_TRUE(ModbusStack_SetSlaveId(9));
  TheScript().readResult = false;
  TheScript().refusalCode = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS;
  EXPECT_EQ(Ask({0x03, 0x00, 0x00, 0x00, 0x01}, 0xFF), (Bytes{0x83, 0x02}));
  EXPECT_EQ(LastUnit(), 0xFF);
  EXPECT_EQ(Ask({0x03, 0x00, 0x00, 0x00, 0x01}, 0x00), (Bytes{0x83, 0x02}));
  EXPECT_EQ(LastUnit(), 0x00);
}

TEST_F(Handlers, RefusalWithoutACodeIsAServerDeviceFailure) {
  TheScript().readResult = false;
  TheScript().writeResult = false;
  EXPECT_EQ(Ask({0x03, 0x00, 0x00, 0x00, 0x01}), (Bytes{0x83, 0x04}));
  EXPECT_EQ(Ask({0x01, 0x00, 0x00, 0x00, 0x01}), (Bytes{0x81, 0x04}));
  EXPECT_EQ(Ask({0x05, 0x00, 0x00, 0xFF, 0x00}), (Bytes{0x85, 0x04}));
  EXPECT_EQ(Ask({0x06, 0x00, 0x00, 0x00, 0x01}), (Bytes{0x86, 0x04}));
  EXPECT_EQ(Ask({0x0F, 0x00, 0x00, 0x00, 0x01, 0x01, 0x01}), (Bytes{0x8F, 0x04}));
  EXPECT_EQ(Ask({0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x01}), (Bytes{0x90, 0x04}));
}

// ---- Single writes --------------------------------------------------------

TEST_F(Handlers, SingleRegisterWriteIsEchoed) {
  EXPECT_EQ(Ask({0x06, 0x00, 0x14, 0x12, 0x34}), (Bytes{0x06, 0x00, 0x14, 0x12, 0x34}));
  ASSERT_EQ(TheScript().writes.size(), 1u);
  const ValueCall& call = TheScript().writes[0];
  EXPECT_EQ(call.function, MODBUSSTACK_FC_WRITE_SINGLE_REGISTER);
  EXPECT_EQ(call.startingAddress, 20);
  EXPECT_EQ(call.length, 1);
  EXPECT_EQ(call.dataSize, 2);
  uint16_t value = 0;
  std::memcpy(&value, call.values.data(), 2);
  EXPECT_EQ(value, 0x1234) << "host order";
}

TEST_F(Handlers, SingleWriteEchoCarriesTheValueAsTheCallbackLeftIt) {
  TheScript().overwriteWrittenValue = 0x00FF;
  EXPECT_EQ(Ask({0x06, 0x00, 0x01, 0x12, 0x34}), (Bytes{0x06, 0x00, 0x01, 0x00, 0xFF}));
}

TEST_F(Handlers, SingleCoilValueIsPassedUnchecked) {
  EXPECT_EQ(Ask({0x05, 0x00, 0x03, 0x12, 0x34}), (Bytes{0x05, 0x00, 0x03, 0x12, 0x34}));
  EXPECT_EQ(TheScript().writes.at(0).function, MODBUSSTACK_FC_WRITE_SINGLE_COIL);
}

TEST_F(Handlers, WriteRefusalCarriesTheSlaveId) {
  ASSERT_TRUE(ModbusStack_SetSlaveId(9));
  TheScript().writeResult = false;
  TheScript().refusalCode = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS;
  EXPECT_EQ(Ask({0x06, 0x00, 0x00, 0x00, 0x01}), (Bytes{0x86, 0x02}));
  EXPECT_EQ(LastUnit(), 9);
}

TEST_F(Handlers, WritesWithoutAWriteCallbackAreIllegalFunctions) {
  ModbusStack_RegisterSetValue(nullptr);
  EXPECT_EQ(Ask({0x06, 0x00, 0x14, 0x12, 0x34}), (Bytes{0x86, 0x01}));
  EXPECT_EQ(Ask({0x10, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x01}), (Bytes{0x90, 0x01}));
}

TEST_F(Handlers, WritesTooShortForTheirFieldsGetNoAnswer) {
  EXPECT_EQ(Ask({0x06, 0x00, 0x14, 0x12}), Bytes{});
  EXPECT_EQ(Ask({0x05}), Bytes{});
  EXPECT_EQ(Ask({0x0F, 0x00, 0x00, 0x00, 0x08}), Bytes{});
  EXPECT_EQ(Ask({0x10, 0x00, 0x00, 0x00, 0x01}), Bytes{});
  EXPECT_TRUE(TheScript().writes.empty());
}

// ---- Multiple writes ------------------------------------------------------

TEST_F(Handlers, RegisterWritePassesHostOrderValues) {
  EXPECT_EQ(Ask({0x10, 0x00, 0x07, 0x00, 0x02, 0x04, 0x00, 0x01, 0x00, 0x02}), (Bytes{0x10, 0x00, 0x07, 0x00, 0x02}));
  ASSERT_EQ(TheScript().writes.size(), 1u);
  const ValueCall& call = TheScript().writes[0];
  EXPECT_EQ(call.startingAddress, 7);
  EXPECT_EQ(call.length, 2);
  EXPECT_EQ(call.dataSize, 4);
  uint16_t values[2] = {};
  std::memcpy(values, call.values.data(), 4);
  EXPECT_EQ(values[0], 1);
  EXPECT_EQ(values[1], 2);
}

TEST_F(Handlers, RegisterWriteOf123RegistersFitsTheReceiveBuffer) {
  Bytes pdu = Pdu({{0x10}, Be16(100), Be16(123), {246}});
  for (uint16_t i = 0; i < 123; ++i) {
    const Bytes value = Be16(static_cast<uint16_t>(0x0100 + i));
    pdu.insert(pdu.end(), value.begin(), value.end());
  }
  ASSERT_EQ(TcpFrame(1, 0xFF, pdu).size(), 259u);
  EXPECT_EQ(Ask(pdu), (Bytes{0x10, 0x00, 100, 0x00, 123}));
  ASSERT_EQ(TheScript().writes.size(), 1u);
  uint16_t last = 0;
  std::memcpy(&last, TheScript().writes[0].values.data() + 2 * 122, 2);
  EXPECT_EQ(last, 0x0100 + 122);
}

TEST_F(Handlers, RegisterWriteLimitsAndDataChecks) {
  EXPECT_EQ(Ask({0x10, 0x00, 0x00, 0x00, 124, 0x02, 0x00, 0x01}), (Bytes{0x90, 0x03})) << "quantity 124";
  EXPECT_EQ(Ask({0x10, 0x00, 0x00, 0x00, 0x02, 0x04, 0x00, 0x01}), (Bytes{0x90, 0x03})) << "data not all there";
  EXPECT_EQ(Ask({0x10, 0x00, 0x00, 0x00, 0x02, 0x02, 0x00, 0x01}), (Bytes{0x90, 0x03})) << "byte count < 2 x quantity";
  EXPECT_TRUE(TheScript().writes.empty());
}

TEST_F(Handlers, CoilWritePassesPackedBytesUnchanged) {
  EXPECT_EQ(Ask({0x0F, 0x00, 0x13, 0x00, 0x0A, 0x02, 0xCD, 0x01}), (Bytes{0x0F, 0x00, 0x13, 0x00, 0x0A}));
  ASSERT_EQ(TheScript().writes.size(), 1u);
  const ValueCall& call = TheScript().writes[0];
  EXPECT_EQ(call.length, 10);
  EXPECT_EQ(call.dataSize, 2);
  EXPECT_EQ(call.values, (Bytes{0xCD, 0x01}));
}

TEST_F(Handlers, CoilWriteLimitsAndDataChecks) {
  EXPECT_EQ(Ask(Pdu({{0x0F}, Be16(0), Be16(1969), {1}, {0xFF}})), (Bytes{0x8F, 0x03}));
  EXPECT_EQ(Ask({0x0F, 0x00, 0x00, 0x00, 0x10, 0x02, 0xFF}), (Bytes{0x8F, 0x03})) << "data not all there";
  EXPECT_EQ(Ask({0x0F, 0x00, 0x00, 0x00, 0x10, 0x01, 0xFF}), (Bytes{0x8F, 0x03})) << "16 coils in one byte";
  EXPECT_TRUE(TheScript().writes.empty());
  Bytes full = Pdu({{0x0F}, Be16(0), Be16(1968), {246}});
  full.resize(full.size() + 246, 0x55);
  EXPECT_EQ(Ask(full), Pdu({{0x0F}, Be16(0), Be16(1968)}));
}

// ---- Read/write multiple registers ------------------------------------------

TEST_F(Handlers, ReadWriteWritesFirstThenReads) {
  // The protocol's example: write 3 registers from 14, read 6 from 3.
  TheScript().readValues = {0x00FE, 0x0ACD, 0x0001, 0x0003, 0x000D, 0x00FF};
  EXPECT_EQ(Ask({0x17, 0x00, 0x03, 0x00, 0x06, 0x00, 0x0E, 0x00, 0x03, 0x06, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF}),
            (Bytes{0x17, 0x0C, 0x00, 0xFE, 0x0A, 0xCD, 0x00, 0x01, 0x00, 0x03, 0x00, 0x0D, 0x00, 0xFF}));
  ASSERT_EQ(TheScript().writes.size(), 1u);
  const ValueCall& write = TheScript().writes[0];
  EXPECT_EQ(write.function, MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS);
  EXPECT_EQ(write.startingAddress, 14);
  EXPECT_EQ(write.length, 3);
  EXPECT_EQ(write.dataSize, 6);
  uint16_t written = 0;
  std::memcpy(&written, write.values.data() + 4, 2);
  EXPECT_EQ(written, 0x00FF) << "host order";
  ASSERT_EQ(TheScript().reads.size(), 1u);
  EXPECT_EQ(TheScript().reads[0].function, MODBUSSTACK_FC_READ_WRITE_MULTIPLE_REGISTERS);
  EXPECT_EQ(TheScript().reads[0].startingAddress, 3);
  EXPECT_EQ(TheScript().reads[0].length, 6);

  // A refused write answers the request; nothing is read after it.
  ASSERT_TRUE(ModbusStack_SetSlaveId(9));
  TheScript().writeResult = false;
  TheScript().refusalCode = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS;
  EXPECT_EQ(Ask({0x17, 0x00, 0x03, 0x00, 0x01, 0x00, 0x0E, 0x00, 0x01, 0x02, 0x00, 0x01}), (Bytes{0x97, 0x02}));
  EXPECT_EQ(LastUnit(), 9);
  EXPECT_EQ(TheScript().reads.size(), 1u);
  // A refused read carries the request's unit identifier, as for function 3.
  TheScript().writeResult = true;
  TheScript().readResult = false;
  EXPECT_EQ(Ask({0x17, 0x00, 0x03, 0x00, 0x01, 0x00, 0x0E, 0x00, 0x01, 0x02, 0x00, 0x01}, 0x00), (Bytes{0x97, 0x02}));
  EXPECT_EQ(LastUnit(), 0x00);
}

TEST_F(Handlers, ReadWriteLimitsAndDataChecks) {
  const auto request = [](uint16_t readQuantity, uint16_t writeQuantity, uint8_t byteCount, size_t dataBytes) {
    Bytes pdu = Pdu({{0x17}, Be16(0), Be16(readQuantity), Be16(10), Be16(writeQuantity), {byteCount}});
    pdu.resize(pdu.size() + dataBytes, 0x11);
    return pdu;
  };
  const Bytes refused{0x97, 0x03};
  EXPECT_EQ(Ask(request(0, 1, 2, 2)), refused) << "read quantity 0";
  EXPECT_EQ(Ask(request(126, 1, 2, 2)), refused) << "read quantity 126";
  EXPECT_EQ(Ask(request(1, 0, 0, 0)), refused) << "write quantity 0";
  EXPECT_EQ(Ask(request(1, 122, 244, 232)), refused) << "write quantity 122";
  EXPECT_EQ(Ask(request(1, 2, 2, 2)), refused) << "byte count < 2 x write quantity";
  EXPECT_EQ(Ask(request(1, 1, 4, 4)), refused) << "byte count > 2 x write quantity";
  EXPECT_EQ(Ask(request(1, 2, 4, 3)), refused) << "data not all there";
  EXPECT_EQ(Ask(Pdu({{0x17}, Be16(0), Be16(1), Be16(10), Be16(1)})), Bytes{}) << "no byte count";
  EXPECT_TRUE(TheScript().writes.empty());
  EXPECT_TRUE(TheScript().reads.empty());

  const Bytes full = Ask(request(125, 121, 242, 242));
  ASSERT_EQ(full.size(), 252u);
  EXPECT_EQ(full[1], 250);
  EXPECT_EQ(TheScript().writes.at(0).length, 121);

  ModbusStack_RegisterGetValue(nullptr);
  EXPECT_EQ(Ask(request(1, 1, 2, 2)), (Bytes{0x97, 0x01})) << "both callbacks are needed";
}

}  // namespace
}  // namespace modbus_test
