// UrlParts.cpp - libcurl's URL handle (CURLU) owned by RAII, its parts read
// out as text, and the check that the authority stands as it was written.
#include "UrlParts.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

struct UrlCleanup {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// One part of a parsed URL; empty when the URL has none.
std::string PartOf(CURLU* url, CURLUPart which, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url, which, &text, flags) != CURLUE_OK || text == nullptr) {
    return std::string();
  }
  std::string copy(text);
  curl_free(text);
  return copy;
}

bool HasPart(CURLU* url, CURLUPart which) {
  char* text = nullptr;
  const bool has = curl_url_get(url, which, &text, 0) == CURLUE_OK && text != nullptr;
  curl_free(text);
  return has;
}

// The authority as written in text: after "://", up to the first "/", "?"
// or "#"; nothing when text has no "://".
std::optional<std::string> WrittenAuthority(const std::string& text) {
  const size_t separator = text.find("://");
  if (separator == std::string::npos) {
    return std::nullopt;
  }
  const size_t start = separator + 3;
  const size_t end = text.find_first_of("/?#", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool AuthorityAsWritten(const std::string& text, const UrlParts& parts) {
  const std::optional<std::string> written = WrittenAuthority(text);
  if (!written || parts.hasUserInfo || !parts.zoneId.empty()) {
    return false;
  }
  const std::string host = Lower(parts.host);
  const std::string authority = Lower(*written);
  return authority == host || authority == host + ":" + parts.port;
}

}  // namespace

std::optional<UrlParts> ParseUrl(const std::string& text) {
  const std::unique_ptr<CURLU, UrlCleanup> url(curl_url());
  if (!url || curl_url_set(url.get(), CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    return std::nullopt;
  }
  UrlParts parts;
  parts.scheme = Lower(PartOf(url.get(), CURLUPART_SCHEME));
  parts.host = PartOf(url.get(), CURLUPART_HOST);
  if (parts.scheme.empty() || parts.host.empty()) {
    return std::nullopt;
  }
  parts.zoneId = PartOf(url.get(), CURLUPART_ZONEID);
  parts.port = PartOf(url.get(), CURLUPART_PORT);
  parts.portOrDefault = PartOf(url.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
  parts.hasUserInfo = HasPart(url.get(), CURLUPART_USER) || HasPart(url.get(), CURLUPART_PASSWORD);
  parts.authorityAsWritten = AuthorityAsWritten(text, parts);
  return parts;
}

std::optional<UrlParts> ParseAuthority(const std::string& text) {
  if (text.find_first_of("@/?#") != std::string::npos) {
    return std::nullopt;
  }
  return ParseUrl("http://" + text);
}
