// RequestLog.h - the service's log on standard output: one line per event,
// flushed at once, whole lines even when several requests finish together.
#pragma once

#include <string>
#include <string_view>

namespace weather_service {

// "FYI: GET /api?postalCode=10001 -> 200". Bytes that could break the line or
// the terminal (controls, non-ASCII) are shown percent-encoded.
std::string RequestLogLine(std::string_view method, std::string_view path, std::string_view query, int status);

// Writes text and a newline to standard output and flushes; safe to call from
// several threads at once.
void WriteLogLine(const std::string& text);

}  // namespace weather_service
