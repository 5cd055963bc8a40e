// ModbusListener.h - the Modbus TCP listener (port 502 unless set otherwise)
// and the service loop that runs on the main thread until a termination
// signal: log a change of the connection count, accept at most one
// connection, let the stack serve one request. A newcomer at a full table
// takes the place of the connection idle longest (at least 10 s without a
// request) or is closed at once.
#pragma once

#include <sys/socket.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "ListenAddress.h"
#include "RtuSerialLine.h"
#include "TcpTransport.h"

// Connections the kernel completes and holds for accept: a burst of clients
// (a SCADA system's start, many pollers reconnecting after a restart) waits
// there rather than having its connection attempts dropped and retried a
// second or more later. SOMAXCONN is the system's cap (4096 on current
// Linux); net.core.somaxconn may lower it.
constexpr int kListenBacklog = SOMAXCONN;

// Sets the transport's limit to maxConnections and opens its listening
// socket at address. False, logged with the cause, when the socket cannot be
// opened.
bool OpenModbusListener(CTCP& transport, const ListenAddress& address, uint32_t maxConnections);

// What the loop remembers between passes.
struct ServiceLoopState {
  size_t loggedConnectionCount = 0;
  // When "Max connections reached" was last logged; it is logged at most
  // once a second, however many newcomers find the table full.
  std::optional<std::chrono::steady_clock::time_point> limitLoggedAt;
  // Called whenever the loop has gone quiet (nothing ready for a moment)
  // and, under steady load, at least every 100 ms, with the log written out:
  // for whatever is kept open only while requests stream in.
  std::function<void()> onPause;
  // The serial line served next to the TCP connections; null for none.
  RtuSerialLine* serialLine = nullptr;
};

// One pass. When nothing is ready (no buffered frame, no data on any
// connection, nobody waiting to connect), it first waits up to waitMs for
// something to become ready, so that an idle server does not spin. A client
// waiting to connect is accepted also when the table is full, and then
// either admitted in place of an idle connection or closed, so that it does
// not stay ready in the backlog.
void RunServicePass(CTCP& transport, ServiceLoopState& state, int waitMs);

// Passes until SIGTERM or SIGINT arrives, and returns that signal's number;
// onPause and serialLine as in ServiceLoopState. The log is written out on
// the way.
int RunServiceLoop(CTCP& transport, std::function<void()> onPause = nullptr, RtuSerialLine* serialLine = nullptr);
