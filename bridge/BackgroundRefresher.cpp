// BackgroundRefresher.cpp - the refresher's loop.
#include "BackgroundRefresher.h"

#include "Clock.h"
#include "WeatherFetch.h"

namespace {

// The refresher's writes wait for the Modbus thread's read transaction,
// which ends at least every 100 ms while reads stream in.
constexpr int kRefresherBusyTimeoutMs = 1000;
// How long one wait for a due code lasts before it looks again.
constexpr auto kLongestWait = std::chrono::seconds(1);

}  // namespace

BackgroundRefresher::BackgroundRefresher(const std::string& databasePath, RefreshBook& book) : m_book(book) {
  m_database.SetFileName(databasePath);
  m_database.SetBusyTimeout(kRefresherBusyTimeoutMs);
  m_thread = std::thread([this] { Run(); });
}

BackgroundRefresher::~BackgroundRefresher() {
  m_book.Stop();
  m_thread.join();
  m_database.Close();
}

void BackgroundRefresher::Run() {
  for (;;) {
    const std::optional<std::string> code = m_book.WaitForDueCode(kLongestWait);
    if (!code) {
      if (m_book.Stopped()) {
        return;
      }
      continue;
    }
    const bool fetched = FetchWeather(m_database, code->c_str());
    m_book.NoteFetch(*code, fetched, CurrentUnixTime());
  }
}
