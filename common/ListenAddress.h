// ListenAddress.h - an IPv4 address and TCP port to listen on, as written on
// a command line or in a configuration file ("0.0.0.0:502").
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct ListenAddress {
  std::string host;   // dotted IPv4 address; "0.0.0.0" is every local address
  uint16_t port = 0;  // 0 lets the system choose a free port

  std::string ToString() const { return host + ":" + std::to_string(port); }
  bool operator==(const ListenAddress& other) const { return host == other.host && port == other.port; }
};

// Reads "ADDR:PORT": a dotted IPv4 address and a port from 0 to 65535. On
// failure returns nothing and says why in *why (when given).
std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string* why = nullptr);
