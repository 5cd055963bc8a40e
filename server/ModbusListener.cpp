// ModbusListener.cpp - opening the listener, accepting connections and the
// service loop.
#include "ModbusListener.h"

#include <poll.h>

#include <chrono>
#include <string>
#include <vector>

#include "ConsoleLog.h"
#include "ModbusStack.h"
#include "StackEntryPoints.h"
#include "TerminationSignals.h"

namespace {

// How long an idle pass waits for a socket to become ready.
constexpr int kIdleWaitMs = 100;

// The log goes out in blocks rather than line by line (a write per line
// costs more than serving a request): before every Modbus answer (see
// CTCP::SendMessage), whenever the loop is about to wait, and at least this
// often, for the web threads' lines.
constexpr auto kLogFlushInterval = std::chrono::milliseconds(100);

std::chrono::steady_clock::time_point g_lastLogFlush;

void FlushLog() {
  ConsoleFlush();
  g_lastLogFlush = std::chrono::steady_clock::now();
}

void FlushLogIfDue() {
  if (std::chrono::steady_clock::now() - g_lastLogFlush >= kLogFlushInterval) {
    FlushLog();
  }
}

// Waits until a connection has data or a client waits to be accepted (when
// there is room for one), or waitMs has passed; does not wait when a frame
// is buffered already or a socket is ready. Returns true when a client
// waits to be accepted.
bool WaitForActivity(const CTCP& transport, int waitMs) {
  std::vector<pollfd> sockets;
  const bool listening =
      transport.ConnectionCount() < transport.ConnectionMax && transport.ListeningSocket() != kInvalidSocket;
  if (listening) {
    sockets.push_back({transport.ListeningSocket(), POLLIN, 0});
  }
  for (const CTCP::Connection& connection : transport.Connections()) {
    sockets.push_back({connection.socket, POLLIN, 0});
  }
  int ready = poll(sockets.data(), sockets.size(), 0);
  if (ready == 0 && !transport.HasBufferedFrame()) {
    FlushLog();  // about to wait: the log is up to date while idle
    ready = poll(sockets.data(), sockets.size(), waitMs);
  }
  return ready > 0 && listening && (sockets.front().revents & POLLIN) != 0;
}

void AcceptOne(CTCP& transport, bool clientWaiting) {
  if (transport.ConnectionCount() >= transport.ConnectionMax) {
    ConsoleLog("CTCP::Accept - Error Max connections reached\n");
    return;
  }
  if (!clientWaiting) {
    return;  // accept would only say that nobody waits
  }
  std::string address;
  uint16_t port = 0;
  const SocketHandle socket = AcceptConnection(transport.ListeningSocket(), &address, &port);
  if (socket == kInvalidSocket) {
    const int error = LastSocketError();
    if (error != kErrorWouldBlock) {
      ConsoleLog("CTCP::Accept - Error. error=[%d]\n", error);
    }
    return;
  }
  const uint32_t connectionId = transport.AddConnection(socket);
  ConsoleLog("CTCP::Accept - Received incoming connection from IP address=[%s] port=[%u], connectionId=[%u]\n",
             address.c_str(), port, connectionId);
  ConsoleLog("FYI: Got a connection from IP address=[%s] port=[%d]... \n", address.c_str(), port);
}

}  // namespace

bool OpenModbusListener(CTCP& transport, uint16_t port) {
  transport.ConnectionMax = kServerConnectionMax;
  ConsoleLog("FYI: Modbus ConnectionMax: %d\n", transport.ConnectionMax);
  const SocketHandle listener = OpenListeningSocket(port, kListenBacklog);
  transport.SetListeningSocket(listener);
  if (listener == kInvalidSocket) {
    ConsoleLog("\nError: Can not listen to TCP port=[%d]... Is there a Modbus server already running?\n", port);
    return false;
  }
  ConsoleLog("FYI: Waiting on TCP connection TCP port=[%d]... \n", port);
  return true;
}

void RunServicePass(CTCP& transport, ServiceLoopState& state, int waitMs) {
  const bool clientWaiting = WaitForActivity(transport, waitMs);
  if (transport.ConnectionCount() != state.loggedConnectionCount) {
    state.loggedConnectionCount = transport.ConnectionCount();
    ConsoleLog("FYI: The number of connections changed to [%d]\n", static_cast<int>(state.loggedConnectionCount));
  }
  AcceptOne(transport, clientWaiting);
  const StackEntryPoints& stack = TheStackEntryPoints();
  stack.Loop();
  stack.Flush();
}

void RunServiceLoop(CTCP& transport) {
  ServiceLoopState state;
  for (;;) {
    RunServicePass(transport, state, kIdleWaitMs);
    FlushLogIfDue();
    if (const int signal = PendingTerminationSignal(); signal != 0) {
      TerminateBySignal(signal);
    }
  }
}
