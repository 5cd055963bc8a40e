// ConsoleLog.h - the printf-style console functions through which every
// subsystem but the Modbus stack writes its progress and errors. Each call
// names its level (LogError, LogWarning, LogInfo, LogDebug); the text keeps
// its own prefix ("FYI: ", "Error: ") and there is no time stamp. The level
// chosen at start-up leaves out every line of a finer level.
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

// Each formats the message and, when the chosen level lets lines of its
// level through, writes it to the console sink (standard output unless a test
// installed another).
//  - error: a failure: something asked for was not done.
//  - warning: worth an operator's attention but not a failure: a fallback, a
//    retry, a refused client, data skipped.
//  - info: progress: start-up, connections, refreshes, one line a request.
//  - debug: frames, statements, payloads and the values in them.
// Messages carry their own line ends; the SQL error line has none, so the
// next message continues it. At the error and warning levels a line is ended
// if it has no line end of its own, as the line that would continue it may be
// left out.
void LogError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogInfo(const char* format, ...) __attribute__((format(printf, 1, 2)));
void LogDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes a message that is ready as it stands, at the given level.
void ConsoleWrite(LogLevel level, const char* text, size_t length);

// Writes out what the standard output stream has buffered (the server
// buffers its log in blocks and writes it out at the moments that matter).
void ConsoleFlush();

// Replaces where console messages go; an empty function restores standard
// output. Returns nothing; meant for tests and for start-up.
void SetConsoleSink(std::function<void(const std::string&)> sink);
