// ConsoleLog.cpp - formatting console messages and handing them to the sink.
#include "ConsoleLog.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
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
  ConsoleWrite(text, length);
}

void ConsoleWrite(const char* text, size_t length) {
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
