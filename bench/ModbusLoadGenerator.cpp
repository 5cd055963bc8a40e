// ModbusLoadGenerator.cpp - modbus-load: C connections, one thread each,
// each keeping one Modbus TCP request in flight for D seconds. Prints one
// result line; exits non-zero when any reply failed its check.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "LoadConnection.h"
#include "LoadOptions.h"

namespace {

constexpr const char* kUsage =
    "usage: modbus-load [--host H] [--port P] [--connections C] [--seconds D]\n"
    "                   [--mode fc3-1|fc3-125|fc6-1|fc16-10] [--start-register R] [--unit U]\n";

// The nearest-rank percentile of sorted latencies (0 when there are none).
uint32_t Percentile(const std::vector<uint32_t>& sorted, double fraction) {
  if (sorted.empty()) {
    return 0;
  }
  const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
  return sorted[std::min(sorted.size(), std::max<size_t>(rank, 1)) - 1];
}

// The registers the run touches must all exist as Modbus addresses.
bool RegistersFit(const LoadOptions& options) {
  const bool writes = options.mode == LoadMode::WriteOne || options.mode == LoadMode::WriteMany;
  const long count = LoadModeRegisterCount(options.mode);
  const long last = options.startRegister + (writes ? options.connections * count : count) - 1;
  return last <= 65535;
}

}  // namespace

int main(int argc, char** argv) {
  LoadOptions options;
  std::string why;
  if (!ParseLoadOptions(argc, argv, &options, &why)) {
    std::fprintf(stderr, "modbus-load: %s\n%s", why.c_str(), kUsage);
    return 2;
  }
  if (!RegistersFit(options)) {
    std::fprintf(stderr, "modbus-load: the registers of this run go past 65535\n");
    return 2;
  }

  std::vector<std::unique_ptr<LoadConnection>> connections;
  for (int i = 0; i < options.connections; ++i) {
    auto connection = std::make_unique<LoadConnection>(options, i);
    if (!connection->Connect(&why)) {
      std::fprintf(stderr, "modbus-load: connection %d: %s\n", i, why.c_str());
      return 1;
    }
    connections.push_back(std::move(connection));
  }

  using Clock = std::chrono::steady_clock;
  std::vector<ConnectionResult> results(connections.size());
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + std::chrono::seconds(options.seconds);
  {
    std::vector<std::thread> threads;
    for (size_t i = 0; i < connections.size(); ++i) {
      threads.emplace_back([&, i] { connections[i]->Run(deadline, &results[i]); });
    }
    for (std::thread& thread : threads) {
      thread.join();
    }
  }
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

  uint64_t requests = 0;
  uint64_t errors = 0;
  // The least and most any one connection got done: far apart when the
  // server serves some connections before others.
  uint64_t fewest = UINT64_MAX;
  uint64_t most = 0;
  std::vector<uint32_t> latencies;
  for (size_t i = 0; i < results.size(); ++i) {
    requests += results[i].requests;
    fewest = std::min(fewest, results[i].requests);
    most = std::max(most, results[i].requests);
    errors += results[i].errors;
    latencies.insert(latencies.end(), results[i].latenciesUs.begin(), results[i].latenciesUs.end());
    if (!results[i].firstError.empty()) {
      std::fprintf(stderr, "modbus-load: connection %zu: %s\n", i, results[i].firstError.c_str());
    }
  }
  std::sort(latencies.begin(), latencies.end());
  std::printf(
      "mode=%s connections=%d seconds=%d requests=%llu errors=%llu rps=%.0f p50_us=%u p99_us=%u max_us=%u "
      "conn_min=%llu conn_max=%llu\n",
      LoadModeName(options.mode), options.connections, options.seconds, static_cast<unsigned long long>(requests),
      static_cast<unsigned long long>(errors), static_cast<double>(requests) / elapsed, Percentile(latencies, 0.50),
      Percentile(latencies, 0.99), latencies.empty() ? 0u : latencies.back(), static_cast<unsigned long long>(fewest),
      static_cast<unsigned long long>(most));
  return errors == 0 && requests > 0 ? 0 : 1;
}
