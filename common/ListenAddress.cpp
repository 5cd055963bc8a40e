// ListenAddress.cpp - reading "ADDR:PORT" listen addresses.
#include "ListenAddress.h"

#include <arpa/inet.h>

#include <charconv>

std::optional<ListenAddress> ParseListenAddress(const std::string& text, std::string* why) {
  const auto fail = [why, &text](const char* reason) -> std::optional<ListenAddress> {
    if (why != nullptr) {
      *why = "'" + text + "' " + reason;
    }
    return std::nullopt;
  };
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos) {
    return fail("is not ADDR:PORT (an IPv4 address and a port, as in 0.0.0.0:502)");
  }
  ListenAddress address;
  address.host = text.substr(0, colon);
  in_addr parsed{};
  if (inet_pton(AF_INET, address.host.c_str(), &parsed) != 1) {
    return fail("does not begin with an IPv4 address such as 0.0.0.0 or 127.0.0.1");
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
