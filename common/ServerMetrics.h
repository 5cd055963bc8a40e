// ServerMetrics.h - the counters a running server keeps for monitoring:
// Modbus requests, answers and exceptions, connections, weather fetches with
// their durations, and web requests. Start-up makes one and hands it to the
// transport, the weather feed and the web interface; the web interface
// reports it at /metrics and /healthz. Every field can be updated from any
// thread without a lock; counters only ever grow.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

using MetricCounter = std::atomic<uint64_t>;

inline void Increment(MetricCounter& counter, uint64_t by = 1) { counter.fetch_add(by, std::memory_order_relaxed); }
inline uint64_t Read(const MetricCounter& counter) { return counter.load(std::memory_order_relaxed); }

// How a weather fetch ended: stored; no answer; an answer that is no JSON
// array; an HTTP status other than 2xx; readings that could not be stored.
enum class WeatherFetchOutcome { kOk, kTransferError, kBadAnswer, kHttpError, kStoreError };
constexpr size_t kWeatherFetchOutcomes = 5;

// Upper bounds, in seconds, of the weather fetch duration histogram's
// buckets; the transfer's time-out is 1 s, so the buckets gather below it.
constexpr std::array<double, 8> kWeatherFetchBuckets = {0.005, 0.01, 0.025, 0.05, 0.1, 0.25, 0.5, 1.0};

struct ServerMetrics {
  // Modbus requests received, by function code.
  std::array<MetricCounter, 256> modbusRequestsByFunction{};
  // Answers sent, and exception answers among them by exception code.
  MetricCounter modbusResponses{0};
  std::array<MetricCounter, 256> modbusExceptionsByCode{};

  std::atomic<int64_t> openConnections{0};
  MetricCounter connectionsAccepted{0};
  // Times every connection place was taken.
  MetricCounter connectionLimitReached{0};
  // Connections closed, after long enough without a request, to make room
  // for a newcomer at the limit; newcomers closed at once at the limit
  // because no connection had been idle that long.
  MetricCounter connectionsClosedAtLimit{0};
  MetricCounter connectionsRefusedAtLimit{0};

  // Modbus RTU (RTU over TCP and the serial line): frames whose CRC was
  // wrong, and frames dropped for another fault (a gap inside the frame on
  // the serial line, bytes left unfinished on a stream, too short or too
  // long).
  MetricCounter rtuCrcErrors{0};
  MetricCounter rtuFramesDropped{0};
  // Whether a serial line is configured, and whether it is open now.
  std::atomic<bool> rtuLineConfigured{false};
  std::atomic<bool> rtuLineOpen{false};

  std::array<MetricCounter, kWeatherFetchOutcomes> weatherFetches{};
  // Cumulative counts per bucket of kWeatherFetchBuckets, then +Inf.
  std::array<MetricCounter, kWeatherFetchBuckets.size() + 1> weatherFetchDurationBuckets{};
  MetricCounter weatherFetchDurationMicroseconds{0};
  // Unix time of the last fetch that ended well; 0 before the first.
  std::atomic<int64_t> lastWeatherSuccess{0};

  // Web requests by status class: [1] to [5] for 1xx to 5xx, [0] for a
  // request the library was left to answer.
  std::array<MetricCounter, 6> webRequestsByClass{};

  const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

  // One received request frame, its function code, and one answer sent.
  void NoteRequest(uint8_t functionCode);
  void NoteResponse(bool isException, uint8_t exceptionCode);
  void NoteWeatherFetch(WeatherFetchOutcome outcome, std::chrono::steady_clock::duration took, int64_t unixTime);
  void NoteWebRequest(int status);

  // Requests received under any function code.
  uint64_t TotalRequests() const;
  double UptimeSeconds() const;
};
