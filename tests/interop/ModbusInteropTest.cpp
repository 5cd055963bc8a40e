// ModbusInteropTest.cpp - the stack against libmodbus. libmodbus clients talk
// to the stack's server, and the stack's client talks to libmodbus servers,
// over Modbus TCP on loopback and Modbus RTU on a pseudo-terminal pair.
// Expected values always come from the tables the peer serves, which are
// filled from a seeded generator.
#include <gtest/gtest.h>
#include <modbus.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "InteropHosts.h"
#include "ModbusStack.h"

namespace interop {
namespace {

using Bytes = std::vector<uint8_t>;
using Registers = std::vector<uint16_t>;

enum class Framing { kTcp, kRtu };

void PrintTo(Framing framing, std::ostream* out) { *out << (framing == Framing::kTcp ? "Tcp" : "Rtu"); }

std::string FramingName(const ::testing::TestParamInfo<Framing>& info) { return ::testing::PrintToString(info.param); }

// ---- helpers ---------------------------------------------------------------

struct ModbusCloser {
  void operator()(modbus_t* context) const {
    modbus_close(context);
    modbus_free(context);
  }
};
using ModbusClient = std::unique_ptr<modbus_t, ModbusCloser>;

ModbusClient Connected(modbus_t* context, int slave) {
  ModbusClient client(context);
  if (!client || modbus_set_slave(client.get(), slave) < 0 || modbus_set_response_timeout(client.get(), 2, 0) < 0 ||
      modbus_connect(client.get()) < 0) {
    return nullptr;
  }
  return client;
}

// errno of a failed libmodbus call, 0 when the call succeeded.
int ErrorOf(int result) { return result == -1 ? errno : 0; }

std::string Describe(int error) { return error == 0 ? "success" : modbus_strerror(error); }

// Part of one of the stack server's tables, read under its lock.
template <typename T>
std::vector<T> Slice(std::vector<T> ServerTables::*table, int start, int count) {
  std::lock_guard<std::mutex> lock(Tables().mutex);
  const std::vector<T>& values = Tables().*table;
  return std::vector<T>(values.begin() + start, values.begin() + start + count);
}

// Part of one of a libmodbus server's tables.
template <typename T>
std::vector<T> Mapped(LibmodbusServer& server, T* modbus_mapping_t::*table, int start, int count) {
  std::vector<T> values;
  server.WithMapping(
      [&](modbus_mapping_t& mapping) { values.assign(mapping.*table + start, mapping.*table + start + count); });
  return values;
}

Registers RandomRegisters(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  Registers values(count);
  for (auto& value : values) value = static_cast<uint16_t>(random());
  return values;
}

Bytes Inverted(const Bytes& bits) {
  Bytes inverted;
  for (uint8_t bit : bits) inverted.push_back(bit ? 0 : 1);
  return inverted;
}

Bytes Pack(const Bytes& bits) {
  Bytes packed((bits.size() + 7) / 8, 0);
  for (size_t i = 0; i < bits.size(); ++i) packed[i / 8] = static_cast<uint8_t>(packed[i / 8] | bits[i] << (i % 8));
  return packed;
}

Bytes Unpack(const Bytes& packed, size_t count) {
  Bytes bits(count);
  for (size_t i = 0; i < count; ++i) bits[i] = static_cast<uint8_t>(packed[i / 8] >> (i % 8) & 1);
  return bits;
}

uint8_t High(int value) { return static_cast<uint8_t>(value >> 8); }
uint8_t Low(int value) { return static_cast<uint8_t>(value); }

// A read response PDU for registers as they stand on the wire.
Bytes ReadRegistersPdu(uint8_t function, const Registers& registers) {
  Bytes pdu{function, static_cast<uint8_t>(2 * registers.size())};
  for (uint16_t value : registers) {
    pdu.push_back(High(value));
    pdu.push_back(Low(value));
  }
  return pdu;
}

Bytes ExceptionPdu(uint8_t function, uint8_t code) { return {static_cast<uint8_t>(function | 0x80), code}; }

// An RTU frame: the bytes with their CRC-16/MODBUS appended, low byte first.
Bytes WithCrc(Bytes frame) {
  uint16_t crc = 0xFFFF;
  for (uint8_t byte : frame) {
    crc = static_cast<uint16_t>(crc ^ byte);
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
  }
  frame.push_back(Low(crc));
  frame.push_back(High(crc));
  return frame;
}

// libmodbus sizes a TCP reply by its function code and never looks at the
// MBAP length field, so the header of the stack's replies is checked here.
void ExpectConsistentMbap(const Bytes& frame) {
  ASSERT_GE(frame.size(), 8u);
  EXPECT_EQ(frame[2] << 8 | frame[3], 0) << "protocol identifier";
  EXPECT_EQ(static_cast<size_t>(frame[4] << 8 | frame[5]), frame.size() - 6) << "MBAP length field";
}

// Waits for one reply on a libmodbus TCP client and returns its PDU.
Bytes TcpReplyPdu(modbus_t* client) {
  Bytes reply(MODBUS_MAX_ADU_LENGTH);
  const int length = modbus_receive_confirmation(client, reply.data());
  if (length <= 7) {
    ADD_FAILURE() << "no reply: " << modbus_strerror(errno);
    return {};
  }
  reply.resize(static_cast<size_t>(length));
  ExpectConsistentMbap(reply);
  return Bytes(reply.begin() + 7, reply.end());
}

// Sends unit identifier, function code and data as one request through a
// libmodbus TCP client and returns the reply's PDU.
Bytes RawExchange(modbus_t* client, const Bytes& request) {
  if (modbus_send_raw_request(client, request.data(), static_cast<int>(request.size())) < 0) {
    ADD_FAILURE() << "send: " << modbus_strerror(errno);
    return {};
  }
  return TcpReplyPdu(client);
}

// ===========================================================================
// libmodbus clients against the stack's server
// ===========================================================================

class StackServerFixture : public ::testing::Test {
 protected:
  void Start(Framing framing) {
    SeedTables(20240611);
    if (framing == Framing::kTcp) {
      server_ = StackServerHost::StartTcp();
      client_ = Connected(modbus_new_tcp("127.0.0.1", server_->Port()), MODBUS_TCP_SLAVE);
    } else {
      pty_ = std::make_unique<PtyPair>();
      server_ = StackServerHost::StartRtu(pty_->master);
      client_ = Connected(modbus_new_rtu(pty_->slaveName.c_str(), 19200, 'N', 8, 1), 1);
    }
    ASSERT_NE(client_, nullptr) << modbus_strerror(errno);
  }

  modbus_t* client() { return client_.get(); }

  std::unique_ptr<PtyPair> pty_;
  std::unique_ptr<StackServerHost> server_;
  ModbusClient client_;
};

class StackServer : public StackServerFixture, public ::testing::WithParamInterface<Framing> {
 protected:
  void SetUp() override { Start(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(, StackServer, ::testing::Values(Framing::kTcp, Framing::kRtu), FramingName);

TEST_P(StackServer, ReadsHoldingAndInputRegistersAsStored) {
  Registers read(125);
  ASSERT_EQ(modbus_read_registers(client(), 7, 1, read.data()), 1) << Describe(errno);
  EXPECT_EQ(read[0], Slice(&ServerTables::holding, 7, 1)[0]);
  ASSERT_EQ(modbus_read_registers(client(), 20, 125, read.data()), 125) << Describe(errno);
  EXPECT_EQ(read, Slice(&ServerTables::holding, 20, 125));

  ASSERT_EQ(modbus_read_input_registers(client(), 0, 1, read.data()), 1) << Describe(errno);
  EXPECT_EQ(read[0], Slice(&ServerTables::input, 0, 1)[0]);
  ASSERT_EQ(modbus_read_input_registers(client(), kRegisterCount - 125, 125, read.data()), 125) << Describe(errno);
  EXPECT_EQ(read, Slice(&ServerTables::input, kRegisterCount - 125, 125));
}

TEST_P(StackServer, WritesOfRegistersAreStored) {
  const uint16_t single = static_cast<uint16_t>(~Slice(&ServerTables::holding, 12, 1)[0]);
  ASSERT_EQ(modbus_write_register(client(), 12, single), 1) << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::holding, 12, 1)[0], single);

  const Registers one = RandomRegisters(1, 1);
  ASSERT_EQ(modbus_write_registers(client(), 0, 1, one.data()), 1) << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::holding, 0, 1), one);

  const Registers before = Slice(&ServerTables::holding, 39, 125);
  const Registers many = RandomRegisters(123, 2);
  ASSERT_EQ(modbus_write_registers(client(), 40, 123, many.data()), 123) << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::holding, 40, 123), many);
  EXPECT_EQ(Slice(&ServerTables::holding, 39, 1)[0], before.front()) << "register in front overwritten";
  EXPECT_EQ(Slice(&ServerTables::holding, 163, 1)[0], before.back()) << "register behind overwritten";
}

TEST_P(StackServer, ReadWriteOfRegistersWritesBeforeItReads) {
  // The read overlaps the write, so it must see the values just written.
  const Registers written = RandomRegisters(121, 4);
  const Registers before = Slice(&ServerTables::holding, 0, 30);
  Registers read(125);
  ASSERT_EQ(modbus_write_and_read_registers(client(), 30, 121, written.data(), 0, 125, read.data()), 125)
      << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::holding, 30, 121), written);
  EXPECT_EQ(Registers(read.begin(), read.begin() + 30), before);
  EXPECT_EQ(Registers(read.begin() + 30, read.end()), Registers(written.begin(), written.begin() + 95));

  // A refused write answers with its exception.
  const Registers one = RandomRegisters(1, 5);
  EXPECT_EQ(ErrorOf(modbus_write_and_read_registers(client(), kBusyAddress, 1, one.data(), 0, 1, read.data())),
            EMBXSBUSY);
}

TEST_P(StackServer, ReadsCoilsAndDiscreteInputsAsStored) {
  Bytes bits(kBitCount);
  ASSERT_EQ(modbus_read_bits(client(), 0, 1, bits.data()), 1) << Describe(errno);
  EXPECT_EQ(bits[0], Slice(&ServerTables::coils, 0, 1)[0]);
  ASSERT_EQ(modbus_read_bits(client(), 3, 37, bits.data()), 37) << Describe(errno);
  EXPECT_EQ(Bytes(bits.begin(), bits.begin() + 37), Slice(&ServerTables::coils, 3, 37));

  ASSERT_EQ(modbus_read_input_bits(client(), 0, kBitCount, bits.data()), kBitCount) << Describe(errno);
  EXPECT_EQ(bits, Slice(&ServerTables::discreteInputs, 0, kBitCount));
  ASSERT_EQ(modbus_read_input_bits(client(), kBitCount - 11, 11, bits.data()), 11) << Describe(errno);
  EXPECT_EQ(Bytes(bits.begin(), bits.begin() + 11), Slice(&ServerTables::discreteInputs, kBitCount - 11, 11));
}

TEST_P(StackServer, WritesOfCoilsAreStored) {
  const uint8_t was = Slice(&ServerTables::coils, 33, 1)[0];
  ASSERT_EQ(modbus_write_bit(client(), 33, was ? 0 : 1), 1) << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::coils, 33, 1)[0], was ? 0 : 1);
  ASSERT_EQ(modbus_write_bit(client(), 33, was), 1) << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::coils, 33, 1)[0], was);

  const Bytes few = Inverted(Slice(&ServerTables::coils, 5, 10));
  ASSERT_EQ(modbus_write_bits(client(), 5, 10, few.data()), 10) << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::coils, 5, 10), few);

  const Bytes most = Inverted(Slice(&ServerTables::coils, 16, MODBUS_MAX_WRITE_BITS));
  ASSERT_EQ(modbus_write_bits(client(), 16, MODBUS_MAX_WRITE_BITS, most.data()), MODBUS_MAX_WRITE_BITS)
      << Describe(errno);
  EXPECT_EQ(Slice(&ServerTables::coils, 16, MODBUS_MAX_WRITE_BITS), most);
}

TEST_P(StackServer, AddressesOutsideTheTablesAreIllegalDataAddresses) {
  Registers registers(4);
  Bytes bits(16);
  const Registers values = RandomRegisters(3, 4);
  const Registers before = Slice(&ServerTables::holding, kRegisterCount - 3, 3);
  EXPECT_EQ(ErrorOf(modbus_read_registers(client(), kRegisterCount - 1, 2, registers.data())), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_read_input_registers(client(), kRegisterCount, 1, registers.data())), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_read_bits(client(), kBitCount - 1, 2, bits.data())), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_read_input_bits(client(), kBitCount, 1, bits.data())), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_write_register(client(), kRegisterCount, 1)), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_write_registers(client(), kRegisterCount - 2, 3, values.data())), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_write_bit(client(), kBitCount, 1)), EMBXILADD);
  EXPECT_EQ(ErrorOf(modbus_write_bits(client(), kBitCount - 10, 11, bits.data())), EMBXILADD);
  EXPECT_EQ(Slice(&ServerTables::holding, kRegisterCount - 3, 3), before);
}

TEST_P(StackServer, RefusalsOfTheValueCallbacksReachTheClient) {
  Registers registers(10);
  const Registers values = RandomRegisters(20, 5);
  const Registers before = Slice(&ServerTables::holding, 180, 20);
  // A read refusal without a code becomes Server Device Failure.
  EXPECT_EQ(ErrorOf(modbus_read_registers(client(), kReadFailureAddress - 5, 10, registers.data())), EMBXSFAIL);
  // A write refusal keeps the callback's own code.
  EXPECT_EQ(ErrorOf(modbus_write_register(client(), kBusyAddress, 1)), EMBXSBUSY);
  EXPECT_EQ(ErrorOf(modbus_write_registers(client(), 180, 20, values.data())), EMBXSBUSY);
  EXPECT_EQ(Slice(&ServerTables::holding, 180, 20), before);
  // Still in step after the exceptions.
  EXPECT_EQ(modbus_read_registers(client(), 0, 1, registers.data()), 1) << Describe(errno);
}

// Requests for this server with a function code it does not support get
// exception 1 under either framing.
TEST_P(StackServer, UnsupportedFunctionCodesAreIllegalFunctionsOverTcpAndUnansweredOverRtu) {
  // An RTU request is recognised by the known length of its function code,
  // so the frame of an unknown function is never taken for a request: the
  // client times out, and the line stays usable.
  const int expected = GetParam() == Framing::kTcp ? EMBXILFUN : ETIMEDOUT;
  ASSERT_EQ(modbus_set_response_timeout(client(), 0, 300000), 0);
  uint8_t id[64];
  EXPECT_EQ(ErrorOf(modbus_report_slave_id(client(), sizeof id, id)), expected) << "function code 0x11";
  EXPECT_EQ(ErrorOf(modbus_mask_write_register(client(), 0, 0x00FF, 0x0100)), expected) << "function code 0x16";
  if (GetParam() == Framing::kRtu) {
    modbus_flush(client());
  }
  Registers read(1);
  EXPECT_EQ(modbus_read_registers(client(), 0, 1, read.data()), 1) << Describe(errno);
}

// ---- Modbus TCP only: raw requests, unit identifiers, connections -----------

class StackTcpServer : public StackServerFixture {
 protected:
  void SetUp() override { Start(Framing::kTcp); }
};

TEST_F(StackTcpServer, SingleWritesAreEchoedUnchanged) {
  const uint16_t value = RandomRegisters(1, 3)[0];
  const Bytes writeRegister{0xFF, 0x06, 0x00, 0x21, High(value), Low(value)};
  EXPECT_EQ(RawExchange(client(), writeRegister), Bytes(writeRegister.begin() + 1, writeRegister.end()));
  EXPECT_EQ(Slice(&ServerTables::holding, 0x21, 1)[0], value);

  const uint8_t coil = Slice(&ServerTables::coils, 0x2A, 1)[0];
  const Bytes writeCoil{0xFF, 0x05, 0x00, 0x2A, static_cast<uint8_t>(coil ? 0x00 : 0xFF), 0x00};
  EXPECT_EQ(RawExchange(client(), writeCoil), Bytes(writeCoil.begin() + 1, writeCoil.end()));
  EXPECT_EQ(Slice(&ServerTables::coils, 0x2A, 1)[0], coil ? 0 : 1);
}

TEST_F(StackTcpServer, RawUnsupportedFunctionCodesAreIllegalFunctions) {
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x07}), ExceptionPdu(0x07, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION));
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x2B, 0x0D, 0x01, 0x00}),
            ExceptionPdu(0x2B, MODBUSSTACK_EXCEPTION_ILLEGAL_FUNCTION))
      << "of function 43 only MEI type 14 is served";
}

TEST_F(StackTcpServer, QuantitiesOverTheLimitsAreIllegalDataValues) {
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x03, 0x00, 0x00, 0x00, 126}),
            ExceptionPdu(0x03, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE));
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x04, 0x00, 0x00, 0x00, 126}),
            ExceptionPdu(0x04, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE));
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x01, 0x00, 0x00, High(2001), Low(2001)}),
            ExceptionPdu(0x01, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE));
  Bytes tooManyCoils{0xFF, 0x0F, 0x00, 0x00, High(1969), Low(1969), 247};
  tooManyCoils.resize(tooManyCoils.size() + 247, 0x55);
  EXPECT_EQ(RawExchange(client(), tooManyCoils), ExceptionPdu(0x0F, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE));
}

// A byte count that does not cover the quantity announced leaves data
// missing; the write must be refused with exception 3 and change nothing.
TEST_F(StackTcpServer, WriteRegistersWithTooSmallByteCountIsIllegalDataValue) {
  const Registers before = Slice(&ServerTables::holding, 0, 2);
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x10, 0x00, 0x00, 0x00, 0x02, 0x02, 0x12, 0x34}),
            ExceptionPdu(0x10, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE));
  EXPECT_EQ(Slice(&ServerTables::holding, 0, 2), before);
}

TEST_F(StackTcpServer, WriteCoilsWithTooSmallByteCountIsIllegalDataValue) {
  // 16 coils announced, one data byte sent: it would flip the first eight.
  const Bytes before = Slice(&ServerTables::coils, 0, 16);
  const uint8_t firstEight = Pack(Inverted(Bytes(before.begin(), before.begin() + 8)))[0];
  EXPECT_EQ(RawExchange(client(), {0xFF, 0x0F, 0x00, 0x00, 0x00, 0x10, 0x01, firstEight}),
            ExceptionPdu(0x0F, MODBUSSTACK_EXCEPTION_ILLEGAL_DATA_VALUE));
  EXPECT_EQ(Slice(&ServerTables::coils, 0, 16), before);
}

TEST_F(StackTcpServer, OnlyUnitIdentifiers0And255AreAnswered) {
  Registers read(1);
  const uint16_t stored = Slice(&ServerTables::holding, 0, 1)[0];
  ASSERT_EQ(modbus_set_slave(client(), 1), 0);
  ASSERT_EQ(modbus_set_response_timeout(client(), 0, 200000), 0);
  EXPECT_EQ(ErrorOf(modbus_read_registers(client(), 0, 1, read.data())), ETIMEDOUT);
  for (int unit : {0, 255}) {
    read[0] = static_cast<uint16_t>(~stored);
    ASSERT_EQ(modbus_set_slave(client(), unit), 0);
    EXPECT_EQ(modbus_read_registers(client(), 0, 1, read.data()), 1) << "unit " << unit << ": " << Describe(errno);
    EXPECT_EQ(read[0], stored) << "unit " << unit;
  }
}

// Two requests are outstanding on two connections at once; each answer must
// go back on the connection its request came in on.
TEST_F(StackTcpServer, AnswersGoBackOnTheConnectionOfTheRequest) {
  ModbusClient second = Connected(modbus_new_tcp("127.0.0.1", server_->Port()), MODBUS_TCP_SLAVE);
  ASSERT_NE(second, nullptr) << modbus_strerror(errno);
  const Bytes firstRequest{0xFF, 0x03, 0x00, 10, 0x00, 2};
  const Bytes secondRequest{0xFF, 0x04, 0x00, 50, 0x00, 3};
  ASSERT_GT(modbus_send_raw_request(client(), firstRequest.data(), static_cast<int>(firstRequest.size())), 0);
  ASSERT_GT(modbus_send_raw_request(second.get(), secondRequest.data(), static_cast<int>(secondRequest.size())), 0);
  EXPECT_EQ(TcpReplyPdu(second.get()), ReadRegistersPdu(0x04, Slice(&ServerTables::input, 50, 3)));
  EXPECT_EQ(TcpReplyPdu(client()), ReadRegistersPdu(0x03, Slice(&ServerTables::holding, 10, 2)));
}

// ---- Modbus RTU only: addressing and a byte stream without frame marks -----

class StackRtuServer : public StackServerFixture {
 protected:
  void SetUp() override { Start(Framing::kRtu); }
};

TEST_F(StackRtuServer, FramesForOtherSlavesAreIgnored) {
  Registers read(1);
  ASSERT_EQ(modbus_set_slave(client(), 2), 0);
  ASSERT_EQ(modbus_set_response_timeout(client(), 0, 200000), 0);
  EXPECT_EQ(ErrorOf(modbus_read_registers(client(), 0, 1, read.data())), ETIMEDOUT);
  ASSERT_EQ(modbus_set_slave(client(), 1), 0);
  ASSERT_EQ(modbus_read_registers(client(), 0, 1, read.data()), 1) << Describe(errno);
  EXPECT_EQ(read[0], Slice(&ServerTables::holding, 0, 1)[0]);
}

TEST_F(StackRtuServer, LineNoiseInFrontOfARequestIsSkipped) {
  // Bytes that start no frame for slave 1, as a disturbed line might deliver.
  const Bytes noise{0x55, 0xAA, 0x07, 0x42, 0x99};
  ASSERT_EQ(write(pty_->slave, noise.data(), noise.size()), static_cast<ssize_t>(noise.size()));
  Registers read(3);
  ASSERT_EQ(modbus_read_registers(client(), 17, 3, read.data()), 3) << Describe(errno);
  EXPECT_EQ(read, Slice(&ServerTables::holding, 17, 3));
}

// A serial line may deliver a request in pieces, with server passes between
// them; the stack must collect them into one request.
TEST_F(StackRtuServer, RequestArrivingInPiecesIsAnswered) {
  const Bytes request = WithCrc({0x01, 0x03, 0x00, 40, 0x00, 2});
  const size_t cuts[] = {0, 1, 5, request.size()};
  for (size_t piece = 0; piece + 1 < std::size(cuts); ++piece) {
    const size_t size = cuts[piece + 1] - cuts[piece];
    ASSERT_EQ(write(pty_->slave, request.data() + cuts[piece], size), static_cast<ssize_t>(size));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Bytes reply(MODBUS_MAX_ADU_LENGTH);
  const int length = modbus_receive_confirmation(client(), reply.data());
  ASSERT_GT(length, 0) << Describe(errno);
  Bytes expected{0x01};
  const Bytes pdu = ReadRegistersPdu(0x03, Slice(&ServerTables::holding, 40, 2));
  expected.insert(expected.end(), pdu.begin(), pdu.end());
  EXPECT_EQ(Bytes(reply.begin(), reply.begin() + length), WithCrc(expected));
}

// ===========================================================================
// The stack's client against libmodbus servers
// ===========================================================================

class StackClient : public ::testing::TestWithParam<Framing> {
 protected:
  void SetUp() override {
    if (GetParam() == Framing::kTcp) {
      server_ = LibmodbusServer::StartTcp(LibmodbusServer::Replies::kAnswer);
      link_ = StackClientLink::ConnectTcp(server_->Port());
      unit_ = MODBUS_TCP_SLAVE;
    } else {
      pty_ = std::make_unique<PtyPair>();
      server_ = LibmodbusServer::StartRtu(pty_->slaveName);
      link_ = StackClientLink::OverRtu(pty_->master);
      unit_ = 1;
    }
  }

  // Reads through the stack into data (250 bytes); returns the stack's result.
  uint32_t Read(uint8_t function, uint16_t start, uint16_t quantity, Bytes& data, uint8_t* exception) {
    data.assign(250, 0);
    return ModbusStack_ReadRegisters(1, unit_, function, start, quantity, data.data(), 250, exception);
  }

  uint32_t Write(uint8_t function, uint16_t start, const Registers& values, uint16_t quantity, uint8_t* exception) {
    return ModbusStack_WriteRegisters(1, unit_, function, start, values.data(), quantity, exception);
  }

  std::unique_ptr<PtyPair> pty_;
  std::unique_ptr<LibmodbusServer> server_;
  std::unique_ptr<StackClientLink> link_;
  uint8_t unit_ = 0;
};

INSTANTIATE_TEST_SUITE_P(, StackClient, ::testing::Values(Framing::kTcp, Framing::kRtu), FramingName);

// Host-order registers from the stack's data area.
Registers RegistersOf(const Bytes& data, size_t count) {
  Registers registers(count);
  std::memcpy(registers.data(), data.data(), 2 * count);
  return registers;
}

TEST_P(StackClient, ReadsRegistersAndBitsFromLibmodbus) {
  LibmodbusServer& server = *server_;
  Bytes data;
  uint8_t exception = 0;
  ASSERT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 9, 1, data, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(RegistersOf(data, 1), Mapped(server, &modbus_mapping_t::tab_registers, 9, 1));
  ASSERT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, kMapRegisters - 125, 125, data, &exception),
            MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(RegistersOf(data, 125), Mapped(server, &modbus_mapping_t::tab_registers, kMapRegisters - 125, 125));
  ASSERT_EQ(Read(MODBUSSTACK_FC_READ_INPUT_REGISTERS, 3, 125, data, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(RegistersOf(data, 125), Mapped(server, &modbus_mapping_t::tab_input_registers, 3, 125));
  ASSERT_EQ(Read(MODBUSSTACK_FC_READ_COILS, 5, 37, data, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Unpack(data, 37), Mapped(server, &modbus_mapping_t::tab_bits, 5, 37));
  ASSERT_EQ(Read(MODBUSSTACK_FC_READ_DISCRETE_INPUTS, 0, kMapInputBits, data, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Unpack(data, kMapInputBits), Mapped(server, &modbus_mapping_t::tab_input_bits, 0, kMapInputBits));
  EXPECT_EQ(exception, 0);
}

TEST_P(StackClient, WritesLandInTheLibmodbusMapping) {
  LibmodbusServer& server = *server_;
  uint8_t exception = 0;
  const uint8_t coil = Mapped(server, &modbus_mapping_t::tab_bits, 7, 1)[0];
  ASSERT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_COIL, 7, {static_cast<uint16_t>(coil ? 0x0000 : 0xFF00)}, 1, &exception),
            MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Mapped(server, &modbus_mapping_t::tab_bits, 7, 1)[0], coil ? 0 : 1);

  const Registers single = RandomRegisters(1, 6);
  ASSERT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_REGISTER, 3, single, 1, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Mapped(server, &modbus_mapping_t::tab_registers, 3, 1), single);

  // The stack takes coils as packed bytes in its 16-bit value area.
  const Bytes coils = Inverted(Mapped(server, &modbus_mapping_t::tab_bits, 10, 20));
  const Bytes packed = Pack(coils);
  Registers packedArea((packed.size() + 1) / 2);
  std::memcpy(packedArea.data(), packed.data(), packed.size());
  ASSERT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_COILS, 10, packedArea, 20, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Mapped(server, &modbus_mapping_t::tab_bits, 10, 20), coils);

  const Registers one = RandomRegisters(1, 7);
  ASSERT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 0, one, 1, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Mapped(server, &modbus_mapping_t::tab_registers, 0, 1), one);
  const Registers many = RandomRegisters(123, 8);
  ASSERT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, 20, many, 123, &exception), MODBUSSTACK_CLIENT_ACCEPTED);
  EXPECT_EQ(Mapped(server, &modbus_mapping_t::tab_registers, 20, 123), many);
  EXPECT_EQ(exception, 0);
}

TEST_P(StackClient, ExceptionResponsesGiveResult6AndTheirCode) {
  Bytes data;
  uint8_t exception = 0;
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, kMapRegisters, 1, data, &exception),
            MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(exception, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  exception = 0;
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_DISCRETE_INPUTS, kMapInputBits - 1, 2, data, &exception),
            MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(exception, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  exception = 0;
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_SINGLE_COIL, kMapBits, {0xFF00}, 1, &exception), MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(exception, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
  exception = 0;
  EXPECT_EQ(Write(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, kMapRegisters - 1, RandomRegisters(2, 9), 2, &exception),
            MODBUSSTACK_CLIENT_EXCEPTION);
  EXPECT_EQ(exception, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
}

// Nobody answers: a libmodbus TCP server that takes requests and drops them,
// or an RTU line with no slave on it. The stack must give up after 3 units of
// its clock, here 10 ms each, with result 4, having sent its request.
TEST_P(StackClient, SilenceGivesResult4AfterThreeTimeUnits) {
  constexpr uint32_t kUnitMs = 10;
  struct UnitRestorer {
    ~UnitRestorer() { SetTimeUnitMs(100); }
  } restoreUnit;
  SetTimeUnitMs(kUnitMs);
  link_.reset();
  server_.reset();
  std::unique_ptr<LibmodbusServer> silent;
  if (GetParam() == Framing::kTcp) {
    silent = LibmodbusServer::StartTcp(LibmodbusServer::Replies::kNever);
    link_ = StackClientLink::ConnectTcp(silent->Port());
  } else {
    link_ = StackClientLink::OverRtu(pty_->master);
  }

  Bytes data;
  uint8_t exception = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Read(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 0, 4, data, &exception), MODBUSSTACK_CLIENT_TIMED_OUT);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  // Three units counted from a reading that may stand late in its unit: more
  // than two whole units, and nowhere near a second.
  EXPECT_GE(elapsed, std::chrono::milliseconds(2 * kUnitMs));
  EXPECT_LT(elapsed, std::chrono::seconds(1));

  if (silent) {
    for (int i = 0; i < 100 && silent->RequestsSeen() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(silent->RequestsSeen(), 1) << "the request never reached the server";
  } else {
    Bytes line(16);
    pollfd readable{pty_->slave, POLLIN, 0};
    ASSERT_EQ(poll(&readable, 1, 1000), 1) << "the request never reached the line";
    const ssize_t length = read(pty_->slave, line.data(), line.size());
    ASSERT_GT(length, 0);
    line.resize(static_cast<size_t>(length));
    EXPECT_EQ(line, WithCrc({0x01, 0x03, 0x00, 0x00, 0x00, 0x04}));
  }
}

}  // namespace
}  // namespace interop
