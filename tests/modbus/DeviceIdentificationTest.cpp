// DeviceIdentificationTest.cpp - Read Device Identification (43/14) as the
// server answers it under Modbus TCP, checked against the frames of the
// Modbus Application Protocol's own example, and the objects as
// ModbusStack_SetDeviceIdentification stores them.
#include <gtest/gtest.h>

#include <string>

#include "ModbusStack.h"
#include "ScriptedTransport.h"

namespace modbus_test {
namespace {

constexpr uint8_t kReadDeviceId[] = {0x2B, 0x0E};
constexpr uint8_t kNoMoreFollow = 0x00;

bool Set(uint8_t id, const std::string& value) {
  return ModbusStack_SetDeviceIdentification(id, value.data(), static_cast<uint8_t>(value.size()));
}

Bytes Object(uint8_t id, const std::string& value) {
  Bytes bytes{id, static_cast<uint8_t>(value.size())};
  bytes.insert(bytes.end(), value.begin(), value.end());
  return bytes;
}

// The PDU of a response: function code, MEI type, the header and objects.
Bytes Response(uint8_t code, uint8_t conformity, uint8_t moreFollows, uint8_t nextId,
               std::initializer_list<Bytes> objects) {
  Bytes pdu{
      kReadDeviceId[0], kReadDeviceId[1], code, conformity, moreFollows, nextId, static_cast<uint8_t>(objects.size())};
  for (const Bytes& object : objects) {
    pdu.insert(pdu.end(), object.begin(), object.end());
  }
  return pdu;
}

class DeviceIdentification : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(StartStack(MODBUSSTACK_PROTOCOL_TCP), MODBUSSTACK_INIT_READY);
    ASSERT_TRUE(ModbusStack_SetSlaveId(5));
  }

  // Sends 43/14 with a read device id code and object id; returns the PDU of
  // the answer, or nothing when there was none.
  static Bytes Ask(const Bytes& pdu) {
    const size_t before = TheScript().sent.size();
    Deliver(TcpFrame(1, 0xFF, pdu));
    EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
    if (TheScript().sent.size() == before) {
      return {};
    }
    const Bytes& frame = TheScript().sent.back().bytes;
    EXPECT_EQ(frame.size() - 6, static_cast<size_t>((frame[4] << 8) | frame[5])) << "MBAP length field";
    EXPECT_EQ(frame.at(6), 5) << "the slave id answers";
    return Bytes(frame.begin() + 7, frame.end());
  }
  static Bytes Read(uint8_t code, uint8_t objectId) {
    return Ask({kReadDeviceId[0], kReadDeviceId[1], code, objectId});
  }
};

TEST_F(DeviceIdentification, StreamsReportTheirObjectsInOrder) {
  // The protocol's example objects; a regular and an extended one besides.
  ASSERT_TRUE(Set(0x00, "Company identification"));
  ASSERT_TRUE(Set(0x01, "Product code XX"));
  ASSERT_TRUE(Set(0x02, "V2.11"));
  ASSERT_TRUE(Set(0x04, "Product name"));
  const Bytes basic[] = {Object(0x00, "Company identification"), Object(0x01, "Product code XX"),
                         Object(0x02, "V2.11")};
  EXPECT_EQ(Read(1, 0), Response(1, 0x82, kNoMoreFollow, 0, {basic[0], basic[1], basic[2]}));
  EXPECT_EQ(Read(2, 0),
            Response(2, 0x82, kNoMoreFollow, 0, {basic[0], basic[1], basic[2], Object(0x04, "Product name")}));
  EXPECT_EQ(Read(2, 0x04), Response(2, 0x82, kNoMoreFollow, 0, {Object(0x04, "Product name")}));

  ASSERT_TRUE(Set(0x81, "own"));
  EXPECT_EQ(Read(3, 0x02),
            Response(3, 0x83, kNoMoreFollow, 0, {basic[2], Object(0x04, "Product name"), Object(0x81, "own")}))
      << "an extended object raises the conformity level";
}

TEST_F(DeviceIdentification, UnknownStartObjectRestartsTheStreamAtObject0) {
  ASSERT_TRUE(Set(0x00, "V"));
  ASSERT_TRUE(Set(0x04, "Name"));
  const Bytes wholeBasic = Response(1, 0x82, kNoMoreFollow, 0, {Object(0, "V"), Object(1, ""), Object(2, "")});
  EXPECT_EQ(Read(1, 0x04), wholeBasic) << "object 4 is not part of the basic stream";
  EXPECT_EQ(Read(1, 0x42), wholeBasic) << "a reserved object id";
  EXPECT_EQ(Read(2, 0x05),
            Response(2, 0x82, kNoMoreFollow, 0, {Object(0, "V"), Object(1, ""), Object(2, ""), Object(4, "Name")}))
      << "object 5 is not set";
}

TEST_F(DeviceIdentification, ObjectsThatDoNotFitFollowInTheNextResponse) {
  // Three objects of 151 bytes, 153 with id and length: no two fit in one
  // 253-byte response.
  const std::string big(150, 'x');
  for (uint8_t id = 0x80; id < 0x83; ++id) {
    ASSERT_TRUE(Set(id, big + static_cast<char>('a' + (id - 0x80))));
  }
  // Each response is asked for from the next object id the last one named,
  // until none more follow; together they report every object once.
  std::vector<uint8_t> reported;
  std::vector<uint8_t> askedFrom;
  uint8_t next = 0;
  for (int response = 0; response < 10; ++response) {
    askedFrom.push_back(next);
    const Bytes pdu = Read(3, next);
    ASSERT_GE(pdu.size(), 7u);
    ASSERT_LE(pdu.size(), 253u);
    size_t position = 7;
    for (uint8_t i = 0; i < pdu[6]; ++i) {
      reported.push_back(pdu.at(position));
      position += 2 + pdu.at(position + 1);
    }
    EXPECT_EQ(position, pdu.size());
    if (pdu[4] == kNoMoreFollow) {
      EXPECT_EQ(pdu[5], 0);
      break;
    }
    EXPECT_EQ(pdu[4], 0xFF);
    next = pdu[5];
  }
  EXPECT_EQ(reported, (std::vector<uint8_t>{0x00, 0x01, 0x02, 0x80, 0x81, 0x82}));
  EXPECT_EQ(askedFrom, (std::vector<uint8_t>{0x00, 0x81, 0x82}));
}

TEST_F(DeviceIdentification, IndividualAccessAndItsExceptions) {
  ASSERT_TRUE(Set(0x05, "Model"));
  EXPECT_EQ(Read(4, 0x05), Response(4, 0x82, kNoMoreFollow, 0, {Object(0x05, "Model")}));
  EXPECT_EQ(Read(4, 0x01), Response(4, 0x82, kNoMoreFollow, 0, {Object(0x01, "")})) << "basic objects always exist";
  EXPECT_EQ(Read(4, 0x06), (Bytes{0xAB, 0x02})) << "object not set";
  EXPECT_EQ(Read(4, 0x90), (Bytes{0xAB, 0x02})) << "extended object not set";
  EXPECT_EQ(Read(0, 0x00), (Bytes{0xAB, 0x03})) << "read device id code 0";
  EXPECT_EQ(Read(5, 0x00), (Bytes{0xAB, 0x03})) << "read device id code 5";
  EXPECT_EQ(Ask({0x2B, 0x0D, 0x01, 0x00}), (Bytes{0xAB, 0x01})) << "MEI type 13 is not served";
  EXPECT_EQ(Ask({0x2B, 0x0E, 0x01}), Bytes{}) << "no object id";
  EXPECT_EQ(Ask({0x2B}), Bytes{}) << "no MEI type";
}

TEST_F(DeviceIdentification, ObjectsAreCheckedStoredAndKeptAcrossInit) {
  EXPECT_FALSE(Set(0x07, "reserved"));
  EXPECT_FALSE(Set(0x7F, "reserved"));
  EXPECT_FALSE(Set(0x80, std::string(245, 'x'))) << "over 244 bytes";
  EXPECT_FALSE(ModbusStack_SetDeviceIdentification(0x03, nullptr, 1));
  ASSERT_TRUE(Set(0x80, std::string(244, 'x')));
  ASSERT_TRUE(Set(0x81, std::string(244, 'y')));
  // 2 x 246 bytes are held; 20 of the 512 remain, which 18 value bytes fill.
  EXPECT_FALSE(Set(0x03, std::string(19, 'u')));
  ASSERT_TRUE(Set(0x03, std::string(18, 'u')));
  EXPECT_FALSE(Set(0x00, "V")) << "the room is full";
  ASSERT_TRUE(Set(0x03, "url")) << "a shorter value replaces the longer one";
  ASSERT_TRUE(Set(0x00, "Vendor"));
  ASSERT_TRUE(ModbusStack_SetDeviceIdentification(0x80, nullptr, 0)) << "length 0 removes";

  ASSERT_EQ(ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ScriptedSend, ScriptedReceive, ScriptedClock),
            MODBUSSTACK_INIT_READY);
  EXPECT_EQ(Read(4, 0x80), (Bytes{0xAB, 0x02}));
  EXPECT_EQ(Read(4, 0x03), Response(4, 0x83, kNoMoreFollow, 0, {Object(0x03, "url")}));
  EXPECT_EQ(Read(4, 0x00), Response(4, 0x83, kNoMoreFollow, 0, {Object(0x00, "Vendor")}));
  EXPECT_EQ(Read(4, 0x81), Response(4, 0x83, kNoMoreFollow, 0, {Object(0x81, std::string(244, 'y'))}))
      << "the largest object fills one response";
}

}  // namespace
}  // namespace modbus_test
