// HttpClient.h - one HTTP GET at a time over libcurl's easy interface, for
// every program that asks another service for something: the handle and its
// header list owned here, header and body capped in size, time-outs without
// signals, no redirect followed, http and https only.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// What one GET brought back.
struct HttpAnswer {
  CURLcode result = CURLE_FAILED_INIT;  // CURLE_OK once an answer arrived whole
  long status = 0;                      // its HTTP status code
  std::string header;                   // the header lines as received
  std::string body;
  // Where a 3xx answer points (its Location, resolved against the request's
  // URL by libcurl); empty when it points nowhere.
  std::string redirectUrl;
  // The answer's Last-Modified as Unix seconds, as libcurl reads it; -1
  // when the answer has none or libcurl cannot read it.
  int64_t lastModified = -1;
  long timeoutMs = 0;  // the time the GET was given

  bool Transferred() const { return result == CURLE_OK; }
  bool TimedOut() const { return result == CURLE_OPERATION_TIMEDOUT; }
  // libcurl's text for result.
  std::string Error() const { return curl_easy_strerror(result); }
};

struct HttpClientSettings {
  // Longest header and longest body taken; a longer one aborts the transfer
  // (CURLE_WRITE_ERROR, or CURLE_FILESIZE_EXCEEDED when announced).
  size_t maxBytes = 1024 * 1024;
  // Sent as User-Agent when not empty.
  std::string userAgent;
  // The Accept header's line, e.g. "Accept: application/json".
  std::string acceptLine = "Accept: application/json";
  // Asks for every content encoding libcurl can decode.
  bool decodeContent = false;
};

// A libcurl easy handle and its request headers, kept over several GETs (a
// redirect followed by hand reuses the connection). libcurl's global
// initialisation must have been done. Not for several threads at once.
class HttpClient {
 public:
  explicit HttpClient(HttpClientSettings settings);

  // False when libcurl could not make a handle; every Get then answers
  // CURLE_FAILED_INIT.
  bool Ready() const { return m_handle != nullptr; }

  // text with everything but the unreserved characters (A-Z a-z 0-9 - . _ ~)
  // percent-encoded, for a query value; empty when it cannot be encoded.
  std::string EncodeQueryValue(const std::string& text) const;

  // GETs url within timeoutMs (connect included; at least 1 ms). TLS
  // certificates and host names are verified (libcurl's defaults, against
  // the system's CA bundle).
  HttpAnswer Get(const std::string& url, long timeoutMs);

 private:
  struct HandleCleanup {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
  };
  struct ListFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };

  HttpClientSettings m_settings;
  std::unique_ptr<CURL, HandleCleanup> m_handle;
  std::unique_ptr<curl_slist, ListFree> m_headers;
};
