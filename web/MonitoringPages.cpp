// MonitoringPages.cpp - /healthz as JSON (RapidJSON's writer) and /metrics
// as Prometheus text.
#include "MonitoringPages.h"

#include <civetweb.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <array>
#include <cstdio>

#include "Clock.h"
#include "WebResponses.h"

namespace {

const char* const kMetricsContentType = "text/plain; version=0.0.4; charset=utf-8";

// The function codes and exception codes always listed, so that a series
// exists from the first scrape on; others appear once they occur.
constexpr uint8_t kListedFunctions[] = {1, 2, 3, 4, 5, 6, 15, 16};
constexpr uint8_t kListedExceptions[] = {1, 2, 3, 4, 6};

bool Listed(const uint8_t* listed, size_t count, size_t code) {
  for (size_t i = 0; i < count; ++i) {
    if (listed[i] == code) {
      return true;
    }
  }
  return false;
}

// True when the Data table answers a query.
bool DatabaseReadable(CSQLiteDatabase& database) {
  const auto lock = database.Lock();
  if (database.Open(SQLITE_OPEN_READONLY) != SQLITE_OK) {
    return false;
  }
  SqlRows rows;
  return database.Query("SELECT COUNT(*) FROM Data", rows) == SQLITE_OK && !rows.empty();
}

class Exposition {
 public:
  void Family(const char* name, const char* type, const char* help) {
    m_text += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
  }
  void Sample(const std::string& series, uint64_t value) { m_text += series + " " + std::to_string(value) + "\n"; }
  void Sample(const std::string& series, double value) {
    char number[32];
    std::snprintf(number, sizeof number, "%.6f", value);
    m_text += series + " " + number + "\n";
  }
  const std::string& Text() const { return m_text; }

 private:
  std::string m_text;
};

void AddCodeSeries(Exposition& out, const char* name, const char* label, const std::array<MetricCounter, 256>& counts,
                   const uint8_t* listed, size_t listedCount) {
  for (size_t code = 0; code < counts.size(); ++code) {
    const uint64_t value = Read(counts[code]);
    if (value != 0 || Listed(listed, listedCount, code)) {
      out.Sample(std::string(name) + "{" + label + "=\"" + std::to_string(code) + "\"}", value);
    }
  }
}

}  // namespace

std::string RenderMetrics(const ServerMetrics& metrics, const DatabaseHealth& database) {
  Exposition out;
  out.Family("veld_modbus_requests_total", "counter", "Modbus requests received, by function code.");
  AddCodeSeries(out, "veld_modbus_requests_total", "function", metrics.modbusRequestsByFunction, kListedFunctions,
                sizeof kListedFunctions);
  out.Family("veld_modbus_responses_total", "counter", "Modbus answers sent, exception answers included.");
  out.Sample("veld_modbus_responses_total", Read(metrics.modbusResponses));
  out.Family("veld_modbus_exceptions_total", "counter", "Modbus exception answers sent, by exception code.");
  AddCodeSeries(out, "veld_modbus_exceptions_total", "code", metrics.modbusExceptionsByCode, kListedExceptions,
                sizeof kListedExceptions);

  out.Family("veld_modbus_connections_open", "gauge", "Modbus TCP connections open now.");
  out.Sample("veld_modbus_connections_open",
             static_cast<uint64_t>(std::max<int64_t>(0, metrics.openConnections.load(std::memory_order_relaxed))));
  out.Family("veld_modbus_connections_accepted_total", "counter", "Modbus TCP connections accepted.");
  out.Sample("veld_modbus_connections_accepted_total", Read(metrics.connectionsAccepted));
  out.Family("veld_modbus_connection_limit_reached_total", "counter",
             "Times every Modbus connection place was taken (--max-connections); a further client then takes "
             "the place of one idle for 10 s or is closed at once.");
  out.Sample("veld_modbus_connection_limit_reached_total", Read(metrics.connectionLimitReached));
  out.Family("veld_modbus_connections_evicted_total", "counter",
             "Modbus TCP connections closed after 10 s without a request to make room for a new client.");
  out.Sample("veld_modbus_connections_evicted_total", Read(metrics.connectionsClosedAtLimit));
  out.Family("veld_modbus_connections_refused_total", "counter",
             "New Modbus TCP clients closed at once at the limit, no connection having been idle for 10 s.");
  out.Sample("veld_modbus_connections_refused_total", Read(metrics.connectionsRefusedAtLimit));

  out.Family("veld_modbus_rtu_crc_errors_total", "counter",
             "Modbus RTU frames dropped for a wrong CRC (RTU over TCP and the serial line).");
  out.Sample("veld_modbus_rtu_crc_errors_total", Read(metrics.rtuCrcErrors));
  out.Family("veld_modbus_rtu_frames_dropped_total", "counter",
             "Modbus RTU frames dropped for another fault: a gap inside a frame on the serial line, a frame "
             "left unfinished, too short or too long.");
  out.Sample("veld_modbus_rtu_frames_dropped_total", Read(metrics.rtuFramesDropped));
  if (metrics.rtuLineConfigured.load(std::memory_order_relaxed)) {
    out.Family("veld_modbus_rtu_line_open", "gauge", "1 while the Modbus RTU serial line is open, 0 once it failed.");
    out.Sample("veld_modbus_rtu_line_open", uint64_t{metrics.rtuLineOpen.load(std::memory_order_relaxed) ? 1u : 0u});
  }

  static const char* const kOutcomes[kWeatherFetchOutcomes] = {"ok", "transfer_error", "bad_answer", "http_error",
                                                               "store_error"};
  out.Family("veld_weather_fetches_total", "counter", "Weather service fetches, by outcome.");
  for (size_t outcome = 0; outcome < kWeatherFetchOutcomes; ++outcome) {
    out.Sample(std::string("veld_weather_fetches_total{outcome=\"") + kOutcomes[outcome] + "\"}",
               Read(metrics.weatherFetches[outcome]));
  }
  out.Family("veld_weather_fetch_duration_seconds", "histogram",
             "Time a weather fetch took, transfer and storing of the readings.");
  for (size_t bucket = 0; bucket < kWeatherFetchBuckets.size(); ++bucket) {
    char bound[32];
    std::snprintf(bound, sizeof bound, "%g", kWeatherFetchBuckets[bucket]);
    out.Sample(std::string("veld_weather_fetch_duration_seconds_bucket{le=\"") + bound + "\"}",
               Read(metrics.weatherFetchDurationBuckets[bucket]));
  }
  const uint64_t fetches = Read(metrics.weatherFetchDurationBuckets.back());
  out.Sample("veld_weather_fetch_duration_seconds_bucket{le=\"+Inf\"}", fetches);
  out.Sample("veld_weather_fetch_duration_seconds_sum",
             static_cast<double>(Read(metrics.weatherFetchDurationMicroseconds)) / 1e6);
  out.Sample("veld_weather_fetch_duration_seconds_count", fetches);

  static const char* const kClasses[] = {"none", "1xx", "2xx", "3xx", "4xx", "5xx"};
  out.Family("veld_web_requests_total", "counter", "Web requests answered, by status class.");
  for (size_t statusClass = 0; statusClass < metrics.webRequestsByClass.size(); ++statusClass) {
    out.Sample(std::string("veld_web_requests_total{class=\"") + kClasses[statusClass] + "\"}",
               Read(metrics.webRequestsByClass[statusClass]));
  }
  out.Family("veld_database_errors_total", "counter", "Failed SQLite statements and opens.");
  out.Sample("veld_database_errors_total", database.errors.load(std::memory_order_relaxed));
  out.Family("veld_database_busy_total", "counter",
             "Writes that gave up waiting for another connection's write lock (answered Modbus exception 6 or "
             "HTTP 503).");
  out.Sample("veld_database_busy_total", database.busyWrites.load(std::memory_order_relaxed));
  out.Family("veld_uptime_seconds", "gauge", "Seconds since the server started.");
  out.Sample("veld_uptime_seconds", metrics.UptimeSeconds());
  return out.Text();
}

int SendMetrics(mg_connection* conn, const CSQLiteDatabase& database, const ServerMetrics& metrics) {
  SendHeader(conn, 200, kMetricsContentType);
  WriteText(conn, RenderMetrics(metrics, database.Health()));
  return 200;
}

int SendHealth(mg_connection* conn, CSQLiteDatabase& database, const ServerMetrics& metrics) {
  const bool readable = DatabaseReadable(database);
  const bool present = database.Health().FileStillThere();
  const bool writeFailed = database.Health().lastWriteFailed.load(std::memory_order_relaxed);
  const bool healthy = readable && present && !writeFailed;
  const int64_t lastSuccess = metrics.lastWeatherSuccess.load(std::memory_order_relaxed);
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> json(buffer);
  json.StartObject();
  json.Key("status");
  json.String(healthy ? "ok" : "unavailable");
  json.Key("database_readable");
  json.Bool(readable);
  json.Key("database_file_present");
  json.Bool(present);
  json.Key("last_write_failed");
  json.Bool(writeFailed);
  json.Key("seconds_since_last_weather_success");
  if (lastSuccess == 0) {
    json.Null();
  } else {
    json.Int64(std::max<int64_t>(0, CurrentUnixTime() - lastSuccess));
  }
  if (metrics.rtuLineConfigured.load(std::memory_order_relaxed)) {
    json.Key("rtu_line_open");
    json.Bool(metrics.rtuLineOpen.load(std::memory_order_relaxed));
  }
  json.Key("uptime_seconds");
  json.Int64(static_cast<int64_t>(metrics.UptimeSeconds()));
  json.EndObject();
  const int status = healthy ? 200 : 503;
  SendHeader(conn, static_cast<uint16_t>(status), kJsonContentType);
  WriteText(conn, std::string(buffer.GetString(), buffer.GetSize()));
  return status;
}
