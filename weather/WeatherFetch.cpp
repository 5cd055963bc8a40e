// WeatherFetch.cpp - one fetch in its steps: the HTTP transfer (HttpClient,
// redirects followed by hand within the service's origin), the status,
// parsing the answer (RapidJSON, strict), the readings' time and storing
// them (ReadingsStore).
#include "WeatherFetch.h"

#include <curl/curl.h>
#include <rapidjson/document.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "Clock.h"
#include "ConsoleLog.h"
#include "HttpClient.h"
#include "ReadingsStore.h"
#include "UrlParts.h"

const char* const kWeatherServiceEndpoint = "http://127.0.0.1:8081";

namespace {

std::mutex g_urlMutex;
std::string g_configuredUrl;
std::atomic<ServerMetrics*> g_metrics{nullptr};

// Counts the fetch it lives through by the outcome it ends with: a transfer
// error unless told otherwise.
class FetchRecord {
 public:
  ~FetchRecord() {
    if (ServerMetrics* metrics = g_metrics.load(std::memory_order_relaxed); metrics != nullptr) {
      metrics->NoteWeatherFetch(m_outcome, std::chrono::steady_clock::now() - m_started, CurrentUnixTime());
    }
  }
  void SetOutcome(WeatherFetchOutcome outcome) { m_outcome = outcome; }

 private:
  const std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
  WeatherFetchOutcome m_outcome = WeatherFetchOutcome::kTransferError;
};

std::string Lower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

// True when url has the scheme, host and port of origin (a host compared
// without regard to case, a port as the scheme's default when not given).
bool SameOrigin(const std::string& url, const std::string& origin) {
  const std::optional<UrlParts> target = ParseUrl(url);
  const std::optional<UrlParts> service = ParseUrl(origin);
  if (!target || !service) {
    return false;
  }
  const auto same = [](const std::string& wanted, const std::string& named) {
    return !wanted.empty() && Lower(wanted) == Lower(named);
  };
  return same(service->scheme, target->scheme) && same(service->host, target->host) &&
         same(service->portOrDefault, target->portOrDefault);
}

// The readings' time: the answer's Last-Modified when it is earlier than
// the fetch (the service answered readings it obtained before, such as its
// fallback's), else the fetch time. An answer without one, or with one
// libcurl cannot read, or one later than the fetch (the service's clock
// ahead of ours) is taken as observed at the fetch.
int64_t ObservedTime(int64_t lastModified, int64_t fetchedAt) {
  return lastModified >= 0 && lastModified < fetchedAt ? lastModified : fetchedAt;
}

// GETs the readings of postalCode, following redirects within the
// service's origin (at most kMaxWeatherRedirects), every hop within the one
// deadline. The last hop's answer, or nothing when the transfer failed, ran
// out of time or was redirected elsewhere (logged). url ends as the last
// hop's URL.
std::optional<HttpAnswer> TransferReadings(HttpClient& client, const std::string& serviceUrl, std::string& url,
                                           std::chrono::steady_clock::time_point deadline) {
  for (int redirects = 0;; ++redirects) {
    const long leftMs = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
    // Every hop shares the one budget; a budget already spent fails as a
    // time-out would, without a request.
    HttpAnswer answer;
    answer.result = CURLE_OPERATION_TIMEDOUT;
    if (leftMs > 0) {
      answer = client.Get(url, leftMs);
    }
    if (!answer.Transferred()) {
      LogError("Error: CURL Error. ErrorCode=[%d], ErrorMessage=[%s] url=[%s]\n", answer.result, answer.Error().c_str(),
               url.c_str());
      return std::nullopt;
    }
    if (answer.status / 100 != 3 || answer.redirectUrl.empty()) {
      return answer;
    }
    const char* const location = answer.redirectUrl.c_str();
    if (!SameOrigin(answer.redirectUrl, serviceUrl)) {
      LogError("Error: The weather service redirected to another place; not followed. Location=[%s]\n", location);
      return std::nullopt;
    }
    if (redirects == kMaxWeatherRedirects) {
      LogError("Error: The weather service redirected more than [%d] times; not followed. Location=[%s]\n",
               kMaxWeatherRedirects, location);
      return std::nullopt;
    }
    url = answer.redirectUrl;
  }
}

// True when the answer may carry readings: only a success does, since a 404
// for an unknown code or a 5xx may carry an array too (logged).
bool AnswerIsSuccess(const HttpAnswer& answer, const std::string& url) {
  LogDebug("FYI: HTTP Payload recived. header=[%s], body=[%s]\n", answer.header.c_str(), answer.body.c_str());
  if (answer.status / 100 != 2) {
    LogError("Error: The weather service answered HTTP status [%ld]; nothing stored. url=[%s]\n", answer.status,
             url.c_str());
    return false;
  }
  return true;
}

// Parses the body as strict JSON in UTF-8 (invalid byte sequences are errors
// too) into document; false, logged, unless it is an array.
bool ParseReadings(const std::string& body, rapidjson::Document& document) {
  document.Parse<rapidjson::kParseValidateEncodingFlag>(body.data(), body.size());
  if (document.HasParseError()) {
    LogError("Error: Recived payload has JSON errors in it\n");
    return false;
  }
  if (!document.IsArray()) {
    LogError("Error: Malformed JSON Packet. Error code=384\n");
    return false;
  }
  return true;
}

}  // namespace

std::string WeatherServiceUrl() {
  const std::lock_guard<std::mutex> lock(g_urlMutex);
  return g_configuredUrl.empty() ? std::string(kWeatherServiceEndpoint) : g_configuredUrl;
}

void SetWeatherServiceUrl(const std::string& url) {
  const std::lock_guard<std::mutex> lock(g_urlMutex);
  g_configuredUrl = url;
}

void SetWeatherFetchMetrics(ServerMetrics* metrics) { g_metrics.store(metrics, std::memory_order_relaxed); }

bool FetchWeather(CSQLiteDatabase& database, const char* postalCode, long timeoutMs, const WeatherStoreLimits& limits,
                  int64_t* observedAt) {
  if (postalCode == nullptr) {
    return false;
  }
  FetchRecord record;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  const std::string serviceUrl = WeatherServiceUrl();
  HttpClientSettings settings;
  settings.maxBytes = kMaxWeatherPayloadBytes;
  settings.acceptLine = "Accept:application/json";
  HttpClient client(settings);  // without a handle, its GET answers CURLE_FAILED_INIT, logged below
  std::string url = serviceUrl + "/api?postalCode=" + client.EncodeQueryValue(postalCode);
  const std::optional<HttpAnswer> answer = TransferReadings(client, serviceUrl, url, deadline);
  if (!answer) {
    return false;
  }
  if (!AnswerIsSuccess(*answer, url)) {
    record.SetOutcome(WeatherFetchOutcome::kHttpError);
    return false;
  }
  record.SetOutcome(WeatherFetchOutcome::kBadAnswer);
  rapidjson::Document document;
  if (!ParseReadings(answer->body, document)) {
    return false;
  }
  record.SetOutcome(WeatherFetchOutcome::kStoreError);
  const int64_t observed = ObservedTime(answer->lastModified, CurrentUnixTime());
  if (!StoreReadings(database, postalCode, document, observed, limits)) {
    return false;
  }
  if (observedAt != nullptr) {
    *observedAt = observed;
  }
  record.SetOutcome(WeatherFetchOutcome::kOk);  // counted once committed
  return true;
}
