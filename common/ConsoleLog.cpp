// ConsoleLog.cpp - formatting console messages and handing them to the sink.
#include "ConsoleLog.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

std::mutex g_sinkMutex;
std::function<void(const std::string&)> g_sink;

}  // namespace

void ConsoleLog(const char* format, ...) {
  char small[512];
  va_list arguments;
  va_start(arguments, format);
  va_list again;
  va_copy(again, arguments);
  const int needed = std::vsnprintf(small, sizeof small, format, arguments);
  va_end(arguments);
  std::string message;
  if (needed < 0) {
    message = format;
  } else if (static_cast<size_t>(needed) < sizeof small) {
    message.assign(small, static_cast<size_t>(needed));
  } else {
    std::vector<char> large(static_cast<size_t>(needed) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    message.assign(large.data(), static_cast<size_t>(needed));
  }
  va_end(again);

  const std::lock_guard<std::mutex> lock(g_sinkMutex);
  if (g_sink) {
    g_sink(message);
  } else {
    std::fwrite(message.data(), 1, message.size(), stdout);
  }
}

void ConsoleFlush() { std::fflush(stdout); }

void SetConsoleSink(std::function<void(const std::string&)> sink) {
  const std::lock_guard<std::mutex> lock(g_sinkMutex);
  g_sink = std::move(sink);
}
