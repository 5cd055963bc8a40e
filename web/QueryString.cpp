// QueryString.cpp - splitting and decoding request parameters.
#include "QueryString.h"

#include <curl/curl.h>

#include <algorithm>
#include <limits>
#include <memory>

#include "DataTable.h"

namespace {

struct CurlCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlFree {
  void operator()(char* text) const { curl_free(text); }
};

}  // namespace

int ParseQueryString(const char* query, QueryParameters& parameters) {
  if (query == nullptr) {
    return 0;
  }
  const std::string text(query);
  int count = 0;
  size_t position = 0;
  while (position < text.size()) {
    const size_t equals = text.find('=', position);
    if (equals == std::string::npos) {
      break;
    }
    const size_t ampersand = text.find('&', equals + 1);
    const size_t valueEnd = ampersand == std::string::npos ? text.size() : ampersand;
    parameters[text.substr(position, equals - position)] = text.substr(equals + 1, valueEnd - equals - 1);
    ++count;
    position = ampersand == std::string::npos ? text.size() : ampersand + 1;
  }
  return count;
}

int32_t ParseNumber(const std::string& text) {
  const int64_t value = ParseLeadingInteger(text);
  return static_cast<int32_t>(
      std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

std::string PercentDecode(const std::string& text) {
  const std::unique_ptr<CURL, CurlCleanup> handle(curl_easy_init());
  if (!handle) {
    return std::string();
  }
  const std::unique_ptr<char, CurlFree> decoded(
      curl_easy_unescape(handle.get(), text.c_str(), static_cast<int>(text.size()), nullptr));
  return decoded ? std::string(decoded.get()) : std::string();
}
