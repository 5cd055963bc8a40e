// WeatherFetch.cpp - the HTTP transfer (libcurl's easy interface), parsing
// the answer (RapidJSON, strict) and storing the readings.
#include "WeatherFetch.h"

#include <curl/curl.h>
#include <rapidjson/document.h>
#include <rapidjson/memorystream.h>
#include <rapidjson/stringbuffer.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "HistoryTable.h"
#include "HttpClient.h"
#include "ReadingScale.h"
#include "UrlParts.h"
#include "WriteTransaction.h"

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

// The number a text stands for: its leading decimal number after blanks, as
// strtod reads it but independent of the locale; 0 when it has none.
double ReadingOfText(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
    ++text;
  }
  if (*text == '+') {
    ++text;
  }
  double reading = 0.0;
  const char* const end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, reading);
  // Out of range still gives the direction: saturate rather than drop.
  if (error == std::errc::result_out_of_range) {
    return (*text == '-' ? -1.0 : 1.0) * std::numeric_limits<double>::infinity();
  }
  return error == std::errc() ? reading : 0.0;
}

// Reads a reading's Value as a number; false for a type that has none.
// Integers beyond 32 bits are refused, as ever; a number written with a
// fraction or an exponent is taken as it is.
bool ReadingOf(const rapidjson::Value& value, double* reading) {
  if (value.IsString()) {
    *reading = ReadingOfText(value.GetString());
    return true;
  }
  if (value.IsDouble()) {
    *reading = value.GetDouble();
    return true;
  }
  if (value.IsInt()) {
    *reading = value.GetInt();
    return true;
  }
  return false;
}

// True when a reading's name is text to keep: valid UTF-8 (an escape such
// as \udc80 can make it otherwise after unescaping) without control
// characters (\u0000 would cut it short in C strings).
bool IsReadingName(const char* name, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20 || byte == 0x7F) {
      return false;
    }
  }
  rapidjson::MemoryStream bytes(name, length);
  while (bytes.Tell() < length) {
    rapidjson::StringBuffer ignored;
    if (!rapidjson::UTF8<>::Validate(bytes, ignored)) {
      return false;
    }
  }
  return true;
}

// The names an answer for postalCode may still add: none counted for a code
// without rows (its first answer brings its names, bounded by
// kMaxReadingsPerAnswer), else kMaxNewNamesPerAnswer beyond the names it has.
// Read inside the storing transaction.
class NewNameBudget {
 public:
  // False when the code's names cannot be read; full when the code is new
  // and limits leave no room for another code (logged).
  bool Read(CSQLiteDatabase& database, const char* postalCode, const WeatherStoreLimits& limits) {
    // A refresh, the common case, is of a known code: its names are all
    // that is read.
    if (!ReadNamesOfCode(database, postalCode, m_names)) {
      return false;
    }
    if (!m_names.empty()) {
      m_limited = true;
      return true;
    }
    int64_t storedCodes = 0;
    switch (CheckPostalCodeRoom(database, postalCode, limits.maxPostalCodes, &storedCodes)) {
      case PostalCodeRoom::kFailed:
        return false;
      case PostalCodeRoom::kFull:
        m_full = true;
        LogError("Error: The readings of [%s] were not stored: [%lld] postal codes are stored, the most allowed\n",
                 postalCode, static_cast<long long>(storedCodes));
        return true;
      case PostalCodeRoom::kRoom:
      case PostalCodeRoom::kKnown:
        return true;  // a new code: every name of its first answer is new
    }
    return false;
  }
  bool Full() const { return m_full; }
  // True when a reading of name may be stored; a new name is counted.
  bool Take(const std::string& name) {
    if (!m_limited || m_names.count(name) != 0) {
      return true;
    }
    if (m_added == kMaxNewNamesPerAnswer) {
      ++m_skipped;
      return false;
    }
    ++m_added;
    m_names.insert(name);
    return true;
  }
  size_t Skipped() const { return m_skipped; }

 private:
  std::set<std::string> m_names;
  bool m_limited = false;
  bool m_full = false;
  size_t m_added = 0;
  size_t m_skipped = 0;
};

enum class ReadingStore { kStored, kSkipped, kFailed };

// Stores one reading as its Data row and appends it to the History table,
// both with the time the answer's readings were observed. A malformed element is skipped with its line, a
// new name past the budget without one; a reading that cannot be stored
// fails the whole answer.
ReadingStore StoreReading(CSQLiteDatabase& database, const char* postalCode, const rapidjson::Value& element,
                          int64_t observedAt, NewNameBudget& budget) {
  if (!element.IsObject() || !element.HasMember("Name") || !element["Name"].IsString()) {
    LogWarning("FYI: Invalid row in json data. Missing name. Skipping\n");
    return ReadingStore::kSkipped;
  }
  if (!IsReadingName(element["Name"].GetString(), element["Name"].GetStringLength())) {
    LogWarning("FYI: Invalid row in json data. The name is not text. Skipping\n");
    return ReadingStore::kSkipped;
  }
  const std::string name(element["Name"].GetString(), element["Name"].GetStringLength());
  if (!element.HasMember("Value")) {
    LogWarning("FYI: Invalid row in json data. Name=[%s]. Missing value. Skipping\n", name.c_str());
    return ReadingStore::kSkipped;
  }
  double reading = 0.0;
  if (!ReadingOf(element["Value"], &reading)) {
    LogWarning("FYI: Invalid row in json data. Name=[%s]. Unknown data type. Skipping\n", name.c_str());
    return ReadingStore::kSkipped;
  }
  if (!budget.Take(name)) {
    return ReadingStore::kSkipped;
  }
  const uint16_t value = RegisterWordOf(name, reading);
  LogDebug("FYI: Name=[%s], value=[%d]\n", name.c_str(), value);
  if (!SaveValue(database, postalCode, name, value, observedAt)) {
    LogError("Error: Could not insert this new value into the database. Name=[%s]\n", name.c_str());
    return ReadingStore::kFailed;
  }
  // A failed append is logged as an SQL error and costs the register nothing
  // (a file whose History table could not be made has none). A repeated
  // answer of the service's fallback adds no History row (see AppendHistory).
  AppendHistory(database, postalCode, name, value, observedAt);
  return ReadingStore::kStored;
}

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

// Stores the first kMaxReadingsPerAnswer readings of an answer in one
// transaction, their History rows included: all of them or, when the write
// lock cannot be had within the wait, a statement fails or the commit
// fails, none. Other connections' readers meet one short commit rather than
// one per reading. New names and new codes are bounded (NewNameBudget).
bool StoreReadings(CSQLiteDatabase& database, const char* postalCode, const rapidjson::Value& readings,
                   int64_t observedAt, const WeatherStoreLimits& limits) {
  WriteTransaction transaction(database);
  const auto failed = [&database, &transaction, postalCode] {
    transaction.RollBack();
    LogError("Error: The readings of [%s] were not stored: %s\n", postalCode,
             transaction.Busy() || database.LastFailureWasBusy() ? "the database is busy with another writer"
                                                                 : "the database failed");
    return false;
  };
  if (!transaction.Started()) {
    return failed();
  }
  NewNameBudget budget;
  if (!budget.Read(database, postalCode, limits)) {
    return failed();
  }
  if (budget.Full()) {
    return false;
  }
  size_t walked = 0;
  for (const rapidjson::Value& element : readings.GetArray()) {
    if (walked++ == kMaxReadingsPerAnswer) {
      LogWarning("FYI: The answer holds [%u] readings; only the first [%zu] are stored\n", readings.Size(),
                 kMaxReadingsPerAnswer);
      break;
    }
    if (StoreReading(database, postalCode, element, observedAt, budget) == ReadingStore::kFailed) {
      return failed();
    }
  }
  if (budget.Skipped() > 0) {
    LogWarning(
        "FYI: The answer for [%s] holds more new names than the [%zu] a known code may add; [%zu] readings "
        "skipped\n",
        postalCode, kMaxNewNamesPerAnswer, budget.Skipped());
  }
  return transaction.Commit() || failed();
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
      LogError("Error: CURL Error. ErrorCode=[%d], ErrorMessage=[%s] url=[%s]\n", answer.result,
               answer.Error().c_str(), url.c_str());
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
  HttpClient client(settings);
  if (!client.Ready()) {
    LogError("Error: CURL Error. ErrorCode=[%d], ErrorMessage=[%s] url=[%s]\n", CURLE_FAILED_INIT,
             curl_easy_strerror(CURLE_FAILED_INIT), serviceUrl.c_str());
    return false;
  }
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
