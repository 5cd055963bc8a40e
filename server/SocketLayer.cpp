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
#include <string>

#include "ListenAddress.h"

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

// A peer's address as the log lines print it, and its port. An IPv4 client
// of a dual-stack listener arrives as an IPv4-mapped IPv6 address and is
// printed as the IPv4 address it is.
std::string PeerAddressText(const sockaddr_storage& peer, uint16_t* port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (peer.ss_family == AF_INET6) {
    const auto& ipv6 = reinterpret_cast<const sockaddr_in6&>(peer);
    *port = ntohs(ipv6.sin6_port);
    if (IN6_IS_ADDR_V4MAPPED(&ipv6.sin6_addr)) {
      constexpr size_t kMappedIPv4Offset = 12;  // ::ffff: then the four IPv4 bytes
      inet_ntop(AF_INET, ipv6.sin6_addr.s6_addr + kMappedIPv4Offset, text, sizeof text);
    } else {
      inet_ntop(AF_INET6, &ipv6.sin6_addr, text, sizeof text);
    }
    return text;
  }
  const auto& ipv4 = reinterpret_cast<const sockaddr_in&>(peer);
  *port = ntohs(ipv4.sin_port);
  inet_ntop(AF_INET, &ipv4.sin_addr, text, sizeof text);
  return text;
}

}  // namespace

int LastSocketError() { return t_lastError; }

SocketHandle OpenListeningSocket(const std::string& host, uint16_t port, int backlog) {
  sockaddr_storage address{};
  socklen_t addressLength = 0;
  if (!FillSocketAddress(host, port, &address, &addressLength)) {
    errno = EINVAL;
    Fail();
    return kInvalidSocket;
  }
  const SocketHandle listener = socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (listener < 0) {
    Fail();
    return kInvalidSocket;
  }
  // An IPv6 socket on "::" also takes IPv4 clients (as IPv4-mapped
  // addresses) where the system allows, whatever net.ipv6.bindv6only says;
  // if it cannot, it serves IPv6 alone.
  if (address.ss_family == AF_INET6) {
    SetOption(listener, IPPROTO_IPV6, IPV6_V6ONLY, 0);
  }
  if (!SetOption(listener, SOL_SOCKET, SO_REUSEADDR, 1) || !MakeNonBlocking(listener) ||
      bind(listener, reinterpret_cast<const sockaddr*>(&address), addressLength) != 0 ||
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
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return 0;
  }
  if (address.ss_family == AF_INET) {
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
  }
  if (address.ss_family == AF_INET6) {
    return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
  }
  return 0;
}

SocketHandle AcceptConnection(SocketHandle listener, std::string* peerAddress, uint16_t* peerPort) {
  sockaddr_storage peer{};
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
  *peerAddress = PeerAddressText(peer, peerPort);
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
