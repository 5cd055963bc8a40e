// HttpClient.cpp - the libcurl options every GET of ours sets, and the
// capped appends that keep an answer's header and body bounded.
#include "HttpClient.h"

#include <algorithm>
#include <utility>

namespace {

// Where a transfer's header or body goes, and how long it may grow.
struct CappedText {
  std::string* text;
  size_t maxBytes;
};

// libcurl's write callback: refusing (0) once the text would grow past its
// cap aborts the transfer.
size_t AppendCapped(char* data, size_t size, size_t count, void* target) {
  auto* capped = static_cast<CappedText*>(target);
  const size_t bytes = size * count;
  if (capped->text->size() + bytes > capped->maxBytes) {
    return 0;
  }
  capped->text->append(data, bytes);
  return bytes;
}

struct TextFree {
  void operator()(char* text) const { curl_free(text); }
};

}  // namespace

HttpClient::HttpClient(HttpClientSettings settings)
    : m_settings(std::move(settings)),
      m_handle(curl_easy_init()),
      m_headers(curl_slist_append(nullptr, m_settings.acceptLine.c_str())) {
  if (!m_handle) {
    return;
  }
  CURL* const curl = m_handle.get();
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, m_headers.get());
  if (!m_settings.userAgent.empty()) {
    curl_easy_setopt(curl, CURLOPT_USERAGENT, m_settings.userAgent.c_str());
  }
  if (m_settings.decodeContent) {
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // whatever libcurl can decode
  }
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, AppendCapped);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendCapped);
  // A redirect is the caller's to judge and follow.
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(m_settings.maxBytes));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  // Makes libcurl read Last-Modified into CURLINFO_FILETIME_T.
  curl_easy_setopt(curl, CURLOPT_FILETIME, 1L);
  curl_easy_setopt(curl, CURLOPT_VERBOSE, 0L);
  // Transfers run on several threads: time-outs must not use signals.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
}

std::string HttpClient::EncodeQueryValue(const std::string& text) const {
  if (!m_handle) {
    return std::string();
  }
  const std::unique_ptr<char, TextFree> escaped(
      curl_easy_escape(m_handle.get(), text.c_str(), static_cast<int>(text.size())));
  return escaped ? std::string(escaped.get()) : std::string();
}

HttpAnswer HttpClient::Get(const std::string& url, long timeoutMs) {
  HttpAnswer answer;
  answer.timeoutMs = std::max(timeoutMs, 1L);
  if (!m_handle) {
    return answer;
  }
  CURL* const curl = m_handle.get();
  CappedText header{&answer.header, m_settings.maxBytes};
  CappedText body{&answer.body, m_settings.maxBytes};
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &header);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, answer.timeoutMs);
  answer.result = curl_easy_perform(curl);
  if (answer.result != CURLE_OK) {
    return answer;
  }
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
  char* location = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location != nullptr) {
    answer.redirectUrl = location;
  }
  curl_off_t modified = -1;
  if (curl_easy_getinfo(curl, CURLINFO_FILETIME_T, &modified) == CURLE_OK) {
    answer.lastModified = static_cast<int64_t>(modified);
  }
  return answer;
}
