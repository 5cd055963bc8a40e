// MonitoringPages.h - the two answers for monitoring systems: /healthz (is
// the database answering, how long since the last good weather fetch, how
// long the server has run) and /metrics (the server's counters in the
// Prometheus text exposition format, version 0.0.4).
#pragma once

#include <cstdint>
#include <string>

#include "SQLiteDatabase.h"
#include "ServerMetrics.h"

struct mg_connection;

// 200 with {"status": "ok", "database_readable": true,
// "database_file_present": true, "last_write_failed": false,
// "seconds_since_last_weather_success": N or null, "uptime_seconds": N} when
// the Data table can be read, the database path still names the file the
// server opened (not deleted, renamed or replaced) and the last write did
// not fail (disk full, read-only file); 503 with "status": "unavailable"
// otherwise, until a write succeeds again. Returns the status.
int SendHealth(mg_connection* conn, CSQLiteDatabase& database, const ServerMetrics& metrics);

// 200 with RenderMetrics. Returns the status.
int SendMetrics(mg_connection* conn, const CSQLiteDatabase& database, const ServerMetrics& metrics);

// The exposition text: every metric with its # HELP and # TYPE lines.
std::string RenderMetrics(const ServerMetrics& metrics, const DatabaseHealth& database);
