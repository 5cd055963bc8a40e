// SocketLayer.cpp - POSIX sockets for the Modbus transport.
#include "SocketLayer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

constexpr int kKeepAliveIdleSeconds = 60;
constexpr int kKeepAliveIntervalSeconds = 10;
constexpr int kKeepAliveProbes = 3;

thread_local int t_lastError = 0;

int Fail() {
  switch (errno) {
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
      t_lastError = kErrorWouldBlock;
      break;
    case ECONNABORTED:
      t_lastError = kErrorConnectionAborted;
      break;
    case ECONNRESET:
    case EPIPE:
      t_lastError = kErrorConnectionReset;
      break;
    default:
      t_lastError = errno;
  }
  return kSocketError;
}

bool SetOption(SocketHandle socket, int level, int option, int value) {
  return setsockopt(socket, level, option, &value, sizeof value) == 0;
}

bool MakeNonBlocking(SocketHandle socket) {
  const int flags = fcntl(socket, F_GETFL, 0);
  return flags >= 0 && fcntl(socket, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

int LastSocketError() { return t_lastError; }

SocketHandle OpenListeningSocket(const std::string& host, uint16_t port, int backlog) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    errno = EINVAL;
    Fail();
    return kInvalidSocket;
  }
  const SocketHandle listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (listener < 0) {
    Fail();
    return kInvalidSocket;
  }
  if (!SetOption(listener, SOL_SOCKET, SO_REUSEADDR, 1) || !MakeNonBlocking(listener) ||
      bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, backlog) != 0) {
    Fail();
    const int cause = errno;
    close(listener);
    errno = cause;
    return kInvalidSocket;
  }
  return listener;
}

uint16_t BoundPort(SocketHandle socket) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0 || address.sin_family != AF_INET) {
    return 0;
  }
  return ntohs(address.sin_port);
}

SocketHandle AcceptConnection(SocketHandle listener, std::string* peerAddress, uint16_t* peerPort) {
  sockaddr_in peer{};
  socklen_t peerLength = sizeof peer;
  const SocketHandle connection =
      accept4(listener, reinterpret_cast<sockaddr*>(&peer), &peerLength, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (connection < 0) {
    Fail();
    return kInvalidSocket;
  }
  // Best effort: a connection works without them, only less promptly.
  SetOption(connection, IPPROTO_TCP, TCP_NODELAY, 1);
  SetOption(connection, SOL_SOCKET, SO_KEEPALIVE, 1);
  SetOption(connection, IPPROTO_TCP, TCP_KEEPIDLE, kKeepAliveIdleSeconds);
  SetOption(connection, IPPROTO_TCP, TCP_KEEPINTVL, kKeepAliveIntervalSeconds);
  SetOption(connection, IPPROTO_TCP, TCP_KEEPCNT, kKeepAliveProbes);
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
  *peerAddress = text;
  *peerPort = ntohs(peer.sin_port);
  return connection;
}

long ReceiveBytes(SocketHandle socket, uint8_t* buffer, size_t room) {
  const ssize_t received = recv(socket, buffer, room, MSG_DONTWAIT);
  return received < 0 ? Fail() : static_cast<long>(received);
}

long SendBytes(SocketHandle socket, const uint8_t* bytes, size_t length) {
  const ssize_t sent = send(socket, bytes, length, MSG_NOSIGNAL);
  return sent < 0 ? Fail() : static_cast<long>(sent);
}

void CloseSocket(SocketHandle socket) {
  if (socket != kInvalidSocket) {
    close(socket);
  }
}

bool MakeRoomForDescriptors(size_t count) {
  // What the process holds besides its connections: standard streams, the
  // listener, the database, the web server's sockets and the odd transfer.
  constexpr rlim_t kOtherDescriptors = 128;
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
    return false;
  }
  const rlim_t wanted = static_cast<rlim_t>(count) + kOtherDescriptors;
  if (limit.rlim_cur >= wanted) {
    return true;
  }
  limit.rlim_cur = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
  return setrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur >= wanted;
}
