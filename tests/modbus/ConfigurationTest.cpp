// ConfigurationTest.cpp - version, initialisation, slave id, callback
// registration and flushing, observed through the stack's behaviour.
#include <gtest/gtest.h>

#include "ModbusStack.h"
#include "ScriptedTransport.h"

extern "C" int VersionSeenFromC(void);

namespace modbus_test {
namespace {

const Bytes kReadOneRegister{0x03, 0x00, 0x00, 0x00, 0x01};

// The unit identifier of the single frame sent in answer to a TCP request.
uint8_t AnsweredUnit() {
  EXPECT_EQ(TheScript().sent.size(), 1u);
  return TheScript().sent.empty() ? 0xEE : TheScript().sent.back().bytes.at(6);
}

TEST(Configuration, ReportsVersion2360) {
  EXPECT_EQ(ModbusStack_GetAPIMajorVersion(), 2u);
  EXPECT_EQ(ModbusStack_GetAPIMinorVersion(), 3u);
  EXPECT_EQ(ModbusStack_GetAPIPatchVersion(), 6u);
  EXPECT_EQ(ModbusStack_GetAPIBuildVersion(), 0u);
}

TEST(Configuration, HeaderIsUsableFromC) { EXPECT_EQ(VersionSeenFromC(), 2360); }

TEST(Configuration, UnknownProtocolLeavesTheStackUninitialised) {
  for (const uint32_t protocol : {0u, 3u}) {
    ASSERT_EQ(StartStack(MODBUSSTACK_PROTOCOL_TCP), MODBUSSTACK_INIT_READY);
    Deliver(TcpFrame(1, 0xFF, kReadOneRegister));
    EXPECT_EQ(ModbusStack_Init(protocol, ScriptedSend, ScriptedReceive, ScriptedClock), MODBUSSTACK_INIT_BAD_PROTOCOL);
    EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_NO_TRANSPORT);
    uint8_t data[2];
    EXPECT_EQ(ModbusStack_ReadRegisters(1, 1, MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 0, 1, data, sizeof data, nullptr),
              MODBUSSTACK_CLIENT_NO_TRANSPORT);
    EXPECT_TRUE(TheScript().sent.empty());
    EXPECT_TRUE(TheScript().roomsOffered.empty()) << "nothing may be received while uninitialised";
  }
}

TEST(Configuration, LoopNeedsBothTransportCallbacks) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  ASSERT_EQ(ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, nullptr, ScriptedReceive, ScriptedClock),
            MODBUSSTACK_INIT_READY);
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_NO_TRANSPORT);
  ASSERT_EQ(ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ScriptedSend, nullptr, ScriptedClock), MODBUSSTACK_INIT_READY);
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_NO_TRANSPORT);
}

TEST(Configuration, ReinitialisingDropsTheValueCallbacks) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  ASSERT_EQ(ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ScriptedSend, ScriptedReceive, ScriptedClock),
            MODBUSSTACK_INIT_READY);
  Deliver(TcpFrame(1, 0xFF, kReadOneRegister));
  EXPECT_EQ(ModbusStack_Loop(), MODBUSSTACK_LOOP_OK);
  ASSERT_EQ(TheScript().sent.size(), 1u);
  EXPECT_EQ(TheScript().sent[0].bytes, (Bytes{0, 1, 0, 0, 0, 3, 0, 0x83, 0x01}));
  EXPECT_TRUE(TheScript().reads.empty());
}

TEST(Configuration, RegisteringNoCallbackUnregisters) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  EXPECT_EQ(ModbusStack_RegisterGetValue(nullptr), 1u);
  EXPECT_EQ(ModbusStack_RegisterSetValue(nullptr), 1u);
  Deliver(TcpFrame(1, 0xFF, kReadOneRegister));
  Deliver(TcpFrame(2, 0xFF, {0x06, 0x00, 0x14, 0x12, 0x34}));
  ModbusStack_Loop();
  ModbusStack_Loop();
  ASSERT_EQ(TheScript().sent.size(), 2u);
  EXPECT_EQ(TheScript().sent[0].bytes, (Bytes{0, 1, 0, 0, 0, 3, 0, 0x83, 0x01}));
  EXPECT_EQ(TheScript().sent[1].bytes, (Bytes{0, 2, 0, 0, 0, 3, 0, 0x86, 0x01}));
}

TEST(Configuration, SlaveIdRangeDependsOnTheFraming) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  ModbusStack_Init(0, nullptr, nullptr, nullptr);
  EXPECT_FALSE(ModbusStack_SetSlaveId(0));
  EXPECT_TRUE(ModbusStack_SetSlaveId(255));
  EXPECT_TRUE(ModbusStack_SetSlaveId(128));

  ModbusStack_Init(MODBUSSTACK_PROTOCOL_RTU, ScriptedSend, ScriptedReceive, ScriptedClock);
  EXPECT_FALSE(ModbusStack_SetSlaveId(0));
  EXPECT_FALSE(ModbusStack_SetSlaveId(128));
  EXPECT_FALSE(ModbusStack_SetSlaveId(255));
  EXPECT_TRUE(ModbusStack_SetSlaveId(127));
  EXPECT_TRUE(ModbusStack_SetSlaveId(1));

  ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ScriptedSend, ScriptedReceive, ScriptedClock);
  EXPECT_FALSE(ModbusStack_SetSlaveId(0));
  EXPECT_FALSE(ModbusStack_SetSlaveId(255));
  EXPECT_TRUE(ModbusStack_SetSlaveId(128));
  EXPECT_TRUE(ModbusStack_SetSlaveId(254));
}

TEST(Configuration, RefusedSlaveIdKeepsThePreviousOne) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  ASSERT_TRUE(ModbusStack_SetSlaveId(17));
  EXPECT_FALSE(ModbusStack_SetSlaveId(255));
  Deliver(TcpFrame(1, 0xFF, kReadOneRegister));
  ModbusStack_Loop();
  EXPECT_EQ(AnsweredUnit(), 17);
}

TEST(Configuration, SlaveIdSurvivesInitialisation) {
  StartStack(MODBUSSTACK_PROTOCOL_TCP);
  ModbusStack_Init(0, nullptr, nullptr, nullptr);
  ASSERT_TRUE(ModbusStack_SetSlaveId(255));
  ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, ScriptedSend, ScriptedReceive, ScriptedClock);
  ModbusStack_RegisterGetValue(ScriptedGetValue);
  Deliver(TcpFrame(1, 0xFF, kReadOneRegister));
  ModbusStack_Loop();
  EXPECT_EQ(AnsweredUnit(), 255) << "an id set before initialisation stays in force";
  ASSERT_EQ(TheScript().reads.size(), 1u);
  EXPECT_EQ(TheScript().reads[0].slaveId, 255);
}

TEST(Configuration, FlushDropsHeldBytes) {
  const Bytes frame = RtuFrame(1, kReadOneRegister);
  const Bytes head(frame.begin(), frame.begin() + 4);
  const Bytes tail(frame.begin() + 4, frame.end());

  // Without a flush the two halves of an RTU frame are joined and answered.
  StartStack(MODBUSSTACK_PROTOCOL_RTU);
  ASSERT_TRUE(ModbusStack_SetSlaveId(1));
  Deliver(head);
  ModbusStack_Loop();
  Deliver(tail);
  ModbusStack_Loop();
  EXPECT_EQ(TheScript().sent.size(), 1u);

  // A flush between them throws the head away: nothing to answer.
  StartStack(MODBUSSTACK_PROTOCOL_RTU);
  ASSERT_TRUE(ModbusStack_SetSlaveId(1));
  ModbusStack_Flush();  // on an empty buffer: harmless
  Deliver(head);
  ModbusStack_Loop();
  ModbusStack_Flush();
  Deliver(tail);
  ModbusStack_Loop();
  EXPECT_TRUE(TheScript().sent.empty());
}

}  // namespace
}  // namespace modbus_test
