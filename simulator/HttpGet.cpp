// HttpGet.cpp - libcurl's easy interface with its handle and header list
// owned by RAII wrappers; certificates are checked against the system's CA
// bundle (libcurl's default, on Debian the ca-certificates bundle).
#include "HttpGet.h"

#include <curl/curl.h>

#include <memory>

#include "ProgramVersion.h"

namespace weather_service {
namespace {

struct CurlCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

size_t AppendBody(char* data, size_t size, size_t count, void* target) {
  auto* body = static_cast<std::string*>(target);
  const size_t bytes = size * count;
  if (body->size() + bytes > kMaxUpstreamBodyBytes) {
    return 0;  // aborts the transfer
  }
  body->append(data, bytes);
  return bytes;
}

std::string UserAgent() { return "veld-weather-service/" + ProgramVersionText(); }

}  // namespace

HttpReply HttpGet(const std::string& url, long timeoutMs) {
  HttpReply reply;
  const std::unique_ptr<CURL, CurlCleanup> handle(curl_easy_init());
  if (!handle) {
    reply.error = curl_easy_strerror(CURLE_FAILED_INIT);
    return reply;
  }
  CURL* const curl = handle.get();
  const std::string agent = UserAgent();
  const std::unique_ptr<curl_slist, CurlListFree> headers(curl_slist_append(nullptr, "Accept: application/json"));
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(curl, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeoutMs);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxUpstreamBodyBytes));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // whatever libcurl can decode
  // Requests run on several threads: time-outs must not use signals.
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);

  const CURLcode result = curl_easy_perform(curl);
  if (result != CURLE_OK) {
    reply.error = curl_easy_strerror(result);
    if (result == CURLE_OPERATION_TIMEDOUT) {
      reply.error += " (no answer within " + std::to_string(timeoutMs) + " ms)";
    }
    return reply;
  }
  reply.transferred = true;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
  return reply;
}

}  // namespace weather_service
