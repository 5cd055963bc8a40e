// ModbusListener.h - the Modbus TCP listener on port 502 and the service loop
// that runs on the main thread for ever: log a change of the connection
// count, accept at most one connection, let the stack serve one request.
#pragma once

#include <cstdint>
#include <functional>

#include "TcpTransport.h"

constexpr uint16_t kModbusTcpPort = 502;
constexpr int kListenBacklog = 5;
constexpr uint32_t kServerConnectionMax = 100;

// Raises the transport's limit to 100 connections and opens its listening
// socket on port (every local IPv4 address). False, logged, when the socket
// cannot be opened.
bool OpenModbusListener(CTCP& transport, uint16_t port = kModbusTcpPort);

// What the loop remembers between passes.
struct ServiceLoopState {
  size_t loggedConnectionCount = 0;
  // Called whenever the loop has gone quiet (nothing ready for a moment)
  // and, under steady load, at least every 100 ms, with the log written out:
  // for whatever is kept open only while requests stream in.
  std::function<void()> onPause;
};

// One pass. When nothing is ready (no buffered frame, no data on any
// connection, nobody waiting to connect), it first waits up to waitMs for
// something to become ready, so that an idle server does not spin.
void RunServicePass(CTCP& transport, ServiceLoopState& state, int waitMs);

// Passes for ever; onPause as in ServiceLoopState.
[[noreturn]] void RunServiceLoop(CTCP& transport, std::function<void()> onPause = nullptr);
