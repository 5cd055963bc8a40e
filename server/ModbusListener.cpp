// ModbusListener.cpp - opening the listener, accepting connections and the
// service loop.
#include "ModbusListener.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "ConsoleLog.h"
#include "ModbusStack.h"
#include "StackEntryPoints.h"
#include "TerminationSignals.h"

namespace {

// How long an idle pass waits for a socket to become ready.
constexpr int kIdleWaitMs = 100;

// The log goes out in blocks rather than line by line (a write costs more
// than serving a request): once no socket has been ready for kQuietMs, and
// under steady load at least every kLogFlushInterval, which also carries
// out the web threads' lines.
constexpr int kQuietMs = 1;
constexpr auto kLogFlushInterval = std::chrono::milliseconds(100);

// "Max connections reached" is logged no more often than this.
constexpr auto kLimitLogInterval = std::chrono::seconds(1);

std::chrono::steady_clock::time_point g_lastPause;

void Pause(const ServiceLoopState& state) {
  if (state.onPause) {
    state.onPause();
  }
  ConsoleFlush();
  g_lastPause = std::chrono::steady_clock::now();
}

void PauseIfDue(const ServiceLoopState& state) {
  if (std::chrono::steady_clock::now() - g_lastPause >= kLogFlushInterval) {
    Pause(state);
  }
}

// What a wait found: whether a client waits to be accepted, and how many
// frames the pass can serve without waiting again.
struct Activity {
  bool clientWaiting = false;
  size_t frames = 0;
};

// Adds the serial line, when open, after the connections and shortens the
// wait to when silence would end the frame it is receiving. Returns its
// place in sockets, or sockets.size() when it is not watched.
size_t WatchSerialLine(RtuSerialLine* line, std::vector<pollfd>& sockets, int& waitMs) {
  if (line == nullptr || !line->IsOpen()) {
    return sockets.size();
  }
  sockets.push_back({line->Descriptor(), POLLIN, 0});
  if (const auto left = line->UntilFrameEnd(std::chrono::steady_clock::now())) {
    const auto roundedUp = std::chrono::ceil<std::chrono::milliseconds>(*left);
    waitMs = std::min(waitMs, static_cast<int>(roundedUp.count()));
  }
  return sockets.size() - 1;
}

// Tells the serial line what the wait found; 1 when it then holds a frame.
size_t ObserveSerialLine(RtuSerialLine* line, const std::vector<pollfd>& sockets, size_t at) {
  if (at >= sockets.size()) {
    return 0;
  }
  const short events = sockets[at].revents;
  line->Observe((events & POLLIN) != 0, (events & (POLLERR | POLLHUP | POLLNVAL)) != 0,
                std::chrono::steady_clock::now());
  return line->HasFrame() ? 1 : 0;
}

// Waits until a connection has data or a client waits to be accepted, or
// waitMs has passed; does not wait when a frame is buffered already. After
// the first kQuietMs of waiting the log is written out. The transport is
// told which connections are readable.
Activity WaitForActivity(CTCP& transport, const ServiceLoopState& state, int waitMs) {
  // Kept from pass to pass (the service loop's thread only), so that a pass
  // does not allocate.
  thread_local std::vector<pollfd> sockets;
  sockets.clear();
  const bool listening = transport.ListeningSocket() != kInvalidSocket;
  if (listening) {
    sockets.push_back({transport.ListeningSocket(), POLLIN, 0});
  }
  for (const CTCP::Connection& connection : transport.Connections()) {
    sockets.push_back({connection.socket, POLLIN, 0});
  }
  const size_t buffered = transport.BufferedFrameCount();
  if (buffered != 0) {
    waitMs = 0;
  }
  const size_t serialAt = WatchSerialLine(state.serialLine, sockets, waitMs);
  int ready = poll(sockets.data(), sockets.size(), std::min(waitMs, kQuietMs));
  if (ready == 0 && waitMs > kQuietMs) {
    Pause(state);  // quiet: the log is up to date while the server waits
    ready = poll(sockets.data(), sockets.size(), waitMs - kQuietMs);
  }
  Activity activity;
  activity.clientWaiting = ready > 0 && listening && (sockets.front().revents & POLLIN) != 0;
  activity.frames = buffered + transport.MarkReadableConnections(sockets, listening ? 1 : 0) +
                    ObserveSerialLine(state.serialLine, sockets, serialAt);
  return activity;
}

// The limit line, at most once every kLimitLogInterval.
void LogLimitReached(ServiceLoopState& state, std::chrono::steady_clock::time_point now) {
  if (state.limitLoggedAt && now - *state.limitLoggedAt < kLimitLogInterval) {
    return;
  }
  state.limitLoggedAt = now;
  LogWarning("CTCP::Accept - Error Max connections reached\n");
}

void AcceptOne(CTCP& transport, ServiceLoopState& state, bool clientWaiting) {
  if (!clientWaiting) {
    return;  // accept would only say that nobody waits
  }
  std::string address;
  uint16_t port = 0;
  const SocketHandle socket = AcceptConnection(transport.ListeningSocket(), &address, &port);
  if (socket == kInvalidSocket) {
    const int error = LastSocketError();
    if (error != kErrorWouldBlock) {
      LogError("CTCP::Accept - Error. error=[%d]\n", error);
    }
    return;
  }
  if (transport.ConnectionCount() >= transport.ConnectionMax) {
    const auto now = std::chrono::steady_clock::now();
    LogLimitReached(state, now);
    if (!transport.EvictIdlest(now)) {
      transport.Refuse(socket, address, port);
      return;
    }
  }
  const uint32_t connectionId = transport.AddConnection(socket);
  LogInfo("CTCP::Accept - Received incoming connection from IP address=[%s] port=[%u], connectionId=[%u]\n",
          address.c_str(), port, connectionId);
  LogInfo("FYI: Got a connection from IP address=[%s] port=[%d]... \n", address.c_str(), port);
}

}  // namespace

bool OpenModbusListener(CTCP& transport, const ListenAddress& address, uint32_t maxConnections) {
  transport.ConnectionMax = maxConnections;
  LogInfo("FYI: Modbus ConnectionMax: %d\n", transport.ConnectionMax);
  if (!MakeRoomForDescriptors(maxConnections)) {
    LogError("Error: The open-file limit is too low for [%u] connections; raise it (ulimit -n, LimitNOFILE=)\n",
             maxConnections);
  }
  const SocketHandle listener = OpenListeningSocket(address.host, address.port, kListenBacklog);
  const int cause = errno;
  transport.SetListeningSocket(listener);
  if (listener == kInvalidSocket) {
    LogError("Error: Can not listen to TCP address=[%s]: %s\n", address.ToString().c_str(), std::strerror(cause));
    if (cause == EADDRINUSE) {
      LogError("\nError: Can not listen to TCP port=[%d]... Is there a Modbus server already running?\n", address.port);
    } else if (cause == EACCES) {
      LogError(
          "Error: Ports below 1024 need root or the CAP_NET_BIND_SERVICE capability "
          "(setcap cap_net_bind_service=+ep on the program), or choose another with --modbus-listen\n");
    }
    return false;
  }
  LogInfo("FYI: Waiting on TCP connection TCP port=[%d]... \n", BoundPort(listener));
  return true;
}

void RunServicePass(CTCP& transport, ServiceLoopState& state, int waitMs) {
  const Activity activity = WaitForActivity(transport, state, waitMs);
  if (transport.ConnectionCount() != state.loggedConnectionCount) {
    state.loggedConnectionCount = transport.ConnectionCount();
    LogInfo("FYI: The number of connections changed to [%d]\n", static_cast<int>(state.loggedConnectionCount));
  }
  AcceptOne(transport, state, activity.clientWaiting);
  // As many frames as the wait found readable connections and buffered
  // frames are served in this pass, so that one wait serves many clients;
  // the transport's rounds keep a busy client from going twice while
  // another waits.
  const StackEntryPoints& stack = TheStackEntryPoints();
  for (size_t served = 0; served < std::max<size_t>(activity.frames, 1); ++served) {
    stack.Loop();
    stack.Flush();
  }
}

int RunServiceLoop(CTCP& transport, std::function<void()> onPause, RtuSerialLine* serialLine) {
  ServiceLoopState state;
  state.onPause = std::move(onPause);
  state.serialLine = serialLine;
  for (;;) {
    RunServicePass(transport, state, kIdleWaitMs);
    PauseIfDue(state);
    if (const int signal = PendingTerminationSignal(); signal != 0) {
      Pause(state);
      return signal;
    }
  }
}
