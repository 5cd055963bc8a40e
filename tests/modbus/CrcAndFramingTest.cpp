// CrcAndFramingTest.cpp - the CRC, the receive buffer operations, the MBAP
// header and the client's RTU reply search, tested below the public API.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "ModbusCrc.h"
#include "ModbusFraming.h"
#include "ModbusRtuFrameSearch.h"
#include "ModbusState.h"
#include "ScriptedTransport.h"

namespace modbus_test {
namespace {

using modbus_stack::g_stack;

uint16_t BitwiseCrc(const Bytes& bytes) {
  const Bytes framed = RtuFrame(bytes.at(0), Bytes(bytes.begin() + 1, bytes.end()));
  return static_cast<uint16_t>(framed[framed.size() - 2] | (framed.back() << 8));
}

void Hold(const Bytes& bytes) {
  std::memcpy(g_stack.receiveBuffer, bytes.data(), bytes.size());
  g_stack.receiveLength = static_cast<uint16_t>(bytes.size());
}

Bytes Held() { return Bytes(g_stack.receiveBuffer, g_stack.receiveBuffer + g_stack.receiveLength); }

TEST(Crc, MatchesTheModbusExampleAndCheckValue) {
  const uint8_t request[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
  EXPECT_EQ(modbus_stack::CalculateCRC16(request, sizeof request), 0x0A84);
  uint8_t frame[8] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x01};
  modbus_stack::AppendCRC16(frame, 6);
  EXPECT_EQ(frame[6], 0x84);
  EXPECT_EQ(frame[7], 0x0A);
  EXPECT_TRUE(modbus_stack::HasValidCRC16(frame, 6));
  frame[7] ^= 1;
  EXPECT_FALSE(modbus_stack::HasValidCRC16(frame, 6));

  const char* check = "123456789";  // the catalogued check value of CRC-16/MODBUS
  EXPECT_EQ(modbus_stack::CalculateCRC16(reinterpret_cast<const uint8_t*>(check), 9), 0x4B37);
}

TEST(Crc, TablesAgreeWithTheBitwiseAlgorithm) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    Bytes bytes(1 + random() % 255);
    for (uint8_t& byte : bytes) {
      byte = static_cast<uint8_t>(random());
    }
    ASSERT_EQ(modbus_stack::CalculateCRC16(bytes.data(), static_cast<uint16_t>(bytes.size())), BitwiseCrc(bytes));
  }
}

TEST(ReceiveBuffer, ConsumeBytesDropsFromTheFront) {
  StartStack(MODBUSSTACK_PROTOCOL_RTU);
  Hold({1, 2, 3, 4, 5});
  modbus_stack::ConsumeBytes(0);
  EXPECT_EQ(Held(), (Bytes{1, 2, 3, 4, 5}));
  modbus_stack::ConsumeBytes(2);
  EXPECT_EQ(Held(), (Bytes{3, 4, 5}));
  modbus_stack::ConsumeBytes(3);
  EXPECT_EQ(Held(), Bytes{});
  Hold({1, 2});
  modbus_stack::ConsumeBytes(9);
  EXPECT_EQ(Held(), Bytes{});
}

TEST(ReceiveBuffer, OffersRoomForAWholeTcpFrame) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  uint32_t connection = 0;
  modbus_stack::ReceiveIntoBuffer(&connection);
  ASSERT_EQ(TheScript().roomsOffered.size(), 1u);
  EXPECT_EQ(TheScript().roomsOffered[0], 260);
}

TEST(ReceiveBuffer, RtuAppendsAndOffersOnlyTheRoomLeft) {
  StartStack(MODBUSSTACK_PROTOCOL_RTU);
  Deliver({1, 2, 3});
  Deliver({4, 5});
  uint32_t connection = 0;
  modbus_stack::ReceiveIntoBuffer(&connection);
  modbus_stack::ReceiveIntoBuffer(&connection);
  EXPECT_EQ(Held(), (Bytes{1, 2, 3, 4, 5}));
  EXPECT_EQ(TheScript().roomsOffered, (std::vector<uint16_t>{260, 257}));

  Hold(Bytes(260, 0xAA));
  modbus_stack::ReceiveIntoBuffer(&connection);
  EXPECT_EQ(TheScript().roomsOffered.size(), 2u) << "a full buffer must not call the receive callback";
}

TEST(ReceiveBuffer, TcpStartsEveryReceiveAfresh) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  Hold({9, 9, 9});
  Deliver({1, 2});
  uint32_t connection = 0;
  modbus_stack::ReceiveIntoBuffer(&connection);
  EXPECT_EQ(Held(), (Bytes{1, 2}));
}

TEST(Mbap, ParseKeepsTheTransactionIdAndChecksTheProtocolId) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  const uint8_t good[] = {0x12, 0x34, 0x00, 0x00, 0x00, 0x06};
  EXPECT_EQ(modbus_stack::ParseMbapHeader(good, 6), 6);
  EXPECT_EQ(g_stack.transactionId, 0x1234);

  const uint8_t foreign[] = {0x43, 0x21, 0x00, 0x01, 0x00, 0x06};
  EXPECT_EQ(modbus_stack::ParseMbapHeader(foreign, 6), 0);
  EXPECT_EQ(g_stack.transactionId, 0x4321) << "the identifier is taken before the protocol check";

  EXPECT_EQ(modbus_stack::ParseMbapHeader(good, 5), 0);
  EXPECT_EQ(modbus_stack::ParseMbapHeader(nullptr, 6), 0);
}

TEST(Mbap, WriteFillsTheLengthOfWhatFollows) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  g_stack.transactionId = 0xBEEF;
  uint8_t frame[9] = {};
  EXPECT_EQ(modbus_stack::WriteMbapHeader(frame, 5), 0);
  EXPECT_EQ(modbus_stack::WriteMbapHeader(frame, 9), 9);
  EXPECT_EQ(Bytes(frame, frame + 6), (Bytes{0xBE, 0xEF, 0, 0, 0, 3}));
}

TEST(RtuReplySearch, FindsTheEarliestValidFrame) {
  uint16_t length = 0;
  const Bytes reply = RtuFrame(1, {0x03, 0x02, 0x00, 0x0A});
  Bytes stream{0x55, 0x66};
  stream.insert(stream.end(), reply.begin(), reply.end());
  EXPECT_EQ(modbus_stack::FindReplyFrame(stream.data(), static_cast<uint16_t>(stream.size()), &length), 2);
  EXPECT_EQ(length, reply.size());

  EXPECT_EQ(modbus_stack::FindReplyFrame(stream.data(), 3, &length), -1);
  Bytes broken = stream;
  broken.back() ^= 0xFF;
  EXPECT_EQ(modbus_stack::FindReplyFrame(broken.data(), static_cast<uint16_t>(broken.size()), &length), -1);
}

TEST(RtuReplySearch, PrefersTheLongestFrameAtTheEarliestStart) {
  // A frame whose first bytes form a CRC-valid frame of their own: the
  // longest frame from the earliest start is taken.
  const Bytes inner = RtuFrame(1, {0x06, 0x00, 0x01});
  Bytes outer = inner;
  outer.push_back(0x42);
  outer = RtuFrame(outer[0], Bytes(outer.begin() + 1, outer.end()));
  uint16_t length = 0;
  EXPECT_EQ(modbus_stack::FindReplyFrame(outer.data(), static_cast<uint16_t>(outer.size()), &length), 0);
  EXPECT_EQ(length, outer.size());
}

}  // namespace
}  // namespace modbus_test
