// ServerMetrics.cpp - recording one event in the server's counters.
#include "ServerMetrics.h"

void ServerMetrics::NoteRequest(uint8_t functionCode) { Increment(modbusRequestsByFunction[functionCode]); }

uint64_t ServerMetrics::TotalRequests() const {
  uint64_t total = 0;
  for (const MetricCounter& count : modbusRequestsByFunction) {
    total += Read(count);
  }
  return total;
}

void ServerMetrics::NoteResponse(bool isException, uint8_t exceptionCode) {
  Increment(modbusResponses);
  if (isException) {
    Increment(modbusExceptionsByCode[exceptionCode]);
  }
}

void ServerMetrics::NoteWeatherFetch(WeatherFetchOutcome outcome, std::chrono::steady_clock::duration took,
                                     int64_t unixTime) {
  Increment(weatherFetches[static_cast<size_t>(outcome)]);
  const double seconds = std::chrono::duration<double>(took).count();
  for (size_t bucket = 0; bucket < kWeatherFetchBuckets.size(); ++bucket) {
    if (seconds <= kWeatherFetchBuckets[bucket]) {
      Increment(weatherFetchDurationBuckets[bucket]);
    }
  }
  Increment(weatherFetchDurationBuckets.back());
  Increment(weatherFetchDurationMicroseconds,
            static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(took).count()));
  if (outcome == WeatherFetchOutcome::kOk) {
    lastWeatherSuccess.store(unixTime, std::memory_order_relaxed);
  }
}

void ServerMetrics::NoteWebRequest(int status) {
  const int statusClass = status / 100;
  Increment(webRequestsByClass[statusClass >= 1 && statusClass <= 5 ? static_cast<size_t>(statusClass) : 0]);
}

double ServerMetrics::UptimeSeconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}
