// RefreshSchedule.h - which postal codes Modbus clients read, and when each
// is due for a fetch. Register reads note the codes they meet; a code read
// within the last ten minutes stays on the schedule, and the background
// refresher fetches it shortly before its rows reach the refresh age and,
// after a failed fetch, again with a growing pause. Once a code has been
// fetched (by a read or the refresher) or left to the refresher by a read
// that had no time for it, it is refreshed in the background: a stale row
// of it is answered as it stands and no read waits on the weather service
// for it. Any other code (cold) is fetched by the read that finds it stale.
// Shared by the Modbus thread and the refresher: every call takes the
// schedule's lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

// A code not read for this long is dropped from the schedule.
constexpr int64_t kForgetUnreadCodeSeconds = 10 * 60;
// How long before its rows reach the refresh age a scheduled code is fetched.
constexpr int64_t kRefreshLeadSeconds = 5;
// The pause after a failed fetch of a scheduled code: doubled with each failure
// in a row, up to the most.
constexpr int64_t kFirstRetrySeconds = 2;
constexpr int64_t kLongestRetrySeconds = 60;

class RefreshSchedule {
 public:
  // A read found a row of code last updated at lastUpdated (0 when never).
  // A code new to the schedule is due at once when the row is stale, else
  // shortly before it becomes so.
  // With leftToRefresher, a read had a stale row of code but no time to
  // fetch it: the code is refreshed in the background from now on and due
  // at once.
  void NoteRead(const std::string& code, int64_t lastUpdated, int64_t now, bool leftToRefresher = false);

  // True when code is refreshed in the background (read recently, and
  // fetched or left to the refresher since): a stale row of it is answered
  // as it stands.
  bool RefreshesInBackground(const std::string& code, int64_t now) const;

  // A fetch of code ended, well or not; the next is planned from it.
  void NoteFetch(const std::string& code, bool succeeded, int64_t now);

  // For the refresher: waits until a scheduled code is due (and returns it),
  // the schedule is stopped, or maxWait has passed (nothing). Codes not read
  // for kForgetUnreadCodeSeconds are dropped on the way.
  std::optional<std::string> WaitForDueCode(std::chrono::milliseconds maxWait);

  // Wakes every waiter for good.
  void Stop();
  bool Stopped() const;

 private:
  struct CodeState {
    int64_t lastRead = 0;
    int64_t dueAt = 0;
    int64_t retrySeconds = 0;   // 0 after a success
    bool fetching = false;      // handed to the refresher, not yet noted back
    bool inBackground = false;  // fetched or left to the refresher
  };

  // With m_mutex held: drops the codes not read for kForgetUnreadCodeSeconds
  // (unless being fetched), then hands out the due code with the earliest
  // due time among those not being fetched, marking it as being fetched.
  // *nextDue receives the earliest due time still to come of the others,
  // 0 when none. Nothing when no code is due.
  std::optional<std::string> TakeDueCode(int64_t now, int64_t* nextDue);

  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::map<std::string, CodeState> m_codes;
  bool m_stopped = false;
};
