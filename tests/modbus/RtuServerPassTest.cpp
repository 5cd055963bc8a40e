// RtuServerPassTest.cpp - the server pass under Modbus RTU: finding request
// frames in a byte stream, addressing, CRC checks and reassembly.
#include <gtest/gtest.h>

#include <algorithm>

#include "ModbusStack.h"
#include "ScriptedTransport.h"

namespace modbus_test {
namespace {

const Bytes kReadOneRegister{0x03, 0x00, 0x00, 0x00, 0x01};

class RtuServerPass : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(StartStack(MODBUSSTACK_PROTOCOL_RTU), MODBUSSTACK_INIT_READY);
    ASSERT_TRUE(ModbusStack_SetSlaveId(1));
    TheScript().readValues = {0x0102};
  }
  static std::vector<SentFrame>& Sent() { return TheScript().sent; }
  static void Passes(int count) {
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
    }
  }
};

TEST_F(RtuServerPass, SkipsStrayBytesInFrontOfARequest) {
  Bytes stream{0xAA, 0xAA, 0xAA};
  const Bytes request = RtuFrame(1, kReadOneRegister);
  ASSERT_EQ(request, (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A}));
  stream.insert(stream.end(), request.begin(), request.end());
  Deliver(stream);
  Passes(1);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes, RtuFrame(1, {0x03, 0x02, 0x01, 0x02}));
}

TEST_F(RtuServerPass, AnswersItsOwnAddressAndAddress0Only) {
  Deliver(RtuFrame(2, kReadOneRegister));
  Passes(3);
  EXPECT_TRUE(Sent().empty());
  Deliver(RtuFrame(0, kReadOneRegister));
  Passes(1);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes.at(0), 1) << "answers carry the slave id";
}

TEST_F(RtuServerPass, IgnoresAFrameWithABadCrc) {
  Bytes request = RtuFrame(1, kReadOneRegister);
  request.back() ^= 0x01;
  Deliver(request);
  Passes(3);
  EXPECT_TRUE(Sent().empty());
  EXPECT_TRUE(TheScript().reads.empty());
}

TEST_F(RtuServerPass, ReassemblesARequestSplitAcrossReceives) {
  const Bytes request = RtuFrame(1, {0x10, 0x00, 0x05, 0x00, 0x02, 0x04, 0x00, 0x0A, 0x00, 0x0B});
  for (size_t cut = 1; cut < request.size(); ++cut) {
    TheScript().sent.clear();
    Deliver(Bytes(request.begin(), request.begin() + static_cast<long>(cut)));
    Passes(1);
    EXPECT_TRUE(Sent().empty()) << "answered before the whole frame was in, cut at " << cut;
    Deliver(Bytes(request.begin() + static_cast<long>(cut), request.end()));
    Passes(1);
    ASSERT_EQ(Sent().size(), 1u) << "cut at " << cut;
    EXPECT_EQ(Sent()[0].bytes, RtuFrame(1, {0x10, 0x00, 0x05, 0x00, 0x02}));
  }
}

TEST_F(RtuServerPass, AnswersBackToBackRequestsOnePerPass) {
  Bytes stream = RtuFrame(1, kReadOneRegister);
  const Bytes second = RtuFrame(1, {0x06, 0x00, 0x14, 0x12, 0x34});
  stream.insert(stream.end(), second.begin(), second.end());
  Deliver(stream);
  Passes(2);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[1].bytes, second) << "a single write is echoed";
}

TEST_F(RtuServerPass, FindsARequestBehindMoreThan100StrayBytes) {
  Bytes stream(150, 0x77);
  const Bytes request = RtuFrame(1, kReadOneRegister);
  stream.insert(stream.end(), request.begin(), request.end());
  Deliver(stream);
  Passes(3);
  EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(RtuServerPass, ACandidateThatCannotFitDoesNotJamTheBuffer) {
  // 00 10 ... FF looks like a multiple-register write to address 0 whose
  // byte count (255) makes it longer than any frame the buffer can hold.
  Bytes stream{0x00, 0x10, 0x00, 0x00, 0x00, 0x01, 0xFF};
  stream.resize(255, 0x00);
  Deliver(stream);
  Passes(3);
  Deliver(RtuFrame(1, kReadOneRegister));
  Passes(4);
  EXPECT_EQ(Sent().size(), 1u);
}

TEST_F(RtuServerPass, ACandidateAwaitingItsTailMakesRoomForIt) {
  // A 199-byte write to address 0 starts at position 90 of a full buffer:
  // the bytes in front of it are dropped so that its tail can still arrive.
  Bytes pdu{0x10, 0x00, 0x00, 0x00, 95, 190};
  pdu.resize(pdu.size() + 190, 0x01);
  const Bytes request = RtuFrame(0, pdu);
  ASSERT_EQ(request.size(), 199u);
  Bytes stream(90 + 170, 0x77);
  std::copy(request.begin(), request.begin() + 170, stream.begin() + 90);
  ASSERT_EQ(stream.size(), 260u);
  Deliver(stream);
  Passes(2);
  Deliver(Bytes(request.begin() + 170, request.end()));
  Passes(2);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(TheScript().writes.at(0).length, 95);
}

TEST_F(RtuServerPass, ExceptionsAreFramedWithACrc) {
  TheScript().readResult = false;
  TheScript().refusalCode = MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_ADDRESS;
  Deliver(RtuFrame(1, kReadOneRegister));
  Passes(1);
  ASSERT_EQ(Sent().size(), 1u);
  EXPECT_EQ(Sent()[0].bytes, RtuFrame(1, {0x83, 0x02}));
}

TEST_F(RtuServerPass, FindsDeviceIdentificationAndReadWriteRequestsByTheirLengths) {
  // Back to back in one delivery: each frame must be cut at its own length.
  Bytes stream = RtuFrame(1, {0x2B, 0x0E, 0x04, 0x00});
  const Bytes readWrite = RtuFrame(1, {0x17, 0x00, 0x00, 0x00, 0x01, 0x00, 0x05, 0x00, 0x01, 0x02, 0x12, 0x34});
  stream.insert(stream.end(), readWrite.begin(), readWrite.end());
  Deliver(stream);
  Passes(2);
  ASSERT_EQ(Sent().size(), 2u);
  EXPECT_EQ(Sent()[0].bytes, RtuFrame(1, {0x2B, 0x0E, 0x04, 0x82, 0x00, 0x00, 0x01, 0x00, 0x00}));
  EXPECT_EQ(Sent()[1].bytes, RtuFrame(1, {0x17, 0x02, 0x01, 0x02}));
  EXPECT_EQ(TheScript().writes.at(0).startingAddress, 5);
}

}  // namespace
}  // namespace modbus_test
