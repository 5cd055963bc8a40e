// ListenAddress.h - an IPv4 or IPv6 address and TCP port to listen on, as
// written on a command line or in a configuration file ("0.0.0.0:502",
// "[::1]:502"; an IPv6 address in brackets, as in a URL).
#pragma once

#include <sys/socket.h>

#include <cstdint>
#include <optional>
#include <string>

struct ListenAddress {
  // Dotted IPv4 address or IPv6 address without brackets; "0.0.0.0" and
  // "::" are every local address.
  std::string host;
  uint16_t port = 0;  // 0 lets the system choose a free port

  bool IsIPv6() const { return host.find(':') != std::string::npos; }
  // Every local address of its family.
  bool IsAnyAddress() const { return host == "0.0.0.0" || host == "::"; }
  // The host as a URL writes it: an IPv6 address in brackets.
  std::string UrlHost() const { return IsIPv6() ? "[" + host + "]" : host; }
  // "ADDR:PORT", or "[ADDR]:PORT" for IPv6: the form ParseListenAddress reads.
  std::string ToString() const { return UrlHost() + ":" + std::to_string(port); }
  bool operator==(const ListenAddress& other) const { return host == other.host && port == other.port; }
};

// Reads "ADDR:PORT" (a dotted IPv4 address) or "[ADDR]:PORT" (an IPv6
// address without a zone) and a port from 0 to 65535. On failure returns
// nothing and says why in *why (when given).
std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string* why = nullptr);

// The socket address of a numeric IPv4 or IPv6 host (as ListenAddress holds
// it) and port, for bind or connect, and its length. False when host is
// neither.
bool FillSocketAddress(const std::string& host, uint16_t port, sockaddr_storage* address, socklen_t* length);
