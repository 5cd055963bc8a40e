// RefreshSchedule.cpp - planning the fetches of the codes Modbus clients read.
#include "RefreshSchedule.h"

#include <algorithm>

#include "Clock.h"
#include "RegisterLookup.h"

void RefreshSchedule::NoteRead(const std::string& code, int64_t lastUpdated, int64_t now, bool leftToRefresher) {
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    auto [entry, added] = m_codes.try_emplace(code);
    CodeState& state = entry->second;
    state.lastRead = now;
    if (added) {
      state.dueAt = std::max(now, lastUpdated + kRefreshAgeSeconds - kRefreshLeadSeconds);
    }
    if (leftToRefresher && !state.inBackground) {
      state.inBackground = true;
      state.dueAt = std::min(state.dueAt, now);
    }
    wake = state.dueAt <= now && !state.fetching;
  }
  if (wake) {
    m_wake.notify_all();
  }
}

bool RefreshSchedule::RefreshesInBackground(const std::string& code, int64_t now) const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  const auto found = m_codes.find(code);
  return found != m_codes.end() && found->second.inBackground &&
         now - found->second.lastRead <= kForgetUnreadCodeSeconds;
}

void RefreshSchedule::NoteFetch(const std::string& code, bool succeeded, int64_t now) {
  const std::lock_guard<std::mutex> lock(m_mutex);
  auto [entry, added] = m_codes.try_emplace(code);
  CodeState& state = entry->second;
  if (added) {
    state.lastRead = now;
  }
  state.fetching = false;
  state.inBackground = true;
  if (succeeded) {
    state.retrySeconds = 0;
    state.dueAt = now + kRefreshAgeSeconds - kRefreshLeadSeconds;
  } else {
    state.retrySeconds =
        state.retrySeconds == 0 ? kFirstRetrySeconds : std::min(2 * state.retrySeconds, kLongestRetrySeconds);
    state.dueAt = now + state.retrySeconds;
  }
}

std::optional<std::string> RefreshSchedule::TakeDueCode(int64_t now, int64_t* nextDue) {
  *nextDue = 0;
  auto due = m_codes.end();
  for (auto entry = m_codes.begin(); entry != m_codes.end();) {
    CodeState& state = entry->second;
    if (now - state.lastRead > kForgetUnreadCodeSeconds && !state.fetching) {
      entry = m_codes.erase(entry);
      continue;
    }
    if (!state.fetching) {
      if (state.dueAt <= now && (due == m_codes.end() || state.dueAt < due->second.dueAt)) {
        due = entry;
      } else if (state.dueAt > now && (*nextDue == 0 || state.dueAt < *nextDue)) {
        *nextDue = state.dueAt;
      }
    }
    ++entry;
  }
  if (due == m_codes.end()) {
    return std::nullopt;
  }
  due->second.fetching = true;
  return due->first;
}

std::optional<std::string> RefreshSchedule::WaitForDueCode(std::chrono::milliseconds maxWait) {
  std::unique_lock<std::mutex> lock(m_mutex);
  const auto deadline = std::chrono::steady_clock::now() + maxWait;
  while (!m_stopped) {
    const int64_t now = CurrentUnixTime();
    int64_t nextDue = 0;
    if (auto code = TakeDueCode(now, &nextDue)) {
      return code;
    }
    // Due times are whole seconds: look again when the next one comes, at
    // the latest at the deadline, or when a read brings a due code.
    auto wakeAt = deadline;
    if (nextDue != 0) {
      wakeAt = std::min(wakeAt, std::chrono::steady_clock::now() + std::chrono::seconds(nextDue - now));
    }
    if (m_wake.wait_until(lock, wakeAt) == std::cv_status::timeout && std::chrono::steady_clock::now() >= deadline) {
      break;
    }
  }
  return std::nullopt;
}

void RefreshSchedule::Stop() {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped = true;
  }
  m_wake.notify_all();
}

bool RefreshSchedule::Stopped() const {
  const std::lock_guard<std::mutex> lock(m_mutex);
  return m_stopped;
}
