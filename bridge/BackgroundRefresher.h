// BackgroundRefresher.h - the thread that keeps the codes Modbus clients
// read fresh: it takes each code the refresh schedule says is due, fetches it
// from the weather service into the database through a connection of its
// own, and notes the outcome back. Between fetches, on the same thread and
// connection, it prunes the History table: at start and then once an hour.
// The Modbus thread never waits on it.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "HistoryTable.h"
#include "RefreshSchedule.h"
#include "SQLiteDatabase.h"

// How often the History table is pruned, and how much one pass deletes: a
// pass that reaches its most goes on after the next due fetch, so that a
// long backlog never holds the refreshes up for long.
constexpr int64_t kHistoryPruneIntervalSeconds = 60 * 60;
constexpr int64_t kHistoryPruneBatchRows = 1000;
constexpr int64_t kHistoryPruneRowsPerPass = 20 * kHistoryPruneBatchRows;

class BackgroundRefresher {
 public:
  // Starts the thread over the database file at databasePath, keeping
  // historyDays days of History, its connection counting into health (not
  // owned; null: a count of its own).
  BackgroundRefresher(const std::string& databasePath, RefreshSchedule& schedule, int historyDays = kDefaultHistoryDays,
                      DatabaseHealth* health = nullptr);
  // Stops the schedule and waits for the thread (a fetch under way runs to its
  // end, at most one weather time-out), then closes the connection. Once is
  // enough; the destructor does it when nobody did.
  void Stop();
  ~BackgroundRefresher();
  BackgroundRefresher(const BackgroundRefresher&) = delete;
  BackgroundRefresher& operator=(const BackgroundRefresher&) = delete;

 private:
  void Run();
  // Prunes when a pass is due (by CurrentUnixTime) and plans the next one.
  void PruneHistoryIfDue();

  RefreshSchedule& m_schedule;
  const int64_t m_historySeconds;
  int64_t m_nextPruneAt = 0;  // at once
  CSQLiteDatabase m_database;
  std::thread m_thread;
};
