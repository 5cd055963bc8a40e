// ModbusListener.cpp - opening the listener, accepting connections and the
// service loop.
#include "ModbusListener.h"

#include <poll.h>

#include <string>
#include <vector>

#include "ConsoleLog.h"
#include "ModbusStack.h"
#include "StackEntryPoints.h"

namespace {

// How long an idle pass waits for a socket to become ready.
constexpr int kIdleWaitMs = 100;

// Waits until a connection has data or a client waits to be accepted (when
// there is room for one), or waitMs has passed.
void WaitForActivity(const CTCP& transport, int waitMs) {
  if (transport.HasBufferedFrame()) {
    return;
  }
  std::vector<pollfd> sockets;
  if (transport.ConnectionCount() < transport.ConnectionMax && transport.ListeningSocket() != kInvalidSocket) {
    sockets.push_back({transport.ListeningSocket(), POLLIN, 0});
  }
  for (const CTCP::Connection& connection : transport.Connections()) {
    sockets.push_back({connection.socket, POLLIN, 0});
  }
  poll(sockets.data(), sockets.size(), waitMs);
}

void AcceptOne(CTCP& transport) {
  if (transport.ConnectionCount() >= transport.ConnectionMax) {
    ConsoleLog("CTCP::Accept - Error Max connections reached\n");
    return;
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
  WaitForActivity(transport, waitMs);
  if (transport.ConnectionCount() != state.loggedConnectionCount) {
    state.loggedConnectionCount = transport.ConnectionCount();
    ConsoleLog("FYI: The number of connections changed to [%d]\n", static_cast<int>(state.loggedConnectionCount));
  }
  AcceptOne(transport);
  const StackEntryPoints& stack = TheStackEntryPoints();
  stack.Loop();
  stack.Flush();
}

void RunServiceLoop(CTCP& transport) {
  ServiceLoopState state;
  for (;;) {
    RunServicePass(transport, state, kIdleWaitMs);
  }
}
