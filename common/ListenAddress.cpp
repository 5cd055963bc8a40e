// ListenAddress.cpp - reading "ADDR:PORT" and "[ADDR]:PORT" listen addresses,
// and the socket address of one.
#include "ListenAddress.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <charconv>

namespace {

// The host part before the port's colon: an IPv4 address as it stands, an
// IPv6 one without its brackets. False when it is neither.
bool ReadHost(const std::string& written, std::string* host) {
  if (written.size() >= 2 && written.front() == '[' && written.back() == ']') {
    *host = written.substr(1, written.size() - 2);
    in6_addr parsed{};
    return inet_pton(AF_INET6, host->c_str(), &parsed) == 1;
  }
  *host = written;
  in_addr parsed{};
  return inet_pton(AF_INET, host->c_str(), &parsed) == 1;
}

}  // namespace

std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string* why) {
  const auto fail = [why, &text](const char* reason) -> std::optional<ListenAddress> {
    if (why != nullptr) {
      *why = "'" + text + "' " + reason;
    }
    return std::nullopt;
  };
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || text.back() == ']') {
    return fail("is not ADDR:PORT (an IPv4 address, or an IPv6 one in brackets, and a port, as in 0.0.0.0:502)");
  }
  ListenAddress address;
  if (!ReadHost(text.substr(0, colon), &address.host)) {
    return fail("does not begin with an IPv4 address such as 0.0.0.0 or 127.0.0.1, or an IPv6 one such as [::1]");
  }
  const char* const first = text.data() + colon + 1;
  const char* const last = text.data() + text.size();
  unsigned port = 0;
  const auto [end, error] = std::from_chars(first, last, port);
  if (first == last || error != std::errc() || end != last || port > 65535) {
    return fail("does not end with a port from 0 to 65535");
  }
  address.port = static_cast<uint16_t>(port);
  return address;
}

bool FillSocketAddress(const std::string& host, uint16_t port, sockaddr_storage* address, socklen_t* length) {
  *address = sockaddr_storage{};
  auto& ipv4 = reinterpret_cast<sockaddr_in&>(*address);
  if (inet_pton(AF_INET, host.c_str(), &ipv4.sin_addr) == 1) {
    ipv4.sin_family = AF_INET;
    ipv4.sin_port = htons(port);
    *length = sizeof ipv4;
    return true;
  }
  auto& ipv6 = reinterpret_cast<sockaddr_in6&>(*address);
  if (inet_pton(AF_INET6, host.c_str(), &ipv6.sin6_addr) == 1) {
    ipv6.sin6_family = AF_INET6;
    ipv6.sin6_port = htons(port);
    *length = sizeof ipv6;
    return true;
  }
  return false;
}
