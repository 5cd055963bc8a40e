// TestDatabase.cpp - temporary databases, captured console output and a
// settable clock for the data-store, weather and bridge tests.
#include "TestDatabase.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <atomic>
#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "Clock.h"
#include "ConsoleLog.h"
#include "DataTable.h"
#include "HistoryTable.h"
#include "ProcessDatabase.h"

namespace veld_test {
namespace {

struct Connection {
  sqlite3* handle = nullptr;
  explicit Connection(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      throw std::runtime_error("cannot open " + path);
    }
    sqlite3_busy_timeout(handle, 5000);
  }
  ~Connection() { sqlite3_close_v2(handle); }
};

std::mutex g_logMutex;
std::string g_log;

std::atomic<int64_t> g_now{0};
int64_t FixedNow() { return g_now.load(); }

}  // namespace

TemporaryDatabase::TemporaryDatabase() {
  std::string pattern = (std::filesystem::temp_directory_path() / "veld-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed");
  }
  m_folder = pattern;
  m_path = m_folder + "/data.sqlite3";
  Run(kCreateDataTableSql);
  Run(kCreateHistoryTableSql);
  ProcessDatabase().Close();
  ProcessDatabase().SetFileName(m_path);
}

TemporaryDatabase::~TemporaryDatabase() {
  ProcessDatabase().SetReadHoldingEnabled(false);
  ProcessDatabase().Close();
  ProcessDatabase().SetFileName("");
  std::error_code ignored;
  std::filesystem::remove_all(m_folder, ignored);
}

CSQLiteDatabase& TemporaryDatabase::Database() { return ProcessDatabase(); }

void TemporaryDatabase::Run(const std::string& sql) const {
  Connection connection(m_path);
  char* error = nullptr;
  if (sqlite3_exec(connection.handle, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error != nullptr ? error : "unknown";
    sqlite3_free(error);
    throw std::runtime_error(message + " in " + sql);
  }
}

int TemporaryDatabase::TryRun(const std::string& sql) const {
  Connection connection(m_path);
  sqlite3_busy_timeout(connection.handle, 0);
  return sqlite3_exec(connection.handle, sql.c_str(), nullptr, nullptr, nullptr);
}

SqlRows TemporaryDatabase::Rows(const std::string& sql) const {
  Connection connection(m_path);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.handle, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    throw std::runtime_error(std::string(sqlite3_errmsg(connection.handle)) + " in " + sql);
  }
  SqlRows rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    SqlRow& row = rows.emplace_back();
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
      if (text != nullptr) {
        row[sqlite3_column_name(statement, column)] = text;
      }
    }
  }
  sqlite3_finalize(statement);
  return rows;
}

void TemporaryDatabase::AddRow(int offset, const std::string& name, const std::string& code, int64_t value,
                               int64_t lastUpdated) const {
  Connection connection(m_path);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(connection.handle,
                     "INSERT INTO Data (ModbusOffset, Name, Code, Value, LastUpdated) VALUES (?, ?, ?, ?, ?)", -1,
                     &statement, nullptr);
  sqlite3_bind_int(statement, 1, offset);
  sqlite3_bind_text(statement, 2, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(statement, 3, code.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_int64(statement, 4, value);
  sqlite3_bind_int64(statement, 5, lastUpdated);
  const int result = sqlite3_step(statement);
  sqlite3_finalize(statement);
  if (result != SQLITE_DONE) {
    throw std::runtime_error("cannot add row " + std::to_string(offset));
  }
}

CapturedLog::CapturedLog() {
  Clear();
  SetConsoleSink([](const std::string& message) {
    const std::lock_guard<std::mutex> lock(g_logMutex);
    g_log += message;
  });
}

CapturedLog::~CapturedLog() { SetConsoleSink({}); }

std::string CapturedLog::Text() const {
  const std::lock_guard<std::mutex> lock(g_logMutex);
  return g_log;
}

void CapturedLog::Clear() {
  const std::lock_guard<std::mutex> lock(g_logMutex);
  g_log.clear();
}

FixedClock::FixedClock(int64_t now) {
  g_now = now;
  SetUnixTimeSourceForTesting(FixedNow);
}

FixedClock::~FixedClock() { SetUnixTimeSourceForTesting(nullptr); }

void FixedClock::Set(int64_t now) { g_now = now; }

}  // namespace veld_test
