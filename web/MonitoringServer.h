// MonitoringServer.h - a web server of its own for monitoring systems: only
// /healthz and /metrics, read-only and without authentication, so that
// Prometheus and health probes can scrape while the page needs digest.
#pragma once

#include <string>

#include "ConnectionPool.h"
#include "ServerMetrics.h"
#include "WebServer.h"

// Worker threads of the monitoring server: a scraper and a probe or two.
constexpr int kMonitoringThreads = 4;

// Starts the monitoring server on listeningPorts ("ADDR:PORT") with
// kMonitoringThreads workers. It answers GET and HEAD of /healthz and
// /metrics (MonitoringPages.h), each request on a connection of its own
// from connections; 404 for any other path and 405 with "Allow: GET, HEAD"
// for another method on these two; never asks for credentials. Every answer
// is counted into metrics. connections and metrics must outlive the server.
// Returns null when the server cannot start, with the library's reason in
// *error (when given).
WebServer StartMonitoringServer(ConnectionPool& connections, ServerMetrics& metrics, const std::string& listeningPorts,
                                std::string* error = nullptr);
