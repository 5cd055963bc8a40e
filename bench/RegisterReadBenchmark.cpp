// RegisterReadBenchmark.cpp - cost of the register bridge's read callback,
// GetModbusValue, for 1 and for 125 fresh registers of a real SQLite file,
// by one lookup per register (debug) and by one statement over the range,
// with every log line written to a file as the server writes them to its
// console, and reads carrying on one read transaction as they do in the
// server under load, noting their codes in a refresh schedule. Rows are fresh
// (updated in the future), so no read fetches.
//
// Every call's values are checked; a wrong value stops the benchmark with an
// error and the program exits non-zero.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ConsoleLog.h"
#include "DataTable.h"
#include "ProcessDatabase.h"
#include "RegisterBridge.h"

namespace {

constexpr int kRows = 125;
constexpr int64_t kFarFuture = 4'000'000'000;
bool g_anyCallFailed = false;

// A database of kRows rows (offset i holds value i) in a temporary folder,
// and a log file beside it.
class BenchmarkDatabase {
 public:
  BenchmarkDatabase() {
    std::string pattern = (std::filesystem::temp_directory_path() / "veld-bench-XXXXXX").string();
    m_folder = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    const std::string path = m_folder + "/data.sqlite3";
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::string sql = std::string(kCreateDataTableSql) + "BEGIN;";
    for (int i = 0; i < kRows; ++i) {
      sql += "INSERT INTO Data VALUES (" + std::to_string(i) + ", 'reading" + std::to_string(i) + "', '10001', " +
             std::to_string(i) + ", " + std::to_string(kFarFuture) + ");";
    }
    sql += "COMMIT;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    ProcessDatabase().SetFileName(path);
    // As in the server while reads stream in: one read's transaction is
    // carried on by the next.
    ProcessDatabase().SetReadHoldingEnabled(true);

    m_log = std::fopen((m_folder + "/server.log").c_str(), "w");
    SetConsoleSink([this](const std::string& message) { std::fwrite(message.data(), 1, message.size(), m_log); });
  }
  ~BenchmarkDatabase() {
    SetConsoleSink({});
    ProcessDatabase().SetReadHoldingEnabled(false);
    ProcessDatabase().Close();
    if (m_log != nullptr) {
      std::fclose(m_log);
    }
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }

 private:
  std::string m_folder;
  std::FILE* m_log = nullptr;
};

void BM_GetModbusValue(benchmark::State& state) {
  const BenchmarkDatabase database;
  // As in the server: the reads note their codes in the refresh schedule.
  RefreshSchedule schedule;
  // The second argument picks the read below debug: one statement over
  // the range instead of one per register.
  const RegisterBridge bridge(ProcessDatabase(), &schedule, state.range(1) != 0);
  const auto length = static_cast<uint16_t>(state.range(0));
  std::vector<uint16_t> values(125);
  for (auto _ : state) {
    uint8_t exceptionCode = 0;
    const bool ok =
        GetModbusValue(0, MODBUSSTACK_FC_READ_HOLDING_REGISTERS, 0, length, values.data(), 250, &exceptionCode);
    if (!ok || values[length - 1] != length - 1) {
      g_anyCallFailed = true;
      state.SkipWithError("GetModbusValue did not return the stored values");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * length);
}
BENCHMARK(BM_GetModbusValue)
    ->ArgNames({"registers", "range"})
    ->ArgsProduct({{1, 125}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return g_anyCallFailed ? 1 : 0;
}
