// LoadConnection.cpp - connecting, sending each request whole, reading
// each reply by its MBAP length, timing and checking it.
#include "LoadConnection.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "LoadFrames.h"

namespace {

// A reply later than the run's length and this grace counts as lost and
// ends the connection. A slow reply is measured, not an error: a server that
// leaves a connection waiting for the whole run shows as max latency.
constexpr int kReplyGraceSeconds = 10;

bool SendAll(int socket, const uint8_t* bytes, size_t length) {
  while (length > 0) {
    const ssize_t sent = send(socket, bytes, length, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) {
      continue;
    }
    if (sent <= 0) {
      return false;
    }
    bytes += sent;
    length -= static_cast<size_t>(sent);
  }
  return true;
}

bool ReceiveAll(int socket, uint8_t* bytes, size_t length) {
  while (length > 0) {
    const ssize_t received = recv(socket, bytes, length, 0);
    if (received < 0 && errno == EINTR) {
      continue;
    }
    if (received <= 0) {
      return false;
    }
    bytes += received;
    length -= static_cast<size_t>(received);
  }
  return true;
}

}  // namespace

OwnedSocket::~OwnedSocket() {
  if (m_descriptor >= 0) {
    close(m_descriptor);
  }
}

OwnedSocket::OwnedSocket(OwnedSocket&& other) noexcept : m_descriptor(std::exchange(other.m_descriptor, -1)) {}

OwnedSocket& OwnedSocket::operator=(OwnedSocket&& other) noexcept {
  if (this != &other) {
    OwnedSocket old(std::exchange(m_descriptor, std::exchange(other.m_descriptor, -1)));
  }
  return *this;
}

LoadConnection::LoadConnection(const LoadOptions& options, int index) : m_options(options) {
  const bool writes = options.mode == LoadMode::WriteOne || options.mode == LoadMode::WriteMany;
  const int stride = writes ? LoadModeRegisterCount(options.mode) : 0;
  m_firstRegister = static_cast<uint16_t>(options.startRegister + index * stride);
  // Values start apart from run to run, so the first write also changes
  // what an earlier run left behind.
  m_nextValue = static_cast<uint16_t>(std::chrono::steady_clock::now().time_since_epoch().count() / 1000 + index * 977);
}

bool LoadConnection::Connect(std::string* why) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(m_options.port);
  if (const int failure = getaddrinfo(m_options.host.c_str(), port.c_str(), &hints, &found); failure != 0) {
    *why = std::string("cannot resolve ") + m_options.host + ": " + gai_strerror(failure);
    return false;
  }
  OwnedSocket socket(::socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP));
  const bool connected = socket.IsOpen() && connect(socket.Get(), found->ai_addr, found->ai_addrlen) == 0;
  const int connectError = errno;
  freeaddrinfo(found);
  if (!connected) {
    *why = "cannot connect to " + m_options.host + ":" + port + ": " + std::strerror(connectError);
    return false;
  }
  const int one = 1;
  const timeval timeout{m_options.seconds + kReplyGraceSeconds, 0};
  if (setsockopt(socket.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0 ||
      setsockopt(socket.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) != 0 ||
      setsockopt(socket.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) != 0) {
    *why = std::string("cannot set socket options: ") + std::strerror(errno);
    return false;
  }
  m_socket = std::move(socket);
  return true;
}

bool LoadConnection::Exchange(const uint8_t* request, size_t length, uint8_t* reply, size_t* replyLength,
                              std::string* why) {
  if (!SendAll(m_socket.Get(), request, length)) {
    *why = std::string("send failed: ") + std::strerror(errno);
    return false;
  }
  if (!ReceiveAll(m_socket.Get(), reply, kMbapSize)) {
    *why = std::string("no reply header: ") + (errno == EAGAIN ? "timed out" : std::strerror(errno));
    return false;
  }
  *replyLength = FrameLengthFromHeader(reply);
  if (*replyLength < kMbapSize) {
    *why = "reply header with an impossible length field";
    return false;
  }
  if (!ReceiveAll(m_socket.Get(), reply + kMbapSize, *replyLength - kMbapSize)) {
    *why = std::string("reply cut short: ") + (errno == EAGAIN ? "timed out" : std::strerror(errno));
    return false;
  }
  return true;
}

void LoadConnection::Run(std::chrono::steady_clock::time_point deadline, ConnectionResult* result) {
  using Clock = std::chrono::steady_clock;
  uint8_t request[kMaxLoadRequest];
  uint8_t reply[kMaxTcpFrame];
  uint16_t transactionId = 0;
  while (Clock::now() < deadline) {
    const size_t length =
        BuildLoadRequest(m_options.mode, ++transactionId, m_options.unit, m_firstRegister, m_nextValue++, request);
    size_t replyLength = 0;
    std::string why;
    const Clock::time_point sent = Clock::now();
    if (!Exchange(request, length, reply, &replyLength, &why)) {
      // The stream can no longer be trusted: this connection stops.
      ++result->errors;
      if (result->firstError.empty()) {
        result->firstError = why;
      }
      return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent);
    result->latenciesUs.push_back(static_cast<uint32_t>(elapsed.count()));
    if (CheckLoadReply(request, reply, replyLength, &why)) {
      ++result->requests;
    } else {
      ++result->errors;
      if (result->firstError.empty()) {
        result->firstError = why;
      }
    }
  }
}
