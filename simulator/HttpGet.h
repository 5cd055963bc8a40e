// HttpGet.h - one HTTP GET to an upstream API with libcurl: bounded in time
// and size, TLS certificates and host names verified, no redirects.
#pragma once

#include <string>

namespace weather_service {

struct HttpReply {
  bool transferred = false;  // an HTTP answer arrived whole
  long status = 0;           // its status code
  std::string body;
  std::string error;  // why there is no answer (libcurl's text)
};

// Longest body taken from an upstream API; a longer one fails the transfer.
constexpr size_t kMaxUpstreamBodyBytes = 1024 * 1024;

// GETs url, with "Accept: application/json", within timeoutMs (connect
// included). libcurl's global initialisation must have been done.
HttpReply HttpGet(const std::string& url, long timeoutMs);

}  // namespace weather_service
