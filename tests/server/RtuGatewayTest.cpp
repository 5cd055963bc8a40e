// RtuGatewayTest.cpp - RTU requests cut from a stream, converted for the
// stack and answered back as RTU, with the CRC of the published example
// (01 03 00 00 00 01 goes out with 84 0A).
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "RtuGateway.h"

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kReadOneRegister = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01, 0x84, 0x0A};

Bytes ToStack(RtuGateway& gateway, const Bytes& rtu) {
  uint8_t mbap[300] = {};
  const uint16_t length = gateway.ToStack(rtu.data(), static_cast<uint16_t>(rtu.size()), mbap, sizeof mbap);
  return Bytes(mbap, mbap + length);
}

TEST(RtuGateway, CutsRequestsByTheirFunctionCodesLengthRule) {
  uint16_t frameLength = 0;
  EXPECT_EQ(InspectRtuRequest(kReadOneRegister.data(), 7, &frameLength), RtuFrameState::Incomplete);
  EXPECT_EQ(InspectRtuRequest(kReadOneRegister.data(), 8, &frameLength), RtuFrameState::Complete);
  EXPECT_EQ(frameLength, 8);
  Bytes corrupt = kReadOneRegister;
  corrupt[7] ^= 0xFF;
  EXPECT_EQ(InspectRtuRequest(corrupt.data(), 8, &frameLength), RtuFrameState::Corrupt);
  // FC16 of two registers: its byte count (4) at offset 6 gives 13 bytes.
  const Bytes writeTwo = {0x01, 0x10, 0x00, 0x14, 0x00, 0x02, 0x04, 0x00, 0x0B, 0x00, 0x0C};
  EXPECT_EQ(InspectRtuRequest(writeTwo.data(), 6, &frameLength), RtuFrameState::Incomplete);
  EXPECT_EQ(InspectRtuRequest(writeTwo.data(), static_cast<uint16_t>(writeTwo.size()), &frameLength),
            RtuFrameState::Incomplete);
  EXPECT_EQ(frameLength, 13);
}

TEST(RtuGateway, HandsTheStackAnMbapFrameForUnit255AndAnswersUnderTheRequestsAddress) {
  RtuGateway gateway(UnitIdSet::Only(1));
  const Bytes mbap = ToStack(gateway, kReadOneRegister);
  ASSERT_EQ(mbap.size(), 12u);
  EXPECT_EQ(Bytes(mbap.begin() + 2, mbap.end()), (Bytes{0x00, 0x00, 0x00, 0x06, 0xFF, 0x03, 0x00, 0x00, 0x00, 0x01}));
  EXPECT_FALSE(gateway.WithholdsAnswer());
  // The stack's answer (transaction id echoed) with the register 0x0005.
  const Bytes answer = {mbap[0], mbap[1], 0x00, 0x00, 0x00, 0x05, 0xFF, 0x03, 0x02, 0x00, 0x05};
  uint8_t rtu[300] = {};
  const uint16_t length = gateway.ToWire(answer.data(), static_cast<uint16_t>(answer.size()), rtu, sizeof rtu);
  // CRC of 01 03 02 00 05 by the polynomial: 78 47 on the wire.
  EXPECT_EQ(Bytes(rtu, rtu + length), (Bytes{0x01, 0x03, 0x02, 0x00, 0x05, 0x78, 0x47}));
  // A second request gets a transaction id of its own.
  EXPECT_NE(ToStack(gateway, kReadOneRegister)[1], mbap[1]);
}

TEST(RtuGateway, LeavesOtherSlavesAndBroadcastReadsAloneAndWithholdsBroadcastAnswers) {
  RtuGateway gateway(UnitIdSet::Only(1));
  Bytes otherSlave = {0x02, 0x03, 0x00, 0x00, 0x00, 0x01};
  otherSlave.resize(8);
  EXPECT_TRUE(ToStack(gateway, otherSlave).empty());
  const UnitIdSet one = UnitIdSet::Only(1);
  EXPECT_EQ(ClassifyRtuRequest(0, 3, one), RtuAddressing::Ignore);
  EXPECT_EQ(ClassifyRtuRequest(0, 6, one), RtuAddressing::CarryOutSilently);
  EXPECT_EQ(ClassifyRtuRequest(0, 16, one), RtuAddressing::CarryOutSilently);
  // --unit-id any: every single slave's address, but neither broadcast nor
  // the addresses above 247 as its own.
  std::string why;
  const UnitIdSet any = *UnitIdSet::Parse("any", &why);
  EXPECT_EQ(ClassifyRtuRequest(9, 3, any), RtuAddressing::Answer);
  EXPECT_EQ(ClassifyRtuRequest(0, 3, any), RtuAddressing::Ignore);
  EXPECT_EQ(ClassifyRtuRequest(248, 3, any), RtuAddressing::Ignore);
  const Bytes broadcastWrite = {0x00, 0x06, 0x00, 0x15, 0x00, 0x07, 0x00, 0x00};
  EXPECT_EQ(ToStack(gateway, broadcastWrite).size(), 12u);
  EXPECT_TRUE(gateway.WithholdsAnswer());
}

}  // namespace
