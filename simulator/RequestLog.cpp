// RequestLog.cpp - formats request lines and writes log lines under one lock,
// so that the lines of concurrent requests never interleave.
#include "RequestLog.h"

#include <cstdio>
#include <mutex>

namespace weather_service {
namespace {

void AppendPrintable(std::string* line, std::string_view text) {
  static const char kHex[] = "0123456789ABCDEF";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F) {
      *line += '%';
      *line += kHex[byte >> 4];
      *line += kHex[byte & 0x0F];
    } else {
      *line += c;
    }
  }
}

}  // namespace

std::string RequestLogLine(std::string_view method, std::string_view path, std::string_view query, int status) {
  std::string line = "FYI: ";
  AppendPrintable(&line, method);
  line += ' ';
  AppendPrintable(&line, path);
  if (!query.empty()) {
    line += '?';
    AppendPrintable(&line, query);
  }
  line += " -> " + std::to_string(status);
  return line;
}

void WriteLogLine(const std::string& text) {
  static std::mutex mutex;
  const std::lock_guard<std::mutex> lock(mutex);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

}  // namespace weather_service
