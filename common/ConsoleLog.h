// ConsoleLog.h - the one printf-style console function through which every
// subsystem but the Modbus stack writes its progress and errors. The level is
// part of each message ("FYI: ", "Error: "); there is no time stamp. A log
// level chosen at start-up leaves out the per-frame and per-statement lines
// (info) or everything but errors (warning, error).
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

// How much the log carries, from least to most.
enum class LogLevel { kError, kWarning, kInfo, kDebug };

// Every line (kDebug) until start-up chooses otherwise.
void SetConsoleLogLevel(LogLevel level);
LogLevel ConsoleLogLevel();

// True when lines of this level are written. The frame dumps and the
// statement lines ask before they are put together (kDebug).
inline bool ConsoleLogEnabled(LogLevel level) {
  extern std::atomic<int> g_consoleLogLevel;
  return static_cast<int>(level) <= g_consoleLogLevel.load(std::memory_order_relaxed);
}

// "error", "warning", "info" or "debug"; nothing for any other text.
std::optional<LogLevel> ParseLogLevel(const std::string& name);
const char* LogLevelName(LogLevel level);

// Formats the message and writes it to the console sink (standard output
// unless a test installed another). Messages carry their own line ends;
// the SQL error line has none, so the next message continues it. Below
// LogLevel::kInfo only error lines pass: those that begin with "Error:" or
// "SQL Error:" (after leading blank lines) and the transport's "CTCP::...
// Error" lines, and at kWarning also those that begin with "Warning:"; such
// a line is ended if it has no line end of its own.
void ConsoleLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a message that is ready as it stands, as ConsoleLog would.
void ConsoleWrite(const char* text, size_t length);

// Writes out what the standard output stream has buffered (the server
// buffers its log in blocks and writes it out at the moments that matter).
void ConsoleFlush();

// Replaces where console messages go; an empty function restores standard
// output. Returns nothing; meant for tests and for start-up.
void SetConsoleSink(std::function<void(const std::string&)> sink);
