// MessageCountWriter.h - keeps the info registers app.message.recv.count and
// app.message.sent.count up to date with the transport's counts (modulo
// 65536), written at most once per second and only when they changed, so
// that the writes stay off the path of each request.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <utility>

#include "SQLiteDatabase.h"
#include "ServerMetrics.h"

class MessageCountWriter {
 public:
  MessageCountWriter(CSQLiteDatabase& database, const ServerMetrics& metrics)
      : m_database(database), m_metrics(metrics) {}

  // Writes the counts when a second has passed since the last write and
  // they differ from what was last written; the first call always writes.
  void WriteIfDue();

 private:
  static constexpr auto kInterval = std::chrono::seconds(1);

  CSQLiteDatabase& m_database;
  const ServerMetrics& m_metrics;
  std::optional<std::chrono::steady_clock::time_point> m_lastAttempt;
  std::optional<std::pair<uint16_t, uint16_t>> m_written;
  bool m_failing = false;
};
