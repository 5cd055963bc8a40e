// Clock.cpp - the system clock, or the source a test installed.
#include "Clock.h"

#include <atomic>
#include <ctime>

namespace {

std::atomic<UnixTimeSource> g_source{nullptr};

}  // namespace

int64_t CurrentUnixTime() {
  const UnixTimeSource source = g_source.load();
  return source != nullptr ? source() : static_cast<int64_t>(std::time(nullptr));
}

void SetUnixTimeSourceForTesting(UnixTimeSource source) { g_source.store(source); }
