// BackgroundRefresher.cpp - the refresher's loop: the due fetches, and the
// History table's pruning between them.
#include "BackgroundRefresher.h"

#include "Clock.h"
#include "ConsoleLog.h"
#include "WeatherFetch.h"

namespace {

// How long one wait for a due code lasts before it looks again.
constexpr auto kLongestWait = std::chrono::seconds(1);
constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

}  // namespace

BackgroundRefresher::BackgroundRefresher(const std::string& databasePath, RefreshSchedule& schedule, int historyDays,
                                         DatabaseHealth* health)
    : m_schedule(schedule), m_historySeconds(historyDays * kSecondsPerDay) {
  m_database.SetFileName(databasePath);
  m_database.SetBusyTimeout(kWriteLockWaitMs);
  m_database.SetHealth(health);
  m_thread = std::thread([this] { Run(); });
}

void BackgroundRefresher::Stop() {
  m_schedule.Stop();
  if (m_thread.joinable()) {
    m_thread.join();
  }
  m_database.Close();
}

BackgroundRefresher::~BackgroundRefresher() { Stop(); }

void BackgroundRefresher::PruneHistoryIfDue() {
  const int64_t now = CurrentUnixTime();
  // A clock set back would otherwise put the next pass far off.
  if (now < m_nextPruneAt && m_nextPruneAt - now <= kHistoryPruneIntervalSeconds) {
    return;
  }
  const int64_t deleted =
      PruneHistory(m_database, now - m_historySeconds, kHistoryPruneBatchRows, kHistoryPruneRowsPerPass);
  m_nextPruneAt = deleted == kHistoryPruneRowsPerPass ? now : now + kHistoryPruneIntervalSeconds;
  if (deleted > 0) {
    LogInfo("FYI: Pruned [%lld] History readings older than [%lld] days\n", static_cast<long long>(deleted),
            static_cast<long long>(m_historySeconds / kSecondsPerDay));
  }
}

void BackgroundRefresher::Run() {
  for (;;) {
    PruneHistoryIfDue();
    const std::optional<std::string> code = m_schedule.WaitForDueCode(kLongestWait);
    if (!code) {
      if (m_schedule.Stopped()) {
        return;
      }
      continue;
    }
    const bool fetched = FetchWeather(m_database, code->c_str());
    m_schedule.NoteFetch(*code, fetched, CurrentUnixTime());
  }
}
