// WeatherFetch.h - fetching one postal code's readings from the weather
// service (HTTP GET, JSON array of Name/Value objects) and storing each
// reading as a Data row keyed by name and postal code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "SQLiteDatabase.h"
#include "ServerMetrics.h"

// Where the weather service answers.
extern const char* const kWeatherServiceEndpoint;

// The scheme, host and optional base path fetches go to:
// kWeatherServiceEndpoint, unless start-up (the --weather-url setting) or a
// test chose another; an empty url restores the constant.
std::string WeatherServiceUrl();
void SetWeatherServiceUrl(const std::string& url);
// Where every fetch from now on is counted, with its outcome and duration;
// null counts nothing. Not owned: it must outlive the fetches.
void SetWeatherFetchMetrics(ServerMetrics* metrics);
// Longest header or body accepted from the service; a longer one aborts the
// transfer.
constexpr size_t kMaxWeatherPayloadBytes = 1024 * 1024;
// Whole transfer, connect included.
constexpr long kWeatherTimeoutMs = 1000;
// Redirects followed, and only to the service's own scheme, host and port.
constexpr int kMaxWeatherRedirects = 3;
// Readings stored from one answer; the rest are skipped.
constexpr size_t kMaxReadingsPerAnswer = 64;
// Names an answer for a code that has rows already may add to it; its
// readings of further new names are skipped. Keeps a service that answers
// ever new names from filling the register offsets.
constexpr size_t kMaxNewNamesPerAnswer = 8;
// The distinct postal codes (other than "0") the page's look-ups may store
// by default: 500 codes of kMaxReadingsPerAnswer readings each stay well
// inside the 65,536 register offsets.
constexpr size_t kDefaultMaxPostalCodes = 500;
// The most --max-postal-codes takes: one row per code fills the offsets.
constexpr size_t kMaxPostalCodesLimit = 65536;

// How much one answer may add to the Data table.
struct WeatherStoreLimits {
  // The answer for a code without rows is stored only while fewer distinct
  // codes other than "0" than this are stored (checked inside the storing
  // transaction, so that look-ups running at once cannot pass it together).
  // The default sets no limit: the refreshers only fetch codes with rows.
  size_t maxPostalCodes = SIZE_MAX;
};

// Fetches and stores the readings of postalCode (at most
// kMaxReadingsPerAnswer, in one transaction), all within timeoutMs, redirects
// included. False when postalCode is null, the transfer fails or runs out of
// time, a redirect leads elsewhere than the service's origin or past
// kMaxWeatherRedirects, the final answer's HTTP status is not 2xx, the body
// is not a JSON array, or the readings cannot be stored: the write lock not
// had within the connection's wait, or a failing BEGIN, statement or COMMIT
// (the transaction is rolled back and the outcome counted as a store
// error); then nothing of the answer is stored. True once every reading of
// the array has been stored or skipped as malformed (a missing or non-text
// name, a missing or unusable value). Each reading is stored as its register
// word (RegisterWordOf: tenths for temp and wind.speed) with the time its
// readings were observed as LastUpdated, and appended with that word and
// time to the History table, in the same transaction, unless History holds
// that code and name at that time or later already (a repeated answer). The
// observed time is the answer's Last-Modified when it is earlier than the
// fetch, else the fetch time; it is written to *observedAt (when given)
// after a success. The outcome is counted (see SetWeatherFetchMetrics) after
// the commit. The database lock is not held during the transfer. For a code
// that has rows, readings of more than kMaxNewNamesPerAnswer names it does
// not have yet are skipped (one log line); for a code without rows, nothing
// is stored and false is answered when limits.maxPostalCodes codes are
// stored already.
bool FetchWeather(CSQLiteDatabase& database, const char* postalCode, long timeoutMs = kWeatherTimeoutMs,
                  const WeatherStoreLimits& limits = WeatherStoreLimits(), int64_t* observedAt = nullptr);
