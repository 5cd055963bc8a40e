// ServerPassBenchmark.cpp - cost of one Modbus TCP server pass
// (ModbusStack_Loop + ModbusStack_Flush) with in-memory callbacks that do as
// little as possible: the receive callback copies a prepared request, the
// send callback only notes the response length, the value callbacks accept.
//
// Every pass's response length is checked against the one the request must
// produce; a mismatch stops the benchmark with an error, so an exception
// path can never be measured in place of the real work; the program then
// exits non-zero.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "ModbusStack.h"

namespace {

constexpr uint8_t kUnitNotUsed = 0xFF;  // answered whatever the slave id

// The request the receive callback delivers on every pass, and what the send
// callback saw of the last response.
std::vector<uint8_t> g_request;
uint16_t g_sentLength = 0;
bool g_anyPassFailed = false;

uint16_t ReceiveRequest(uint32_t* connectionId, uint8_t* buffer, uint16_t room) {
  const uint16_t length = static_cast<uint16_t>(g_request.size());
  if (length > room) {
    return 0;
  }
  std::memcpy(buffer, g_request.data(), length);
  *connectionId = 1;
  return length;
}

bool SendResponse(uint16_t, const uint8_t*, uint16_t length) {
  g_sentLength = length;
  return true;
}

uint32_t Clock() { return 0; }

bool ReadValues(uint8_t, uint8_t, uint16_t, uint16_t, uint16_t*, uint16_t, uint8_t*) { return true; }

bool WriteValues(uint8_t, uint8_t, uint16_t, uint16_t, uint16_t* values, uint16_t, uint8_t*) {
  benchmark::DoNotOptimize(values);
  return true;
}

void Append16(std::vector<uint8_t>* bytes, uint16_t value) {
  bytes->push_back(static_cast<uint8_t>(value >> 8));
  bytes->push_back(static_cast<uint8_t>(value & 0xFF));
}

// A Modbus TCP request: MBAP header, then unit, function code and data.
std::vector<uint8_t> TcpRequest(uint8_t function, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> frame;
  Append16(&frame, 0x0001);                                  // transaction
  Append16(&frame, 0x0000);                                  // protocol
  Append16(&frame, static_cast<uint16_t>(2 + data.size()));  // unit + PDU
  frame.push_back(kUnitNotUsed);
  frame.push_back(function);
  frame.insert(frame.end(), data.begin(), data.end());
  return frame;
}

std::vector<uint8_t> ReadHoldingRegisters(uint16_t quantity) {
  std::vector<uint8_t> data;
  Append16(&data, 0x0000);
  Append16(&data, quantity);
  return TcpRequest(MODBUSSTACK_FC_READ_HOLDING_REGISTERS, data);
}

std::vector<uint8_t> WriteMultipleRegisters(uint16_t quantity) {
  std::vector<uint8_t> data;
  Append16(&data, 0x0000);
  Append16(&data, quantity);
  data.push_back(static_cast<uint8_t>(2 * quantity));
  for (uint16_t i = 0; i < quantity; ++i) {
    Append16(&data, static_cast<uint16_t>(0x1000 + i));
  }
  return TcpRequest(MODBUSSTACK_FC_WRITE_MULTIPLE_REGISTERS, data);
}

// Runs server passes on `request`; each must send a response of
// `responseLength` bytes. `registers` is the number of registers it moves.
void RunServerPass(benchmark::State& state, const std::vector<uint8_t>& request, uint16_t responseLength,
                   uint16_t registers) {
  if (ModbusStack_Init(MODBUSSTACK_PROTOCOL_TCP, SendResponse, ReceiveRequest, Clock) != MODBUSSTACK_INIT_READY ||
      !ModbusStack_SetSlaveId(1)) {
    g_anyPassFailed = true;
    state.SkipWithError("stack set-up failed");
    return;
  }
  ModbusStack_RegisterGetValue(ReadValues);
  ModbusStack_RegisterSetValue(WriteValues);
  g_request = request;
  for (auto _ : state) {
    g_sentLength = 0;
    const uint32_t result = ModbusStack_Loop();
    ModbusStack_Flush();
    if (result != MODBUSSTACK_LOOP_OK || g_sentLength != responseLength) {
      g_anyPassFailed = true;
      state.SkipWithError("server pass did not send the expected response");
      break;
    }
  }
  const auto passes = static_cast<int64_t>(state.iterations());
  state.SetBytesProcessed(passes * static_cast<int64_t>(request.size() + responseLength));
  state.SetItemsProcessed(passes * registers);
  state.counters["request_bytes"] = static_cast<double>(request.size());
  state.counters["response_bytes"] = responseLength;
}

// MBAP header (7 bytes with the unit), function code, byte count, registers.
constexpr uint16_t ReadResponseLength(uint16_t registers) { return static_cast<uint16_t>(7 + 2 + 2 * registers); }
// MBAP header, function code, starting address and quantity echoed.
constexpr uint16_t kWriteResponseLength = 7 + 1 + 4;

void BM_TcpPass_Fc3Read1(benchmark::State& state) {
  RunServerPass(state, ReadHoldingRegisters(1), ReadResponseLength(1), 1);
}

void BM_TcpPass_Fc3Read125(benchmark::State& state) {
  RunServerPass(state, ReadHoldingRegisters(125), ReadResponseLength(125), 125);
}

void BM_TcpPass_Fc16Write123(benchmark::State& state) {
  RunServerPass(state, WriteMultipleRegisters(123), kWriteResponseLength, 123);
}

}  // namespace

BENCHMARK(BM_TcpPass_Fc3Read1);
BENCHMARK(BM_TcpPass_Fc3Read125);
BENCHMARK(BM_TcpPass_Fc16Write123);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return g_anyPassFailed ? 1 : 0;
}
