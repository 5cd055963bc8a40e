// ConsoleLog.cpp - formatting console messages and handing them to the sink.
#include "ConsoleLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

std::atomic<int> g_consoleLogLevel{static_cast<int>(LogLevel::kDebug)};

namespace {

std::mutex g_sinkMutex;
std::function<void(const std::string&)> g_sink;

void WriteFormatted(LogLevel level, const char* format, va_list arguments) {
  if (!ConsoleLogEnabled(level)) {
    return;
  }
  char small[512];
  va_list again;
  va_copy(again, arguments);
  const int needed = std::vsnprintf(small, sizeof small, format, arguments);
  // Most messages fit the buffer on the stack; longer ones are formatted
  // again into one of their size.
  std::vector<char> large;
  const char* text = small;
  size_t length = needed < 0 ? 0 : static_cast<size_t>(needed);
  if (needed < 0) {
    text = format;
    length = std::strlen(format);
  } else if (length >= sizeof small) {
    large.resize(length + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    text = large.data();
  }
  va_end(again);
  ConsoleWrite(level, text, length);
}

}  // namespace

void SetConsoleLogLevel(LogLevel level) { g_consoleLogLevel.store(static_cast<int>(level), std::memory_order_relaxed); }

LogLevel ConsoleLogLevel() { return static_cast<LogLevel>(g_consoleLogLevel.load(std::memory_order_relaxed)); }

std::optional<LogLevel> ParseLogLevel(const std::string& name) {
  for (const LogLevel level : {LogLevel::kError, LogLevel::kWarning, LogLevel::kInfo, LogLevel::kDebug}) {
    if (name == LogLevelName(level)) {
      return level;
    }
  }
  return std::nullopt;
}

const char* LogLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::kError:
      return "error";
    case LogLevel::kWarning:
      return "warning";
    case LogLevel::kInfo:
      return "info";
    case LogLevel::kDebug:
      return "debug";
  }
  return "debug";
}

void LogError(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteFormatted(LogLevel::kError, format, arguments);
  va_end(arguments);
}

void LogWarning(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteFormatted(LogLevel::kWarning, format, arguments);
  va_end(arguments);
}

void LogInfo(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteFormatted(LogLevel::kInfo, format, arguments);
  va_end(arguments);
}

void LogDebug(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteFormatted(LogLevel::kDebug, format, arguments);
  va_end(arguments);
}

void ConsoleWrite(LogLevel level, const char* text, size_t length) {
  if (!ConsoleLogEnabled(level)) {
    return;
  }
  std::string ended;
  if (!ConsoleLogEnabled(LogLevel::kInfo) && (length == 0 || text[length - 1] != '\n')) {
    ended.assign(text, length).push_back('\n');
    text = ended.data();
    length = ended.size();
  }
  const std::lock_guard<std::mutex> lock(g_sinkMutex);
  if (g_sink) {
    g_sink(std::string(text, length));
  } else {
    std::fwrite(text, 1, length, stdout);
  }
}

void ConsoleFlush() { std::fflush(stdout); }

void SetConsoleSink(std::function<void(const std::string&)> sink) {
  const std::lock_guard<std::mutex> lock(g_sinkMutex);
  g_sink = std::move(sink);
}
