// HistoryPruneTest.cpp - the background refresher's pruning of the History
// table, on the test clock: a backlog larger than one pass is pruned at
// start, and readings that age later go after the next hour.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "BackgroundRefresher.h"
#include "WeatherTestHelpers.h"

namespace veld_test {
namespace {

using HistoryPruneTest = WeatherTest;

constexpr int64_t kDay = 24 * 60 * 60;

// The History rows that match where, counted on a connection of the test's
// own.
int64_t CountRows(const TemporaryDatabase& database, const std::string& where) {
  const SqlRows rows = database.Rows("SELECT COUNT(*) AS n FROM History WHERE " + where);
  return rows.empty() ? -1 : std::stoll(rows.front().at("n"));
}

// Waits (at most 10 s) until the History table holds count rows.
bool WaitForRows(const TemporaryDatabase& database, int64_t count) {
  for (int tries = 0; tries < 200; ++tries) {
    if (CountRows(database, "1") == count) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

TEST_F(HistoryPruneTest, ReadingsOlderThanTheRetentionArePrunedAtStartAndHourly) {
  // More old rows than one pass deletes, then two kept: one a minute short
  // of two days old, one of now.
  const int64_t backlog = kHistoryPruneRowsPerPass + 5;
  database.Run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(backlog) +
               ") INSERT INTO History (PostalCode, Name, Word, Time) SELECT 'K1A', 'temp', i, " +
               std::to_string(kNow - 2 * kDay - 1) + " FROM n");
  database.Run("INSERT INTO History VALUES ('K1A', 'temp', 1, " + std::to_string(kNow - 2 * kDay + 60) +
               "), ('K1A', 'temp', 2, " + std::to_string(kNow) + ")");
  RefreshSchedule schedule;
  const BackgroundRefresher refresher(database.Path(), schedule, 2);
  ASSERT_TRUE(WaitForRows(database, 2)) << CountRows(database, "1") << " rows left";

  // Half an hour on, the first kept row has aged, but no pass is due yet.
  clock.Set(kNow + 1800);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(CountRows(database, "1"), 2);
  clock.Set(kNow + kHistoryPruneIntervalSeconds + 1);
  ASSERT_TRUE(WaitForRows(database, 1));
  EXPECT_EQ(CountRows(database, "Time = " + std::to_string(kNow)), 1);
}

}  // namespace
}  // namespace veld_test
