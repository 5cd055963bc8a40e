// RegisterLookup.h - the value of one Modbus register: its Data row, first
// refreshed from the weather service when it is more than 30 seconds old and
// nobody else keeps its postal code fresh.
#pragma once

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "InfoRows.h"
#include "ReadSession.h"
#include "RefreshSchedule.h"
#include "SQLiteDatabase.h"
#include "SqlTypes.h"
#include "WeatherFetch.h"

// A row older than this many seconds is refreshed before it is read.
constexpr int64_t kRefreshAgeSeconds = 30;

// What the lookups of one Modbus request share.
struct LookupRequest {
  // The postal codes fetched so far: a stale row of a code already fetched
  // is answered from the table as it now stands, so one request fetches
  // each code at most once.
  std::set<std::string> fetchedCodes;
  // The read session to step out of while a fetch runs.
  ReadSession* session = nullptr;
  // The codes the background keeps fresh, and where this request's reads
  // are noted (see NoteReads); null for none.
  RefreshSchedule* schedule = nullptr;
  // The request waits on the weather service for at most one weather
  // time-out in all, and for no further code once a fetch has failed.
  std::chrono::steady_clock::time_point fetchDeadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kWeatherTimeoutMs);
  bool fetchFailed = false;
  // Set when a row could not be read because the database failed (as
  // opposed to there being no row).
  bool databaseFault = false;
  // The codes read, each with the newest LastUpdated seen and whether a
  // stale row of it was left to the refresher, for the schedule.
  struct CodeRead {
    std::string code;
    int64_t lastUpdated = 0;
    bool leftToRefresher = false;
  };
  std::vector<CodeRead> codesRead;

  // Hands codesRead to the schedule.
  void NoteReads(int64_t now);
};

// Reads the row at offset into value. With refresh, a stale row of a cold
// code (not refreshed in the background, see request->schedule) is fetched
// first, within the request's budget, and the row read anew; a stale row of
// a code refreshed in the background, of the info code, or beyond the
// budget is answered as it stands. False when there is
// no row or it cannot be read (value untouched; request->databaseFault
// tells which).
bool GetValueByOffset(CSQLiteDatabase& database, uint16_t offset, uint16_t* value, bool refresh,
                      LookupRequest* request = nullptr);

// Reads count registers from first (first + count at most 65536) into
// values with one statement over the range, and the same refresh rules as
// GetValueByOffset with refresh: a stale row that is to be fetched is
// handed to GetValueByOffset, and the rest of the range read anew after
// it. found[i] tells whether register first + i has a row (values[i] is
// untouched when not). False when the database fails (request.databaseFault
// is then set).
bool GetValuesByRange(CSQLiteDatabase& database, uint16_t first, uint16_t count, uint16_t* values, bool* found,
                      LookupRequest& request);

// The register value of a row: its Value as stored (the feed stores each
// reading already scaled), the low 16 bits kept. Always true.
bool RowToRegisterValue(const SqlRow& row, uint16_t* value);
